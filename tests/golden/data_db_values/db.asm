; DB: absolute values, strings, section-relative and external values
 EXTERN ext
prog SECTION CODE
start DB 0x12, 0x34, 0x56
 DB "AB", 7
 DB 255, -128
 DB start+2, ext, 9
 DB ext+1
 END
