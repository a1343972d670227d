; J in an absolute code section: a label of the section and one of another
; absolute section are measured; out of reach J becomes JP behind a jump on
; the inverted condition, and a plain number is far even when near.
far_low SECTION CODE ABS=0xFFFD18
low:    NOP
code    SECTION CODE ABS=0x100
        J       SGE,low         ; CHECK: E8 D2 04 FE 18 FD FF
        J       far             ; CHECK: FE E8 04 00
        J       T,far           ; CHECK: A3 FE E8 04 00
        J       F,far           ; CHECK: 83 FE E8 04 00
        J       NZ,far          ; CHECK: D8 04 FE E8 04 00
        J       LE,far          ; CHECK: DD 04 FE E8 04 00
        J       P,far           ; CHECK: E8 D0 04 FE E8 04 00
        J       T,0x105         ; CHECK: A3 FE 05 01 00
        J       low             ; CHECK: FE 18 FD FF
        J       NZ,$+10         ; CHECK: D9 08
        JR      NZ,$+0x10       ; CHECK: D9 0E
        JRS     T,$+0x20        ; CHECK: 80  CHECK-ERR: 227
        ORG     0x300
        JR      0x310           ; CHECK: FC 0E
        ORG     0x4E8
far:    NOP
        END
