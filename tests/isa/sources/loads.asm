; Every form of LD, INC, DEC and LDW.
code    SECTION CODE
        LD      [0x20],0x55     ; CHECK: 0A 20 55
        LD      [HL],0x12       ; CHECK: 0B 12
        LD      A,[0x80]        ; CHECK: 0C 80
        LD      A,[HL]          ; CHECK: 0D
        LD      [0x20],A        ; CHECK: 0E 20
        LD      [HL],A          ; CHECK: 0F
        LD      A,B             ; CHECK: 13
        LD      A,A             ; CHECK: 10
        LD      C,0x7F          ; CHECK: 1A 7F
        LD      A,5             ; CHECK: 18 05
        LD      SP,SP+5         ; CHECK: 02 05
        LD      SP,SP+0         ; CHECK: 02 00
        LD      SP,SP-3         ; CHECK: 03 03
        LD      SP,SP+255       ; CHECK: 02 FF
        LD      SP,SP-255       ; CHECK: 03 FF
        LD      D,A             ; CHECK: 45
        LD      HL,0x1234       ; CHECK: 4B 34 12
        LD      WA,0xBEEF       ; CHECK: 48 EF BE
        LD      IX,0x123456     ; CHECK: 4C 56 34 12
        LD      SP,0x10000      ; CHECK: 4E 00 00 01
        LD      IZ,5            ; CHECK: 4F 05 00 00
        LD      CF,[0x20].3     ; CHECK: 5B 20
        LD      B,C             ; CHECK: EA 43
        LD      H,L             ; CHECK: EE 47
        LD      HL,DE           ; CHECK: EA 4B
        LD      IX,SP           ; CHECK: EE 4C
        LD      CF,B.4          ; CHECK: EB 5C
        LD      PSW,0x44        ; CHECK: E8 DE 44
        LD      B.2,CF          ; CHECK: EB EA
        LD      C,[DE]          ; CHECK: E2 42
        LD      A,[DE]          ; CHECK: E2 40
        LD      A,[SP]          ; CHECK: D6 00 40
        LD      B,[IX+0x10]     ; CHECK: D4 10 43
        LD      A,[HL-128]      ; CHECK: D7 80 40
        LD      H,[IZ-2]        ; CHECK: 6A FE 47
        LD      A,[0x1234]      ; CHECK: E1 34 12 40
        LD      A,[0x12345]     ; CHECK: 6D 45 23 01 40
        LD      A,[0x80:16]     ; CHECK: E1 80 00 40
        LD      E,[HL+C]        ; CHECK: E7 44
        LD      L,[PC+A]        ; CHECK: 6F 46
        LD      D,[IZ+C]        ; CHECK: 6B 45
        LD      A,[+SP]         ; CHECK: E6 40
        LD      HL,[IX]         ; CHECK: E4 4B
        LD      BC,[0x1234]     ; CHECK: E1 34 12 49
        LD      CF,[HL].5       ; CHECK: E3 5D
        LD      [DE],HL         ; CHECK: F2 6B
        LD      [IZ+3],IX       ; CHECK: 68 03 6C
        LD      [DE],A          ; CHECK: F2 78
        LD      [0x1234],B      ; CHECK: F1 34 12 7B
        LD      [SP-],C         ; CHECK: F6 7A
        LD      [IY+1],L        ; CHECK: 55 01 7E
        LD      [HL].6,CF       ; CHECK: E3 EE
        LD      [IX],0x99       ; CHECK: F4 F9 99
        LD      [0x300],7       ; CHECK: F1 00 03 F9 07
        LD      CF,[DE].A       ; CHECK: E2 FC
        LD      [HL].A,CF       ; CHECK: E3 F3
        LD      RBS,0           ; CHECK: F9 00
        LD      RBS,1           ; CHECK: F9 02
        LD      RBS,2           ; CHECK: 00  CHECK-ERR: 230
        LD      RBS,A           ; CHECK: 00  CHECK-ERR: 230

; The direct address takes the narrowest form its value fits.
        LD      A,[0xFF]        ; CHECK: 0C FF
        LD      A,[-256]        ; CHECK: 0C 00
        LD      A,[-257]        ; CHECK: E1 FF FE 40
        LD      A,[0x100]       ; CHECK: E1 00 01 40
        LD      A,[0xFFFF]      ; CHECK: E1 FF FF 40
        LD      A,[0x10000]     ; CHECK: 6D 00 00 01 40
        LD      A,[0xFFFFFF]    ; CHECK: 6D FF FF FF 40
        LD      A,[0x80:24]     ; CHECK: 6D 80 00 00 40
; A forward reference is short in pass 1 and takes its width later.
        LD      A,[byte]        ; CHECK: 0C 80
        LD      A,[word]        ; CHECK: E1 34 12 40

        INC     A               ; CHECK: 20
        INC     H               ; CHECK: 27
        INC     BC              ; CHECK: 31
        INC     SP              ; CHECK: 36
        INC     [HL]            ; CHECK: E3 F0
        INC     [0x20]          ; CHECK: E0 20 F0
        DEC     W               ; CHECK: 29
        DEC     IX              ; CHECK: 3C
        DEC     [IY+4]          ; CHECK: D5 04 F8
        LDW     [0x20],0x1234   ; CHECK: 08 20 34 12
        LDW     [HL],0xABCD     ; CHECK: 09 CD AB

; A floating constant where an integer is built keeps its integer part.
        LD      A,2.5           ; CHECK: 18 02  CHECK-ERR: 501
; A failing operand keeps the statement's size.
        LD      A,7/0           ; CHECK: 18 00  CHECK-ERR: 201
byte    EQU     0x80
word    EQU     0x1234
        END
