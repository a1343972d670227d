; Every form of every mnemonic, with absolute operands: the disassembly of
; the module must assemble to the same code bytes.
        MODULE  all_forms
        PUBLIC  entry

code    SECTION CODE MEDIUM
entry:
        NOP
        RETI
        RET
        SWI
        RETN
        DI
        EI
        SLEEP
        SWAP    A
        DAA     W
        DAS     L
        SHLC    B,3
        SHRC    C,7
        ROLC    D
        RORC    E
        MUL     W,A
        MUL     B,C
        MUL     D,E
        MUL     H,L
        DIV     WA,C
        DIV     DE,C
        DIV     HL,C
        POP     BC
        POP     IX
        POP     PSW
        PUSH    HL
        PUSH    IZ
        PUSH    PSW
        PUSH    A
        POP     B
        CLR     CF
        CLR     [0x20].1
        CLR     H.7
        CLR     [HL].2
        CLR     [IX+5].A
        SET     CF
        SET     [0x21].0
        SET     A.3
        SET     [DE].4
        SET     [IY-3].A
        CPL     CF
        CPL     B.6
        CPL     [HL+C].5
        CPL     [0x1234].A
        TEST    [0x30].7
        TEST    L.0
        TEST    [IZ+4].1
        TEST    [HL].A
        LD      [0x40],0x55
        LD      [HL],0x66
        LD      A,[0x41]
        LD      A,[HL]
        LD      [0x42],A
        LD      [HL],A
        LD      A,B
        LD      C,0x77
        LD      SP,SP+4
        LD      SP,SP-4
        LD      D,A
        LD      HL,0x1234
        LD      IX,0x123456
        LD      SP,0xFFF
        LD      CF,[0x43].2
        LD      E,H
        LD      DE,BC
        LD      CF,W.5
        LD      PSW,0x12
        LD      L.1,CF
        LD      H,[IX+0x10]
        LD      BC,[0x4567]
        LD      CF,[DE].3
        LD      [IY+2],HL
        LD      [SP+1],B
        LD      [HL-1].6,CF
        LD      [0x123456],0x99
        LD      CF,[IX].A
        LD      [IY].A,CF
        LD      RBS,0
        LD      RBS,1
        LD      A,[PC+A]
        LD      W,[IZ+C]
        LD      [SP-],WA
        LD      A,[SP]
        LD      B,[+SP]
        LD      [IZ-2],C
        INC     A
        INC     HL
        INC     [0x50]
        DEC     W
        DEC     SP
        DEC     [HL+2]
        LDW     [0x60],0x1234
        LDW     [HL],0x5678
        ADDC    A,1
        ADD     B,C
        SUBB    D,0x10
        SUB     HL,0x100
        AND     IX,0x10000
        XOR     DE,WA
        OR      E,[HL]
        CMP     [IY+1],0x20
        ADD     BC,[0x1234]
        XOR     CF,A.1
        XOR     CF,[HL].2
        CMP     [0x70],5
        ADD     [0x71],6
        AND     A,A
        OR      H,L
back:   JRS     T,back
        JRS     F,fwd
        JR      NZ,back
        JR      M,fwd
        JR      SGT,back
        JR      T,fwd
        JR      fwd
        JR      $
        JRS     T,$+3
        NOP
fwd:    NOP
        CALLV   3
        CALLV   0xFFA2
        CALL    0x1234
        CALL    HL
        CALL    [HL]
        JP      IX
        JP      [0x80]
        JP      0x10000
        ROLD    A,[HL]
        RORD    A,[IX+1]
        XCH     A,B
        XCH     HL,DE
        XCH     C,[0x22]
        XCH     BC,[HL]
        SHLCA   IX,23
        SHRCA   HL,15
        NEG     CS,BC
        J       back
        J       T,fwd
        J       NZ,back
        J       M,fwd
        J       F,fwd
        CAL     0x2000
        END
