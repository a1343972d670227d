; values of the integer operators
prog SECTION CODE
 DW 1<<(-31), -8>>1, 1<<32, 1<<15
 DB 0x1234:8
 DW 7%(-3), (-7)%2, (-7)/2, 7/(-2)
 DW 0x7FFF*2, ~0, -(-5)
 DL 0x7FFFFFFF+1, 0xFFFF<<16>>16
 DB 0x80:8, 3&6, 3|6, 3^6
 END
