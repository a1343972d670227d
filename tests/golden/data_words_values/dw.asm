; DW, DP, DL, DD: absolute, section-relative and external values
 EXTERN ext
prog SECTION CODE
table DW 0x1234, -1, table
 DP 0x123456, ext, table+1
 DL 0x12345678, table+4, -2
 DD ext+1, 7, table
 DW 65535, -32768, ext, 2
 END
