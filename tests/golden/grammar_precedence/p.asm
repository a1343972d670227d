; operator precedence and associativity, the restricted floating
; expressions and signs after operators
code SECTION CODE
X EQU 0x12
 DB 1+2*3, 8>>1+1, 1|2^3&4, 7-2-1, 64/4/2, 1<<2<<1
 DB 2*3+1, 17%5*2, 6&3|8, 1+2<<1, ~1+3, -2*(-3)
 DW -X:8, X+3:4
 FDATAS 1.5F, 2.0F*3.0F
 FDATAS 1.5F % 2.0F
 FDATAS -(1.5F)+2.0F
 DB 5 * -3
 DB 5 * (-3), - 1
 DB 1 - +1
 DB 1 | ~-1
 END
