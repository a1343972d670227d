; DSB 0 reserves one byte with a warning; the public variable keeps 0 as
; its element count
        PUBLIC  buf
ram     SECTION DATA
        DSB     2
buf     DSB     0
        DSB     3
        END
