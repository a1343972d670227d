; Instructions without operands, with one register, the multiply and divide,
; the shifts, the stack, and the exchanges.
code    SECTION CODE
        NOP                     ; CHECK: 00
        RETI                    ; CHECK: FB
        RET                     ; CHECK: FA
        SWI                     ; CHECK: FF
        RETN                    ; CHECK: E8 FB
        DI                      ; CHECK: C8 3A
        EI                      ; CHECK: C0 3A
        SLEEP                   ; CHECK: 01

        SWAP    A               ; CHECK: E8 FF
        SWAP    H               ; CHECK: EF FF
        DAA     W               ; CHECK: E9 DA
        DAS     L               ; CHECK: EE DB
        ROLC    B               ; CHECK: EB F6
        RORC    C               ; CHECK: EA F7
        MUL     W,A             ; CHECK: E8 F2
        MUL     B,C             ; CHECK: E9 F2
        MUL     D,E             ; CHECK: EA F2
        MUL     H,L             ; CHECK: EB F2
        DIV     WA,C            ; CHECK: E8 F3
        DIV     DE,C            ; CHECK: EA F3
        DIV     HL,C            ; CHECK: EB F3

; Shift counts: up to 7 for a byte register, 15 for a word, 23 for a pointer.
        SHLC    E,3             ; CHECK: EC F4 03
        SHRC    D,7             ; CHECK: ED F5 07
        SHLC    A,0             ; CHECK: E8 F4 00
        SHLC    A,7             ; CHECK: E8 F4 07
        SHLCA   IX,23           ; CHECK: EC F0 17
        SHRCA   HL,15           ; CHECK: EB F1 0F
        SHLCA   SP,0            ; CHECK: EE F0 00
        SHRCA   IZ,20           ; CHECK: EF F1 14
        SHRCA   SP,23           ; CHECK: EE F1 17
        SHLC    A,8             ; CHECK: 00 00  CHECK-ERR: 290
        SHRC    B,-1            ; CHECK: 00 00  CHECK-ERR: 290
        SHLCA   IX,24           ; CHECK: 00 00  CHECK-ERR: 290
        SHLCA   HL,16           ; CHECK: 00 00  CHECK-ERR: 290
        SHRCA   WA,16           ; CHECK: 00 00  CHECK-ERR: 290

        POP     WA              ; CHECK: D0
        POP     HL              ; CHECK: D3
        POP     IX              ; CHECK: EC D9
        POP     IZ              ; CHECK: EF D9
        POP     PSW             ; CHECK: E8 DD
        PUSH    BC              ; CHECK: 51
        PUSH    DE              ; CHECK: 52
        PUSH    IY              ; CHECK: ED D8
        PUSH    PSW             ; CHECK: E8 DC
; An 8-bit register goes through LD [SP-],r and LD r,[+SP].
        PUSH    A               ; CHECK: F6 78
        PUSH    L               ; CHECK: F6 7E
        PUSH    B               ; CHECK: F6 7B
        PUSH    H               ; CHECK: F6 7F
        POP     A               ; CHECK: E6 40
        POP     H               ; CHECK: E6 47
        POP     E               ; CHECK: E6 44

        ROLD    A,[HL]          ; CHECK: E3 F6
        RORD    A,[0x20]        ; CHECK: E0 20 F7
        XCH     B,C             ; CHECK: EA 73
        XCH     HL,DE           ; CHECK: EA 7B
        XCH     A,[HL]          ; CHECK: E3 70
        XCH     BC,[DE]         ; CHECK: E2 D9
        NEG     CS,HL           ; CHECK: EB FA
        END
