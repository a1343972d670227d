; a FILE name is the compiler's text: its backslash stays, in the BB5 block
; and in the BB10 head alike (the directive takes no escape sequences)
 FILE "src\a.c", 0, 0, 0
code SECTION CODE
 LINE "", 0, 7, 0
 NOP
 END
