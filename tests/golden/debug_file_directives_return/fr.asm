; FILE and LINE directives: a LINE before the first FILE and a LINE outside
; any section give no line; an empty FILE name writes nothing; a FILE of a
; known name returns to it (BE); when that return closes the outermost
; block the lines after it still go on under the file returned to
 LINE "", 0, 1, 0
 FILE "a.c", 0, 0, 0
 LINE "", 0, 2, 0
code SECTION CODE
 LINE "", 0, 3, 5
 LINE "", 0, 4, 0
 NOP
 FILE "", 0, 0, 0
 FILE "b.h", 0, 0, 0
 LINE "", 0, 10, 0
 NOP
 FILE "a.c", 0, 0, 0
 LINE "", 0, 5, 0
 RET
hi SECTION CODE ABS=0x100
 LINE "", 0, 6, 0
 NOP
 FILE "b.h", 0, 0, 0
 LINE "", 0, 11, 0
 NOP
 END
