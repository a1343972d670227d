-Nc1
; CALLV at model level 1: the address below the table at 0xFFA0, the top of
; the table at 0xC0, and the widths of a vector the linker computes.
        EXTERN  SMALL e8
code    SECTION CODE
        CALLV   0xFF9E          ; CHECK: 00  CHECK-ERR: 300
        CALLV   0xDE            ; CHECK: 7F
        CALLV   vec             ; CHECK: 71
        CALLV   e8              ; CHECK: 70 R
        CALLV   e8:16           ; CHECK: 70 R
        CALLV   e8:24           ; CHECK: 00  CHECK-ERR: 300
        CALLV   e8+0x10000      ; CHECK: 00  CHECK-ERR: 300
        CALLV   e8:7            ; CHECK: 00  CHECK-ERR: 300
vec     EQU     0xFFA2
        END
