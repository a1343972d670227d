-Nc3
; CALLV at model level 3 shares the table of level 2.
code    SECTION CODE
        CALLV   0x1FFA0         ; CHECK: 70
        CALLV   0x1FFBF         ; CHECK: 00  CHECK-ERR: 300
        CALLV   0xFFA0          ; CHECK: 00  CHECK-ERR: 300
        END
