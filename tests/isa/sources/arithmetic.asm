; The arithmetic and logic instructions in each of their forms.
code    SECTION CODE
        ADDC    A,0             ; CHECK: 60 00
        ADD     A,5             ; CHECK: 61 05
        CMP     A,-1            ; CHECK: 67 FF
        ADD     B,5             ; CHECK: EB 61 05
        OR      B,0xFF          ; CHECK: EB 66 FF
        ADD     B,C             ; CHECK: EA 19
        CMP     W,A             ; CHECK: E8 0F
        SUB     A,A             ; CHECK: E8 03
        SUB     HL,0x1234       ; CHECK: EB 6B 34 12
        ADDC    IX,0x10         ; CHECK: EC 68 10 00 00
        AND     DE,BC           ; CHECK: E9 94
        XOR     SP,IZ           ; CHECK: EF B5
        OR      A,[HL]          ; CHECK: E3 06
        XOR     C,[DE]          ; CHECK: E2 15
        ADD     [0x20],5        ; CHECK: E0 20 61 05
        CMP     [HL],0x10       ; CHECK: E3 67 10
        CMP     [0x1234],5      ; CHECK: E1 34 12 67 05
        SUBB    WA,[IX+3]       ; CHECK: D4 03 82
        AND     HL,[DE]         ; CHECK: E2 9C
        XOR     CF,B.3          ; CHECK: EB 53
        XOR     CF,[HL].1       ; CHECK: E3 51
        CMP     [0x20],5        ; CHECK: 07 20 05
        END
