; a section left before anything was loaded into it gets its load address
; at the switch; gaps are filled (RE for more than 10 bytes), the fill
; records come before a load address still pending; a reservation is never
; filled; the last section's pending address is written at the finish
        MODULE  sw
c1      SECTION CODE
d1      SECTION DATA
        DSB     3
c1      SECTION CODE
        DB      1
ab      SECTION ROMDATA ABS=0x200
        DB      2, 3
        ORG     0x20E
        ORG     0x218
c1      SECTION CODE
        ORG     4
d1      SECTION DATA
        END
