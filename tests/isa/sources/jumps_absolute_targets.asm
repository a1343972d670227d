; J, JR and JRS in an absolute code section: a label of the section or of
; another absolute section is measured, a number (even a named one) or a
; sum starting with a number is not, and only names the linker resolves
; leave a relocated field.
        EXTERN  ext
cnear   EQU     0x23FD
code    SECTION CODE ABS=0x2000
        J       NZ,k1000        ; CHECK: D8 04 FE E8 23 00
        DFB     994,0
k1000:  NOP
        J       M,$-126         ; CHECK: E8 D1 04 FE 6B 23 00
        J       M,$+131         ; CHECK: E8 D1 04 FE 73 24 00
        J       cnear           ; CHECK: FE FD 23 00
        J       T,cnear         ; CHECK: A3 FE FD 23 00
        J       NZ,cnear        ; CHECK: D8 04 FE FD 23 00
        JRS     T,cnear         ; CHECK: 95
        JR      cnear           ; CHECK: FC F4
        JR      NZ,oth          ; CHECK: D9 35
        J       oth             ; CHECK: FC 33
        J       T,oth           ; CHECK: DE 31
        J       T,$+17          ; CHECK: 8F
        J       T,$+18          ; CHECK: DE 10
        JR      oth             ; CHECK: FC 2C
        J       0+oth           ; CHECK: FE 40 24 00
        JR      0+oth           ; CHECK: FC 26
        JP      oth             ; CHECK: FE 40 24 00
        CALL    k1000           ; CHECK: FD E8 23 00
        J       ext             ; CHECK: FE 00 00 00 R
        JR      ext             ; CHECK: FC 00 R
        JRS     T,ext           ; CHECK: 80 R
        J       rl              ; CHECK: FE 00 00 00 R
        JR      rl              ; CHECK: FC 00 R
        J       oth+0x1000      ; CHECK: FE 40 34 00
other   SECTION CODE ABS=0x2440
oth:    NOP
        JR      $-0x20          ; CHECK: FC DE
; From a relocatable section an absolute address is never measured.
rel     SECTION CODE
rl:     NOP
        JR      oth             ; CHECK: FC 00 R
        J       oth             ; CHECK: FE 40 24 00
        J       T,oth           ; CHECK: A3 FE 40 24 00
        END
