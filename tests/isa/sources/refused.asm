; Operand combinations that no form takes: one diagnostic, and the zero
; bytes of the mnemonic's first form.  231: too few or many operands; 230:
; an operand of the wrong type.
code    SECTION CODE
        NOP     A               ; CHECK: 00  CHECK-ERR: 231
        SWAP                    ; CHECK: 00 00  CHECK-ERR: 231
        MUL     W               ; CHECK: 00 00  CHECK-ERR: 231
        DIV     WA              ; CHECK: 00 00  CHECK-ERR: 231
        PUSH                    ; CHECK: 00  CHECK-ERR: 231
        PUSH    A,B             ; CHECK: 00  CHECK-ERR: 231
        CLR                     ; CHECK: 00  CHECK-ERR: 231
        LD      A               ; CHECK: 00  CHECK-ERR: 231
        INC     A,B             ; CHECK: 00  CHECK-ERR: 231
        LDW     [HL]            ; CHECK: 00  CHECK-ERR: 231
        ADD     A               ; CHECK: 00  CHECK-ERR: 231
        JR                      ; CHECK: 00  CHECK-ERR: 231
        CALLV                   ; CHECK: 00  CHECK-ERR: 231
        CALL    1,2             ; CHECK: 00  CHECK-ERR: 231
        ROLD    A               ; CHECK: 00 00  CHECK-ERR: 231
        XCH     A               ; CHECK: 00 00  CHECK-ERR: 231
        SHLC    A               ; CHECK: 00 00  CHECK-ERR: 231
        NEG     HL              ; CHECK: 00 00  CHECK-ERR: 231

; Registers.
        SWAP    HL              ; CHECK: 00 00  CHECK-ERR: 230
        SWAP    A.3             ; CHECK: 00 00  CHECK-ERR: 230
        MUL     A,W             ; CHECK: 00 00  CHECK-ERR: 230
        MUL     W,C             ; CHECK: 00 00  CHECK-ERR: 230
        DIV     BC,C            ; CHECK: 00 00  CHECK-ERR: 230
        DIV     HL,B            ; CHECK: 00 00  CHECK-ERR: 230
        PUSH    SP              ; CHECK: 00  CHECK-ERR: 230
        POP     SP              ; CHECK: 00  CHECK-ERR: 230
        PUSH    CF              ; CHECK: 00  CHECK-ERR: 230
        POP     5               ; CHECK: 00  CHECK-ERR: 230
        XCH     A,HL            ; CHECK: 00 00  CHECK-ERR: 230
        XCH     [HL],A          ; CHECK: 00 00  CHECK-ERR: 230
        NEG     CS,A            ; CHECK: 00 00  CHECK-ERR: 230
        NEG     Z,HL            ; CHECK: 00 00  CHECK-ERR: 230
        ROLD    A,A             ; CHECK: 00 00  CHECK-ERR: 230
        ROLD    B,[HL]          ; CHECK: 00 00  CHECK-ERR: 230
        CALL    A               ; CHECK: 00  CHECK-ERR: 230
        SHLCA   A,1             ; CHECK: 00 00  CHECK-ERR: 230
        SHLC    HL,1            ; CHECK: 00 00  CHECK-ERR: 230
        SHLC    A,B             ; CHECK: 00 00  CHECK-ERR: 230

; Bit operands.
        TEST    CF              ; CHECK: 00  CHECK-ERR: 230
        CLR     CF.1            ; CHECK: 00  CHECK-ERR: 230
        CLR     B               ; CHECK: 00  CHECK-ERR: 230
        CLR     [HL]            ; CHECK: 00  CHECK-ERR: 230
        CLR     [HL].B          ; CHECK: 00  CHECK-ERR: 230
        SET     [SP-].1         ; CHECK: 00  CHECK-ERR: 230
        ADD     CF,B.3          ; CHECK: 00  CHECK-ERR: 230
        XOR     CF,B            ; CHECK: 00  CHECK-ERR: 230
        XOR     CF.1,B.2        ; CHECK: 00  CHECK-ERR: 230
        XOR     CF,[HL].A       ; CHECK: 00  CHECK-ERR: 230
        ADD     A.1,B           ; CHECK: 00  CHECK-ERR: 230
        LD      CF,[HL].B       ; CHECK: 00  CHECK-ERR: 230
        LD      CF,B            ; CHECK: 00  CHECK-ERR: 230
        LD      A.3,B           ; CHECK: 00  CHECK-ERR: 230
        LD      [HL].A,B        ; CHECK: 00  CHECK-ERR: 230
        LD      [HL].B,CF       ; CHECK: 00  CHECK-ERR: 230
        LD      [HL],A.3        ; CHECK: 00  CHECK-ERR: 230
        LD      [SP-].1,CF      ; CHECK: 00  CHECK-ERR: 230

