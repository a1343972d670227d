; How far each form of J reaches, measured from the jump: labels 10, 100 and
; 1000 bytes ahead, and the edges of the one-byte, two-byte and three-byte
; forms on both sides.
code    SECTION CODE
        J       l10             ; CHECK: FC 08
        DB      0,0,0,0,0,0,0,0
l10:    NOP
        J       NZ,l10b         ; CHECK: D9 08
        DB      0,0,0,0,0,0,0,0
l10b:   NOP
        J       T,l10c          ; CHECK: 88
        DB      0,0,0,0,0,0,0,0,0
l10c:   NOP
        J       F,l10d          ; CHECK: A8
        DB      0,0,0,0,0,0,0,0,0
l10d:   NOP
        J       l100            ; CHECK: FC 62
        DFB     98,0
l100:   NOP
        J       NZ,l1000        ; CHECK: D8 04 FE 00 00 00 R
        DFB     994,0
l1000:  NOP
        JRS     T,$+17          ; CHECK: 8F
        J       T,$-14          ; CHECK: 90
        J       F,$+17          ; CHECK: AF
        J       F,$+18          ; CHECK: DF 10
        J       NZ,$-126        ; CHECK: D9 80
        J       NZ,$-127        ; CHECK: D8 04 FE 00 00 00 R
        J       NZ,$+129        ; CHECK: D9 7F
        J       NZ,$+130        ; CHECK: D8 04 FE 00 00 00 R
; A prefixed condition counts from the end of its three bytes, and J measures
; with the displacement of the form it has: J M,$-126 first fits as JR M
; (-128 from two bytes on) but then needs -129 and grows to the far form;
; J M,$+130 is far at first (128) and shrinks back once 127 is measured.
        J       SLE,$-125       ; CHECK: E8 D4 80
        J       M,$-126         ; CHECK: E8 D1 04 FE 00 00 00 R
        J       M,$+131         ; CHECK: E8 D1 04 FE 00 00 00 R
        J       M,$+130         ; CHECK: E8 D0 7F
        END
