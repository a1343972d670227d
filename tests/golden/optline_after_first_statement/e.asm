code    SECTION CODE
-Xt
        END
