code    SECTION CODE
        NOP
        END
