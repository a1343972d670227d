-Nc2
; CALLV at model level 2: the table at 0x1FFA0; a 24-bit vector is allowed.
        EXTERN  e16
        EXTERN  LARGE e24
code    SECTION CODE
        CALLV   0x1FFA2         ; CHECK: 71
        CALLV   0xDE            ; CHECK: 7F
        CALLV   0xFFA2          ; CHECK: 00  CHECK-ERR: 300
        CALLV   e16             ; CHECK: 70 R
        CALLV   e24             ; CHECK: 70 R
        LD      RBS,1           ; CHECK: F9 02
        END
