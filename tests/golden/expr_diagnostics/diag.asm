; diagnostics of expressions, one case a line
 EXTERN ext
prog SECTION CODE
 LD A,7/0
 DB 0x1234:8
 DB 5:33
 DW 1<<ext
 DW 1<<$
 DW SIZEOF ghost
 DW nowhere
 DW prog
dup: NOP
dup: NOP
 DW dup
 LD A,dup
 DW CODE_ADDR(0x12345)
 DW 1<<-31
 DW 1<<(-31), -8>>1, 1<<32
ram SECTION DATA
 DSB later
later:
 END
