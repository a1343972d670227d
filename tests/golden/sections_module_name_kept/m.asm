; the first MODULE names the module; a second one warns, and one after a
; SECTION statement is out of place
        MODULE  first
        MODULE  second
code    SECTION CODE
        DB      0x5A
        MODULE  third
        END
