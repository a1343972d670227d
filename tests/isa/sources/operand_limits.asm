; Each operand field at the edges of its range, on both sides: inside the
; value is taken as written, outside warning 501 and the low bits.
code    SECTION CODE
; Immediate bytes take -256..255.
        LD      B,-129          ; CHECK: 1B 7F
        ADD     A,-256          ; CHECK: 61 00
        ADD     A,256           ; CHECK: 61 00  CHECK-ERR: 501
        LD      [0x20],-256     ; CHECK: 0A 20 00
        LD      [0x20],0x100    ; CHECK: 0A 20 00  CHECK-ERR: 501
        CMP     [0xFF],-1       ; CHECK: 07 FF FF
; Words take -65536..65535, three bytes -16777216..16777215.
        LD      HL,-1           ; CHECK: 4B FF FF
        LDW     [HL],-65536     ; CHECK: 09 00 00
        LDW     [HL],0x10000    ; CHECK: 09 00 00  CHECK-ERR: 501
        LDW     [0xFF],0xFFFF   ; CHECK: 08 FF FF FF
        LD      IX,-16777216    ; CHECK: 4C 00 00 00
        LD      IX,-16777217    ; CHECK: 4C FF FF FF  CHECK-ERR: 501
        ADD     IX,0x1000000    ; CHECK: EC 69 00 00 00  CHECK-ERR: 501
        ADD     SP,-1           ; CHECK: EE 69 FF FF FF
        CALL    0xFFFFFF        ; CHECK: FD FF FF FF
        CALL    -16777216       ; CHECK: FD 00 00 00
        CALL    -16777217       ; CHECK: FD FF FF FF  CHECK-ERR: 501
        JP      -1              ; CHECK: FE FF FF FF
        JP      0x1000000       ; CHECK: FE 00 00 00  CHECK-ERR: 501
        CAL     0x1000000       ; CHECK: FD 00 00 00  CHECK-ERR: 501
; The stack adjustment: the sign of d picks the form, whatever operator
; was written; its byte holds -255..255.
        LD      SP,SP+(-3)      ; CHECK: 03 03
        LD      SP,SP-(-3)      ; CHECK: 02 03
        LD      SP,SP-0         ; CHECK: 02 00
        LD      SP,SP+(-255)    ; CHECK: 03 FF
; Indexed displacements are signed bytes.
        LD      A,[SP-128]      ; CHECK: D6 80 40
        LD      A,[SP+127]      ; CHECK: D6 7F 40
        LD      A,[IX-(-5)]     ; CHECK: D4 05 40
; A direct address picks the narrowest mode it fits with either sign; the
; three-byte address itself is unsigned.
        LD      A,[-1]          ; CHECK: 0C FF
        LD      A,[-65537]      ; CHECK: 6D FF FF FE 40  CHECK-ERR: 501
        LD      [0xFF],A        ; CHECK: 0E FF
        LD      [0x100],A       ; CHECK: F1 00 01 78
        LD      [0x10000],A     ; CHECK: 6C 00 00 01 78
        LD      [0x12345],5     ; CHECK: 6C 45 23 01 F9 05
        ADD     [0x12345],5     ; CHECK: 6D 45 23 01 61 05
        CMP     [0x100],5       ; CHECK: E1 00 01 67 05
; A declared width decides the fit before the value does.
        LD      A,[0x80:8]      ; CHECK: 0C 80
        LD      [0x20:16],A     ; CHECK: F1 20 00 78
        CMP     [0x100:16],1    ; CHECK: E1 00 01 67 01
        LD      IX,5:24         ; CHECK: 4C 05 00 00
        LD      HL,5:24         ; CHECK: 00  CHECK-ERR: 230
        ADD     A,5:16          ; CHECK: 00  CHECK-ERR: 230
        JP      5:32            ; CHECK: 00  CHECK-ERR: 230
        LD      RBS,1:1         ; CHECK: F9 02
        LD      RBS,1:8         ; CHECK: 00  CHECK-ERR: 230
        LD      RBS,-1          ; CHECK: 00  CHECK-ERR: 230
; Bit numbers 0..7; beyond, the low three bits and one warning for the line.
        CLR     [0x20].7        ; CHECK: CF 20
        CLR     [0x20].8        ; CHECK: C8 20  CHECK-ERR: 501
        CLR     [IX+200].9      ; CHECK: D4 C8 C9  CHECK-ERR: 501
; Shift counts: 0..7 for a byte register, 0..15 for a pair, 0..23 for a
; pointer; a named count is checked like a number.
        SHRC    B,0             ; CHECK: EB F5 00
        SHRC    H,7             ; CHECK: EF F5 07
        SHLC    A,-1            ; CHECK: 00 00  CHECK-ERR: 290
        SHLC    A,count         ; CHECK: E8 F4 07
        SHLCA   WA,15           ; CHECK: E8 F0 0F
        SHRCA   IY,23           ; CHECK: ED F1 17
        SHLCA   IY,24           ; CHECK: 00 00  CHECK-ERR: 290
        SHLCA   IX,-1           ; CHECK: 00 00  CHECK-ERR: 290
count   EQU     7
        END
