-Xt -q -zc
-zc x
code    SECTION CODE
        END
