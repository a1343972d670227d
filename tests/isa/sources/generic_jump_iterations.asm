; J estimates a label ahead by its address in the iteration before, less
; the bytes the jumps before it have just saved; a label behind, already
; placed in this iteration, is taken as it is.  Each J M,$+130 takes the
; far form (7 bytes) in the second iteration and shrinks to three bytes in
; the third.
code    SECTION CODE
        J       M,$+130         ; CHECK: E8 D0 7F
; Four bytes saved just before: the label 16 bytes on stays within JRS.
        J       T,lab           ; CHECK: 8F
        DFB     16,0
lab:    NOP
        J       M,$+130         ; CHECK: E8 D0 7F
back:   NOP
        DFB     13,0
; Eight bytes saved by now, but the label behind is not moved by them.
        J       T,back          ; CHECK: 90
        J       M,$+130         ; CHECK: E8 D0 7F
; The final pass measures the relative jump from the settled addresses.
        JR      T,lab2          ; CHECK: DE 0F
        DFB     15,0
lab2:   NOP
        END
