        ORG     3
        ALIGN   2
        NOP
        DB      1
        ORG     8
        END
