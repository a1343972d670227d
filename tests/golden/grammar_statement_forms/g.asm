code    SECTION CODE
LOOP:
X       EQU     5
LOOP2   NOP
BUF:    DSB     1
A:      NOP
        ORG     1+2*3
        ORG     018+
        ORG     5*-3
        ORG     (1+2
+ - * /
        END
