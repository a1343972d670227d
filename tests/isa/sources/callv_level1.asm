-Nc1
; CALLV at model level 1: the table at 0xFFA0.
        EXTERN  e16
code    SECTION CODE
        CALLV   0xFFA0          ; CHECK: 70
        CALLV   0xFFBE          ; CHECK: 7F
        CALLV   0xFFA8          ; CHECK: 74
        CALLV   0xC0            ; CHECK: 70
        CALLV   5               ; CHECK: 75
        CALLV   e16             ; CHECK: 70 R
        CALLV   0xFFC2          ; CHECK: 00  CHECK-ERR: 300
        CALLV   0xFFA1          ; CHECK: 00  CHECK-ERR: 300
        CALLV   0xFFC0          ; CHECK: 00  CHECK-ERR: 300
        CALLV   16              ; CHECK: 00  CHECK-ERR: 300
        CALLV   -1              ; CHECK: 00  CHECK-ERR: 300
        CALLV   0xE0            ; CHECK: 00  CHECK-ERR: 300
        CALLV   A               ; CHECK: 00  CHECK-ERR: 300
        LD      RBS,1           ; CHECK: F9 02
        END
