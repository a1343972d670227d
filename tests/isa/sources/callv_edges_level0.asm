-Nc0
; CALLV at model level 0: both ends of the tables at 0xFFC0 and 0xC0 and the
; even addresses just outside; a vector the linker computes must be 8 to 16
; bits wide.
        EXTERN  SMALL e8
code    SECTION CODE
        CALLV   0xFFDC          ; CHECK: 7E
        CALLV   0xFFBE          ; CHECK: 00  CHECK-ERR: 300
        CALLV   0xFFE0          ; CHECK: 00  CHECK-ERR: 300
        CALLV   0xDE            ; CHECK: 7F
        CALLV   0xBE            ; CHECK: 00  CHECK-ERR: 300
        CALLV   0xC1            ; CHECK: 00  CHECK-ERR: 300
        CALLV   [HL]            ; CHECK: 00  CHECK-ERR: 300
        CALLV   e8              ; CHECK: 70 R
        CALLV   e8:16           ; CHECK: 70 R
        CALLV   e8:24           ; CHECK: 00  CHECK-ERR: 300
        CALLV   e8+0x10000      ; CHECK: 00  CHECK-ERR: 300
        CALLV   e8:7            ; CHECK: 00  CHECK-ERR: 300
        LD      RBS,0           ; CHECK: 00  CHECK-ERR: 230
        END
