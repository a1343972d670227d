-O
; With -O a forward J to a label takes the far form; a backward one, and one
; to $ (no label), is still shortened.
code    SECTION CODE
behind: NOP                     ; CHECK: 00
        J       behind          ; CHECK: FC FD
        J       T,behind        ; CHECK: 9B
        J       $+5             ; CHECK: FC 03
here:   J       here            ; CHECK: FC FE
        J       ahead           ; CHECK: FE 00 00 00 R
        J       T,ahead         ; CHECK: A3 FE 00 00 00 R
        J       NZ,ahead        ; CHECK: D8 04 FE 00 00 00 R
ahead:  NOP                     ; CHECK: 00
        END
