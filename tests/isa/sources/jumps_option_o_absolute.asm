-O
; -O in an absolute section: $ is an address of the section like a label,
; so a forward J to $+n keeps its far form too; backward ones are shortened.
code    SECTION CODE ABS=0x100
back:   NOP
        J       back            ; CHECK: FC FD
        J       T,back          ; CHECK: 9B
        J       $+5             ; CHECK: FE 09 01 00
        J       ahead           ; CHECK: FE 14 01 00
        J       NZ,ahead        ; CHECK: D8 04 FE 14 01 00
        J       $               ; CHECK: FC FE
ahead:  NOP
        J       T,o2            ; CHECK: A3 FE 00 02 00
        J       T,0+o2          ; CHECK: A3 FE 00 02 00
o2s     SECTION CODE ABS=0x200
o2:     NOP
        END
