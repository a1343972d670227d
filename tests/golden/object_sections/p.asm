        MODULE  p
code    SECTION CODE
        NOP
rom     SECTION ROMDATA ABS=0x1003 ALIGN=4
        END
