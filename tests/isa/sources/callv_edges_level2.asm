-Nc2
; CALLV at model level 2: the table at 0x1FFA0 and the addresses around it,
; the level-1 tables refused, and vectors the linker computes up to 24 bits.
        EXTERN  SMALL e8
code    SECTION CODE
        CALLV   0x1FFBE         ; CHECK: 7F
        CALLV   0x1FFC0         ; CHECK: 00  CHECK-ERR: 300
        CALLV   0x1FF9E         ; CHECK: 00  CHECK-ERR: 300
        CALLV   0xC0            ; CHECK: 70
        CALLV   0xFFC2          ; CHECK: 00  CHECK-ERR: 300
        CALLV   0xFFA0          ; CHECK: 00  CHECK-ERR: 300
        CALLV   15              ; CHECK: 7F
        CALLV   16              ; CHECK: 00  CHECK-ERR: 300
        CALLV   e8              ; CHECK: 70 R
        CALLV   e8:24           ; CHECK: 70 R
        CALLV   e8:25           ; CHECK: 00  CHECK-ERR: 300
        CALLV   e8:7            ; CHECK: 00  CHECK-ERR: 300
        LD      RBS,0           ; CHECK: F9 00
        END
