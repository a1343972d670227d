-Nc2
; Values only the linker knows: the field is left zero and the line carries
; the relocation mark.  The externals are 8, 16 and 24 bits wide.
        EXTERN  SMALL e8
        EXTERN  MEDIUM e16
        EXTERN  LARGE e24
code    SECTION CODE MEDIUM
        LD      A,[e16]         ; CHECK: E1 00 00 40 R
        LD      A,[e8]          ; CHECK: 0C 00 R
        LD      A,[e24]         ; CHECK: 6D 00 00 00 40 R
        LD      HL,e16          ; CHECK: 4B 00 00 R
        LD      IX,e16          ; CHECK: 4C 00 00 00 R
        LD      A,e8            ; CHECK: 18 00 R
        LD      HL,label        ; CHECK: 4B 00 00 R
        CALL    e24             ; CHECK: FD 00 00 00 R
        LD      [IX+e8],A       ; CHECK: 54 00 78 R
        LD      [e16],0x55      ; CHECK: F1 00 00 F9 55 R
        LD      [e8],e8         ; CHECK: 0A 00 00 R
        LDW     [e16],e16       ; CHECK: 08 00 00 00 R  CHECK-ERR: 501
        LD      SP,SP+e8        ; CHECK: 00 00 R
; A relocatable value wider than its field is reported.
        LD      A,e16           ; CHECK: 18 00 R  CHECK-ERR: 501
; A relocatable bit number is always reported.
        CLR     [HL].e8         ; CHECK: E3 C8 R  CHECK-ERR: 501
        SET     [0x20].e8       ; CHECK: C0 20 R  CHECK-ERR: 501
        CPL     B.e8            ; CHECK: EB E0 R  CHECK-ERR: 501
        TEST    [0x40].e8       ; CHECK: 58 40 R  CHECK-ERR: 501
        LD      CF,[0x20].e8    ; CHECK: 58 20 R  CHECK-ERR: 501
        LD      CF,B.e8         ; CHECK: EB 58 R  CHECK-ERR: 501
        LD      B.e8,CF         ; CHECK: EB E8 R  CHECK-ERR: 501
        LD      [DE].e8,CF      ; CHECK: E2 E8 R  CHECK-ERR: 501
        XOR     CF,[HL].e8      ; CHECK: E3 50 R  CHECK-ERR: 501
        CLR     [e16].e8        ; CHECK: E1 00 00 C8 R  CHECK-ERR: 501
        TEST    [e8].e8         ; CHECK: 58 00 R  CHECK-ERR: 501
; Relative targets: only a target in the section itself is a displacement
; at once; a number or an external is left to the linker.
        JRS     T,e16           ; CHECK: 80 R
        JRS     F,e16           ; CHECK: A0 R
        JR      NZ,e16          ; CHECK: D9 00 R
        JR      M,e16           ; CHECK: E8 D0 00 R
        JR      0x1234          ; CHECK: FC 00 R
        JR      $               ; CHECK: FC FE
        JR      label           ; CHECK: FC 0E
        DB      0,0,0,0,0,0,0,0,0,0,0,0,0,0
label:  NOP
        END
