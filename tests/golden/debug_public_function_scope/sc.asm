; a scope named after a public label is a BB4 block with its two numbers
; (the type mapped), its start, its symbols and its last address; SYMBOL_A
; takes the location rounded up to the section's alignment, and a code label
; is written as its distance from the function's start; a FILE without any
; LINE leaves an empty BB5 block; the local label top follows in BB10
 FILE "m.c", 0, 0, 0
        PUBLIC  fn
code    SECTION CODE ALIGN=2
top:    NOP
 SYMBOL_B "fn", 1, 7, 5
fn:     NOP
        NOP
 SYMBOL_A "s", 3, 1, 0
 SYMBOL_A "lab", 9, 0, 0
        RET
 SYMBOL_B "fn", 2, 0, 0
        END
