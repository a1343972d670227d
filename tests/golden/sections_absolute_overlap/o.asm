; absolute sections: an overlap is reported at the later section, and an
; empty section ends just below its start; a SMALL section holds 256 bytes
a1      SECTION CODE ABS=0x100
        DFB     0x100, 0
a2      SECTION CODE ABS=0x180
        DB      1
a3      SECTION CODE ABS=0x200
a4      SECTION DATA ABS=0x400
a5      SECTION DATA ABS=0x400
        DSB     0x10
win     SECTION DATA SMALL
        DSB     200
        DSB     56
        DSB     1
        END
