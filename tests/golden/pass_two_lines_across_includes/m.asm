code    SECTION CODE
start:  NOP
        $INCLUDE "i.inc"
        DB      missing
        JRS     T,start
        END
