; The bit instructions: the carry flag, a numbered bit of memory or of a
; register, and the bit that register A numbers.
code    SECTION CODE
        CLR     CF              ; CHECK: 04
        CLR     [0x20].3        ; CHECK: CB 20
        CLR     B.5             ; CHECK: EB CD
        CLR     [HL].2          ; CHECK: E3 CA
        CLR     [IX+5].7        ; CHECK: D4 05 CF
        CLR     [0x1234].1      ; CHECK: E1 34 12 C9
        CLR     [DE].A          ; CHECK: E2 FA
        SET     CF              ; CHECK: 05
        SET     [0x20].0        ; CHECK: C0 20
        SET     A.7             ; CHECK: E8 C7
        SET     [IY].4          ; CHECK: E5 C4
        SET     [HL+C].A        ; CHECK: E7 F2
        CPL     CF              ; CHECK: 06
        CPL     H.1             ; CHECK: EF E1
        CPL     [0x30].6        ; CHECK: E0 30 E6
        CPL     [DE].A          ; CHECK: E2 FB
        TEST    [0x40].5        ; CHECK: 5D 40
        TEST    W.0             ; CHECK: E9 58
        TEST    [HL].7          ; CHECK: E3 5F
        TEST    [IY+2].A        ; CHECK: D5 02 FC
; A bit number keeps its low three bits.
        CLR     B.9             ; CHECK: EB C9  CHECK-ERR: 501
        END
