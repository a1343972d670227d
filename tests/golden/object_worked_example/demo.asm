-Nc2
        MODULE  demo
prog    SECTION CODE
        PUBLIC  start
start:
        DB      0x12,0x34,0x56
        END
