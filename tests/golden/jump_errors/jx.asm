; Generic jumps and calls that cannot be assembled, and relative jumps out of reach
code    SECTION CODE
        J
        J       NZ
        CAL     Z
        J       NZ,HL
        J       1,2
        CAL     Z,routine
        J       A
        JR      far
        JRS     T,far
routine: NOP
        ORG     0x200
far:    NOP
        END
