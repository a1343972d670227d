-zd -Xt
code    SECTION CODE
        ORG 10
        END
