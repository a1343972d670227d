; An instruction outside any section generates nothing; in a section other
; than code it is assembled with a warning.
        NOP                     ; CHECK:  CHECK-ERR: 215
data    SECTION DATA
        INC     B               ; CHECK: 23  CHECK-ERR: 504
        END
