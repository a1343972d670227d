-$ -Xt

code    SECTION CODE
        END
