; Every condition in the relative jumps, and the inverted condition that the
; far forms of J jump on to skip their JP.
code    SECTION CODE
        JR      Z,$             ; CHECK: D8 FE
        JR      NE,$            ; CHECK: D9 FE
        JR      CS,$            ; CHECK: DA FE
        JR      LT,$            ; CHECK: DA FE
        JR      CC,$            ; CHECK: DB FE
        JR      GE,$            ; CHECK: DB FE
        JR      LE,$            ; CHECK: DC FE
        JR      F,$             ; CHECK: DF FE
        JR      P,$             ; CHECK: E8 D1 FD
        JR      SLT,$           ; CHECK: E8 D2 FD
        JR      SGE,$           ; CHECK: E8 D3 FD
        JR      SLE,$           ; CHECK: E8 D4 FD
        JR      VS,$            ; CHECK: E8 D6 FD
; The reach of each relative jump, from the end of the jump.
        JR      T,$+0x81        ; CHECK: DE 7F
        JR      F,$-0x7E        ; CHECK: DF 80
        JR      NZ,$+0x81       ; CHECK: D9 7F
        JR      $-0x7F          ; CHECK: FC 00  CHECK-ERR: 227
        JR      M,$-0x7D        ; CHECK: E8 D0 80
        JR      M,$-0x7E        ; CHECK: E8 D0 00  CHECK-ERR: 227
        JRS     T,$-15          ; CHECK: 80  CHECK-ERR: 227
        JRS     F,$+18          ; CHECK: A0  CHECK-ERR: 227
        JRS     T               ; CHECK: 00  CHECK-ERR: 230
        JRS     T,HL            ; CHECK: 00  CHECK-ERR: 230
        JRS     [HL]            ; CHECK: 00  CHECK-ERR: 230
        JR      T,A             ; CHECK: 00  CHECK-ERR: 230
; A number is always out of J's measure: JP behind the inverted condition.
        J       EQ,0x105        ; CHECK: D9 04 FE 05 01 00
        J       NE,0x105        ; CHECK: D8 04 FE 05 01 00
        J       CS,0x105        ; CHECK: DB 04 FE 05 01 00
        J       LT,0x105        ; CHECK: DB 04 FE 05 01 00
        J       CC,0x105        ; CHECK: DA 04 FE 05 01 00
        J       GE,0x105        ; CHECK: DA 04 FE 05 01 00
        J       LE,0x105        ; CHECK: DD 04 FE 05 01 00
        J       GT,0x105        ; CHECK: DC 04 FE 05 01 00
        J       M,0x105         ; CHECK: E8 D1 04 FE 05 01 00
        J       P,0x105         ; CHECK: E8 D0 04 FE 05 01 00
        J       VS,0x105        ; CHECK: E8 D7 04 FE 05 01 00
        J       VC,0x105        ; CHECK: E8 D6 04 FE 05 01 00
        J       SLT,0x105       ; CHECK: E8 D3 04 FE 05 01 00
        J       SGE,0x105       ; CHECK: E8 D2 04 FE 05 01 00
        J       SLE,0x105       ; CHECK: E8 D5 04 FE 05 01 00
        J       SGT,0x105       ; CHECK: E8 D4 04 FE 05 01 00
        J       F,0x105         ; CHECK: 83 FE 05 01 00
        J       T,0x105         ; CHECK: A3 FE 05 01 00
        END
