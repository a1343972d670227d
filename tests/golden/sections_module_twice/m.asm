        MODULE  first
        MODULE  second
code    SECTION CODE
        END
