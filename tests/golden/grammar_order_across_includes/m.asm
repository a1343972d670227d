code    SECTION CODE
        ORG     later
        $INCLUDE "i.inc"
        ORG     10
        ALIGN   0
low     SECTION DATA ABS=0x100
high    SECTION DATA ABS=0x100
        END
