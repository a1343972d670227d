; Values out of their field's range: warning 501 once per statement, and
; the field keeps the value's low bits.
code    SECTION CODE
        LD      A,255           ; CHECK: 18 FF
        LD      A,-256          ; CHECK: 18 00
        LD      A,256           ; CHECK: 18 00  CHECK-ERR: 501
        LD      A,-257          ; CHECK: 18 FF  CHECK-ERR: 501
        LD      HL,0xFFFF       ; CHECK: 4B FF FF
        LD      HL,0x10000      ; CHECK: 4B 00 00  CHECK-ERR: 501
        LD      HL,-65536       ; CHECK: 4B 00 00
        LD      HL,-65537       ; CHECK: 4B FF FF  CHECK-ERR: 501
        LD      IX,0xFFFFFF     ; CHECK: 4C FF FF FF
        LD      IX,0x1000000    ; CHECK: 4C 00 00 00  CHECK-ERR: 501
        LD      SP,SP+256       ; CHECK: 02 00  CHECK-ERR: 501
        LD      SP,SP-256       ; CHECK: 03 00  CHECK-ERR: 501
        LD      A,[IX+127]      ; CHECK: D4 7F 40
        LD      A,[IX-128]      ; CHECK: D4 80 40
        LD      A,[IX+128]      ; CHECK: D4 80 40  CHECK-ERR: 501
        LD      A,[IX-129]      ; CHECK: D4 7F 40  CHECK-ERR: 501
        LD      [IX+200],300    ; CHECK: 54 C8 F9 2C  CHECK-ERR: 501
        LD      A,[0x1000000]   ; CHECK: E1 00 00 40  CHECK-ERR: 501
        LD      A,[-65536]      ; CHECK: E1 00 00 40
        END
