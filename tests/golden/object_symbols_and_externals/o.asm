; the symbol records of the head: public labels of an absolute section hold
; their offset from its base, a public variable its element count and data
; type, a label made public after its definition and a public EQU the plain
; forms; externals give their size class, an unused one (xa) is left out but
; keeps the number it got after pass 1; with -g1 the local labels and the
; EQU symbol follow in BB10
        MODULE  o
        PUBLIC  pa, pe, pv
        EXTERN  SMALL xs
        EXTERN  xm, xa
ab      SECTION CODE ABS=0x1000
        DB      1
pa      DB      2
la      DW      xs, xm
rc      SECTION DATA SMALL
pv      DSW     2
pr:
lr      DSB     1
qe      EQU     0x1234
pe      EQU     5
        PUBLIC  pr
        END
