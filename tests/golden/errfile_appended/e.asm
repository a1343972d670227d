code    SECTION CODE
        NOP
        ALIGN   0
        END
