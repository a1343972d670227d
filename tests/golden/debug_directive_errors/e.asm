 FILE "a.c", 0, 0, 0
 LINE "", 0, -1, 0
 SYMBOL_T 300, Q, "", 1
 SYMBOL_T 301, S, "s", 2, "m", 1
 SYMBOL_B "f", 2, 0, 0
 SYMBOL_T 302, x7fn, "", 1
 SYMBOL_T 303, xq, "", 1
 END
