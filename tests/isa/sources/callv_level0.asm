-Nc0
; CALLV takes the address of a vector in the model level's table (or its
; number) and encodes the vector number.
        EXTERN  e16
code    SECTION CODE
        CALLV   0xFFC2          ; CHECK: 71
        CALLV   0xFFC0          ; CHECK: 70
        CALLV   0xFFDE          ; CHECK: 7F
        CALLV   0xC4            ; CHECK: 72
        CALLV   15              ; CHECK: 7F
        CALLV   0xFFA2          ; CHECK: 00  CHECK-ERR: 300
        CALLV   e16             ; CHECK: 70 R
        LD      RBS,1           ; CHECK: 00  CHECK-ERR: 230
        END
