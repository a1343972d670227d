code    SECTION CODE
S       EQU     T1
T1      EQU     3
        END
