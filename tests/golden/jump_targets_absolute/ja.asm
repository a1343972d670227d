; The generic jump in absolute sections, and to a constant and an external name
LIMIT   EQU     0x1234
        EXTERN  ext
fixed   SECTION CODE ABS=0x1000
start:  NOP
        J       NZ,ahead
        J       T,start
        J       near_other
        J       table
        J       LIMIT
        J       SLE,LIMIT
        J       ext
        J       Z,ext
        J       $+0x100
        J       M,ahead
ahead:  NOP
        J       start
side    SECTION CODE ABS=0x1040
near_other:
        NOP
        J       start
rom     SECTION CODE ABS=0x5000
table:  NOP
        END
