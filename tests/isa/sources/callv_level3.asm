-Nc3
; CALLV at model level 3.
        EXTERN  e16
        EXTERN  LARGE e24
code    SECTION CODE
        CALLV   0x1FFBE         ; CHECK: 7F
        CALLV   0               ; CHECK: 70
        CALLV   e16             ; CHECK: 70 R
        CALLV   e24             ; CHECK: 70 R
        LD      RBS,1           ; CHECK: F9 02
        END
