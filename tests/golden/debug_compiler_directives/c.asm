 FILE "prog.c", 0, 0, 0
 SYMBOL_A "1.2c", 54, 77, 9
 SYMBOL_T 300, S, "pair", 2, "lo", 1, 0, "hi", 1, 1
 SYMBOL_T 301, P, "", 300
 SYMBOL_T 302, Z, "", 1, 4
 SYMBOL_T 303, gu, "", 2
 SYMBOL_N "helper", 0, 4, 0
code SECTION CODE
 SYMBOL_A "main", 5, 303, 0
main:
 SYMBOL_B "main", 1, 2, 303
 SYMBOL_N "x", 300, 1, -2
 LINE "", 0, 3, 1
 NOP
 SYMBOL_A "again", 9, 0, 0
 LINE "", 0, 4, 0
 CALL helper
 SYMBOL_B "main", 2, 0, 0
helper:
 RET
 END
