; fills, gaps that ORG fills, reservations that are never filled
prog SECTION CODE
 DB 1
pat DFB 4, "AB"
 DFB 3, 0x7F
 DFW 2, 0x1234
 DFP 2, 0x123456
 DFL 1, -1
 DFB 1, "X"
 DFB 0, 5
 ORG 37
 ORG 48
vars SECTION DATA
buf DSB 10
 DSW 3
 END
