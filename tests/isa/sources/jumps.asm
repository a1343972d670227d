; The relative jumps, the calls and the absolute jumps in a relocatable code
; section.  A displacement counts from the end of a two-byte jump (three
; bytes for the jumps whose condition takes a prefix byte).
code    SECTION CODE
        JRS     T,$+5           ; CHECK: 83
        JRS     F,$+5           ; CHECK: A3
        JRS     T,$-14          ; CHECK: 90
        JRS     F,$+17          ; CHECK: AF
        JRS     T,$+17          ; CHECK: 8F
        JRS     F,$-14          ; CHECK: B0
        JR      NZ,$+0x80       ; CHECK: D9 7E
        JR      EQ,$+2          ; CHECK: D8 00
        JR      T,$             ; CHECK: DE FE
        JR      GT,$            ; CHECK: DD FE
        JR      M,$+0x50        ; CHECK: E8 D0 4D
        JR      SGT,$+0x50      ; CHECK: E8 D5 4D
        JR      VC,$+0x50       ; CHECK: E8 D7 4D
        JR      M,$+0x82        ; CHECK: E8 D0 7F
        JR      $               ; CHECK: FC FE
        JR      $-0x7E          ; CHECK: FC 80
        JR      $+0x81          ; CHECK: FC 7F
        CALL    0x1234          ; CHECK: FD 34 12 00
        CALL    HL              ; CHECK: EB FD
        CALL    [IX]            ; CHECK: E4 FD
        JP      0x123456        ; CHECK: FE 56 34 12
        JP      5               ; CHECK: FE 05 00 00
        JP      IZ              ; CHECK: EF FE
        JP      [HL+C]          ; CHECK: E7 FE
        JR      ahead           ; CHECK: FC 0E
        DB      0,0,0,0,0,0,0,0,0,0,0,0,0,0
ahead:
; Out of reach: error 227 and a displacement of 0.
        JRS     T,$+18          ; CHECK: 80  CHECK-ERR: 227
        JRS     F,$-15          ; CHECK: A0  CHECK-ERR: 227
        JR      $+0x82          ; CHECK: FC 00  CHECK-ERR: 227
        JR      NZ,$-0x7F       ; CHECK: D9 00  CHECK-ERR: 227
        JR      M,$+0x83        ; CHECK: E8 D0 00  CHECK-ERR: 227
        END
