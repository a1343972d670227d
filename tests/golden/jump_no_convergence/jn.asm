; Jump sizes that never settle: pass 2 stops after 11 iterations
code    SECTION CODE
        J       T,after
        LD      IX,0x123456
        LD      IX,0x123456
        LD      IX,0x123456
        NOP
        J       fixed
after:  NOP
        ORG     0x90
fixed:  NOP
        END
