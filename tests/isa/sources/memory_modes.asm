; Memory operands in source and destination positions: the prefix of each
; addressing mode, the stack forms, and the modes a position refuses.
code    SECTION CODE
        LD      [SP+1],A        ; CHECK: 56 01 78
        LD      [IZ+C],A        ; CHECK: 69 78
        LD      [HL+C],B        ; CHECK: F7 7B
        LD      A,[IZ+C]        ; CHECK: 6B 40
        LD      [IZ-1],B        ; CHECK: 68 FF 7B
        LD      [HL-1],A        ; CHECK: 57 FF 78
        LD      A,[HL+0]        ; CHECK: D7 00 40
        LD      [IY],A          ; CHECK: F5 78
        LD      [IX],A          ; CHECK: F4 78
        LD      [HL],B          ; CHECK: F3 7B
        LD      [HL],HL         ; CHECK: F3 6B
        LD      [0x20],B        ; CHECK: F0 20 7B
        LD      [0x20],HL       ; CHECK: F0 20 6B
        LD      IX,[0x20]       ; CHECK: E0 20 4C
        LD      B,[0x20]        ; CHECK: E0 20 43
; [SP-] is written to, [+SP] read from; [PC+A] is only read.
        LD      [SP-],HL        ; CHECK: F6 6B
        LD      [SP-],5         ; CHECK: F6 F9 05
        LD      HL,[+SP]        ; CHECK: E6 4B
        LD      [+SP],HL        ; CHECK: 00  CHECK-ERR: 230
        INC     [+SP]           ; CHECK: E6 F0
        INC     [SP]            ; CHECK: D6 00 F0
        CALL    [+SP]           ; CHECK: E6 FD
        CALL    [SP-]           ; CHECK: 00  CHECK-ERR: 230
        CALL    [SP+5]          ; CHECK: D6 05 FD
        CALL    [PC+A]          ; CHECK: 6F FD
        JP      [PC+A]          ; CHECK: 6F FE
        JP      [IZ+C]          ; CHECK: 6B FE
        ROLD    A,[PC+A]        ; CHECK: 6F F6
        ROLD    A,[+SP]         ; CHECK: E6 F6
        RORD    A,[SP-]         ; CHECK: 00 00  CHECK-ERR: 230
        RORD    A,[IZ+2]        ; CHECK: 6A 02 F7
        XCH     A,[+SP]         ; CHECK: E6 70
; Bits of memory: .A takes any memory operand, a numbered bit a readable one.
        LD      CF,[+SP].A      ; CHECK: E6 FC
        CLR     [PC+A].A        ; CHECK: 6F FA
        CLR     [PC+A].3        ; CHECK: 6F CB
        SET     [HL+C].0        ; CHECK: E7 C0
        TEST    [IZ+C].A        ; CHECK: 6B FC
        CPL     [IZ-3].7        ; CHECK: 6A FD E7
        CPL     [0x20].3        ; CHECK: E0 20 E3
        CPL     [0x20].A        ; CHECK: E0 20 FB
        SET     [0xFF].1        ; CHECK: C1 FF
        SET     [-1].1          ; CHECK: C1 FF
        TEST    [0x100].3       ; CHECK: E1 00 01 5B
        TEST    [0x100].A       ; CHECK: E1 00 01 FC
        CLR     [0x20].A        ; CHECK: E0 20 FA
        LD      CF,[0x100].2    ; CHECK: E1 00 01 5A
        LD      CF,[0x20:16].3  ; CHECK: E1 20 00 5B
        LD      CF,[0x20].A     ; CHECK: E0 20 FC
        LD      [0x20].1,CF     ; CHECK: E0 20 E9
        LD      B.7,CF          ; CHECK: EB EF
        LD      A.0,CF          ; CHECK: E8 E8
        XOR     CF,[0x20].7     ; CHECK: E0 20 57
        XOR     CF,[0x20:16].3  ; CHECK: E1 20 00 53
        XOR     CF,A.0          ; CHECK: E8 50
        END
