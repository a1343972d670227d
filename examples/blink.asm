; blink.asm - toggles bit 0 of an output port with a busy-wait delay.
        MODULE  blink

PORT    EQU     0x01            ; output port, short direct address
DELAY   EQU     200             ; inner loop count

code    SECTION CODE
        PUBLIC  start
start:  LD      SP,0x0FFF
loop:   SET     [PORT].0        ; LED on
        CALL    wait
        CLR     [PORT].0        ; LED off
        CALL    wait
        LD      A,[count]
        INC     A
        LD      [count],A
        J       loop

wait:   LD      A,DELAY
again:  DEC     A
        J       NZ,again
        RET

vars    SECTION DATA
count   DSB     1

        END
