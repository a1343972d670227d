  -Xt -Fa -Fc   ; no object, fill everything
-f more.cmd
; a comment line
code    SECTION CODE
        ORG     5*-3
        END
