; The arithmetic operation numbers, the register pairs of the stack, the
; exchanges and the combinations each family refuses.
code    SECTION CODE
        ADDC    B,1             ; CHECK: EB 60 01
        SUBB    B,1             ; CHECK: EB 62 01
        SUB     B,1             ; CHECK: EB 63 01
        AND     B,1             ; CHECK: EB 64 01
        XOR     B,1             ; CHECK: EB 65 01
        OR      B,1             ; CHECK: EB 66 01
        CMP     B,1             ; CHECK: EB 67 01
        SUBB    A,1             ; CHECK: 62 01
        SUB     A,1             ; CHECK: 63 01
        AND     A,1             ; CHECK: 64 01
        XOR     A,1             ; CHECK: 65 01
        OR      A,1             ; CHECK: 66 01
        SUB     L,H             ; CHECK: EF 33
        OR      H,B             ; CHECK: EB 3E
        AND     A,[0x20]        ; CHECK: E0 20 04
        AND     WA,0x1234       ; CHECK: E8 6C 34 12
        OR      IY,0x123456     ; CHECK: ED 6E 56 34 12
        SUB     IZ,DE           ; CHECK: EA BB
        CMP     WA,WA           ; CHECK: E8 87
        XOR     HL,[HL]         ; CHECK: E3 9D
        SUBB    IY,[SP+2]       ; CHECK: D6 02 AA
        SUBB    [IX+1],2        ; CHECK: D4 01 62 02
        AND     A,[HL].B        ; CHECK: 00  CHECK-ERR: 230
        OR      A,[HL].1        ; CHECK: 00  CHECK-ERR: 230
        XOR     CF,[HL].B       ; CHECK: 00  CHECK-ERR: 230

        LD      SP,HL           ; CHECK: EB 4E
        LD      B,A             ; CHECK: 43
        LD      PSW,5           ; CHECK: E8 DE 05
        LD      CF,CF           ; CHECK: 00  CHECK-ERR: 230
        LD      SP+2,SP         ; CHECK: 00  CHECK-ERR: 230
        LD      IX,SP+2         ; CHECK: 00  CHECK-ERR: 230
        LD      SP,IX+2         ; CHECK: 00  CHECK-ERR: 230
        LD      A,(5).1         ; CHECK: 00  CHECK-ERR: 230

        INC     IZ              ; CHECK: 37
        DEC     SP              ; CHECK: 3E
        INC     [0x1234]        ; CHECK: E1 34 12 F0
        DEC     [IZ+C]          ; CHECK: 6B F8
        INC     CF              ; CHECK: 00  CHECK-ERR: 230
        INC     PSW             ; CHECK: 00  CHECK-ERR: 230

        PUSH    WA              ; CHECK: 50
        PUSH    HL              ; CHECK: 53
        PUSH    IX              ; CHECK: EC D8
        PUSH    IZ              ; CHECK: EF D8
        POP     BC              ; CHECK: D1
        POP     DE              ; CHECK: D2
        POP     IY              ; CHECK: ED D9
        PUSH    W               ; CHECK: F6 79
        POP     W               ; CHECK: E6 41
        POP     CF              ; CHECK: 00  CHECK-ERR: 230
        PUSH    PC              ; CHECK: 00  CHECK-ERR: 230

        XCH     A,B             ; CHECK: EB 70
        XCH     IZ,SP           ; CHECK: EE 7F
        XCH     A,[0x20]        ; CHECK: E0 20 70
        XCH     IX,[HL]         ; CHECK: E3 DC
        XCH     WA,[0x1234]     ; CHECK: E1 34 12 D8
        XCH     HL,B            ; CHECK: 00 00  CHECK-ERR: 230
        XCH     A,5             ; CHECK: 00 00  CHECK-ERR: 230

        CALL    [0x20]          ; CHECK: E0 20 FD
        CALL    WA              ; CHECK: E8 FD
        CALL    SP              ; CHECK: EE FD
        JP      PSW             ; CHECK: 00  CHECK-ERR: 230
        ROLD    A,[0x1234]      ; CHECK: E1 34 12 F6
        NEG     CS,IX           ; CHECK: EC FA
        NEG     CS,SP           ; CHECK: EE FA
        NEG     CS,5            ; CHECK: 00 00  CHECK-ERR: 230
        DIV     IX,C            ; CHECK: 00 00  CHECK-ERR: 230
        SWAP    CF              ; CHECK: 00 00  CHECK-ERR: 230
        MUL     A,A             ; CHECK: 00 00  CHECK-ERR: 230
        MUL     L,H             ; CHECK: 00 00  CHECK-ERR: 230
        END
