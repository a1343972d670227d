; -g0 is -g: without debug directives every instruction and data statement
; gets a line (a fill and a floating-data statement too, a reservation, an
; ALIGN and an EQU none), at the start of its code, relative to the base in
; an absolute section; BB10 describes the local labels and the EQU symbol
; after the line-number variable, a fill label with the byte type
        MODULE  g
        PUBLIC  tab
code    SECTION CODE
        NOP
ram     SECTION DATA
buf     DSB     2
rom     SECTION ROMDATA ABS=0x40
tab     DB      1, 2
words   DFW     2, 7
        ALIGN   4
        FDATAS  1.5F
k       EQU     -3
        END
