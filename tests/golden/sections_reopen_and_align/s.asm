; a section opened again goes on where it stopped; ALIGN 3 fills up to a
; multiple of 3, ALIGN 0 warns and fills nothing; the section named by
; SIZEOF before its SECTION statement keeps the number it got then
first   SECTION CODE
        DW      SIZEOF(late)
        DB      1, 2, 3
ram     SECTION DATA
        DSB     5
first   SECTION CODE
        DB      4, 5
        ALIGN   3
        DB      6
        ALIGN   0
        DB      7
late    SECTION ROMDATA
        DB      8
        END