; Memory operands and values.
        LD      [PC+A],A        ; CHECK: 00  CHECK-ERR: 230
        INC     [SP-]           ; CHECK: 00  CHECK-ERR: 230
        LD      A,[SP-]         ; CHECK: 00  CHECK-ERR: 230
        LD      [+SP],A         ; CHECK: 00  CHECK-ERR: 230
        LD      A,[WA]          ; CHECK: 00  CHECK-ERR: 230
        LD      A,[BC]          ; CHECK: 00  CHECK-ERR: 230
        LD      A,[IZ]          ; CHECK: 00  CHECK-ERR: 230
        LD      A,[BC+2]        ; CHECK: 00  CHECK-ERR: 230
        LD      A,[DE+1]        ; CHECK: 00  CHECK-ERR: 230
        LD      A,[HL+B]        ; CHECK: 00  CHECK-ERR: 230
        LD      A,[IX+C]        ; CHECK: 00  CHECK-ERR: 230
        LD      A,[IX+HL]       ; CHECK: 00  CHECK-ERR: 230
        LD      A,[-HL]         ; CHECK: 00  CHECK-ERR: 230
        LD      A,[HL+]         ; CHECK: 00  CHECK-ERR: 230
        LD      A,[HL-]         ; CHECK: 00  CHECK-ERR: 230
        LD      A,[+HL]         ; CHECK: 00  CHECK-ERR: 230
        LD      A,-HL           ; CHECK: 00  CHECK-ERR: 230
        LD      A,HL+           ; CHECK: 00  CHECK-ERR: 230
        LD      HL,HL+DE        ; CHECK: 00  CHECK-ERR: 230
        LD      HL,SP+2         ; CHECK: 00  CHECK-ERR: 230
        LD      5,A             ; CHECK: 00  CHECK-ERR: 230
        LD      NZ,A            ; CHECK: 00  CHECK-ERR: 230
        LD      PC,HL           ; CHECK: 00  CHECK-ERR: 230
        LDW     [DE],0x1234     ; CHECK: 00  CHECK-ERR: 230
        LDW     [0x20],B        ; CHECK: 00  CHECK-ERR: 230
        LDW     [0x1234],1      ; CHECK: 00  CHECK-ERR: 230
        ADD     [SP-],1         ; CHECK: 00  CHECK-ERR: 230
        ADD     [HL],B          ; CHECK: 00  CHECK-ERR: 230
        ADD     5,1             ; CHECK: 00  CHECK-ERR: 230
        ROLD    A,B             ; CHECK: 00 00  CHECK-ERR: 230
; A value declared wider than the field does not fit it.
        LD      B,5:16          ; CHECK: 00  CHECK-ERR: 230
        LD      PSW,B           ; CHECK: 00  CHECK-ERR: 230

; Jumps.
        JRS     NZ,$+0x10       ; CHECK: 00  CHECK-ERR: 230
        JRS     $+0x10          ; CHECK: 00  CHECK-ERR: 230
        JR      NZ              ; CHECK: 00  CHECK-ERR: 230
        JR      HL              ; CHECK: 00  CHECK-ERR: 230
        JR      $+0x10,NZ       ; CHECK: 00  CHECK-ERR: 230
        JR      NZ,[HL]         ; CHECK: 00  CHECK-ERR: 230
        JP      NZ              ; CHECK: 00  CHECK-ERR: 230
        JP      [SP-]           ; CHECK: 00  CHECK-ERR: 230

; The generic jump and call.
        J       A               ; CHECK: 00  CHECK-ERR: 230
        J                       ; CHECK: 00  CHECK-ERR: 231
        J       NZ              ; CHECK: 00  CHECK-ERR: 231
        CAL                     ; CHECK: 00  CHECK-ERR: 231
        CAL     Z               ; CHECK: 00  CHECK-ERR: 231
        J       1,2             ; CHECK: 00  CHECK-ERR: 230
        J       Z,HL            ; CHECK: 00  CHECK-ERR: 230
        J       Z,[HL]          ; CHECK: 00  CHECK-ERR: 230
        J       A,5             ; CHECK: 00  CHECK-ERR: 230
        CAL     Z,5             ; CHECK: 00  CHECK-ERR: 230
        END
