; The generic jump J takes the shortest form that reaches a target it can
; measure: JRS T/F (1 byte), JR with a one-byte condition (2), JR with a
; prefixed condition (3), or, out of reach, JP behind a jump on the inverted
; condition.  CAL is CALL.
        EXTERN  ext
code    SECTION CODE
        J       T,$+10          ; CHECK: 88
        J       F,$+10          ; CHECK: A8
        J       $+10            ; CHECK: FC 08
        J       $+100           ; CHECK: FC 62
        J       NZ,$+10         ; CHECK: D9 08
        J       GT,$+10         ; CHECK: DD 08
        J       M,$+10          ; CHECK: E8 D0 07
        J       T,$+100         ; CHECK: DE 62
        J       F,$+100         ; CHECK: DF 62
        J       CS,$+100        ; CHECK: DA 62
        J       VC,$+100        ; CHECK: E8 D7 61
        J       $-8             ; CHECK: FC F6
        J       T,$-8           ; CHECK: 96
        J       F,$-100         ; CHECK: DF 9A
        J       SLT,$-8         ; CHECK: E8 D2 F5
; The bounds of each reach: d = 15, 16, -16, -17, 127, 128, -128, -129.
        J       T,$+17          ; CHECK: 8F
        J       T,$+18          ; CHECK: DE 10
        J       T,$-14          ; CHECK: 90
        J       T,$-15          ; CHECK: DE EF
        J       $+129           ; CHECK: FC 7F
        J       M,$+130         ; CHECK: E8 D0 7F
        J       $-126           ; CHECK: FC 80
        J       M,$-125         ; CHECK: E8 D0 80
; The kind of target: a label or $ is measured, a plain number or an
; external symbol is always far.
        J       $+5             ; CHECK: FC 03
        J       F,$+5           ; CHECK: A3
        J       near            ; CHECK: FC 00
near:
        J       0x105           ; CHECK: FE 05 01 00
        J       Z,0x105         ; CHECK: D9 04 FE 05 01 00
        J       ext             ; CHECK: FE 00 00 00 R
        J       VS,ext          ; CHECK: E8 D7 04 FE 00 00 00 R
        J       NZ,ext          ; CHECK: D8 04 FE 00 00 00 R
; J to a register or memory is JP, CAL is CALL.
        J       HL              ; CHECK: EB FE
        J       [IX+3]          ; CHECK: D4 03 FE
        CAL     0x12345         ; CHECK: FD 45 23 01
        CAL     HL              ; CHECK: EB FD
        CAL     [DE]            ; CHECK: E2 FD
        END
