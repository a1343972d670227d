; A chain of short jumps: each one outgrows JRS only after the next one has,
; so the chain settles one link per iteration, in ten iterations
code    SECTION CODE
        J       T,l0
        LD      A,[0x12345]
        LD      A,[0x12345]
        J       F,l1
        LD      A,[0x12345]
l0:     LD      A,[0x12345]
        J       T,l2
        LD      A,[0x12345]
l1:     LD      A,[0x12345]
        J       F,l3
        LD      A,[0x12345]
l2:     LD      A,[0x12345]
        J       T,l4
        LD      A,[0x12345]
l3:     LD      A,[0x12345]
        J       F,l5
        LD      A,[0x12345]
l4:     LD      A,[0x12345]
        J       T,l6
        LD      A,[0x12345]
l5:     LD      A,[0x12345]
        J       F,l7
        LD      A,[0x12345]
l6:     LD      IX,0x123456
        LD      IX,0x123456
        LD      IX,0x123456
l7:     NOP
        END
