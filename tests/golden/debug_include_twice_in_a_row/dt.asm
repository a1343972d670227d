; a file included twice in a row is entered twice: the first inclusion's
; block is closed and a second block (with a line-number variable of its
; own) opens, also for an included file that holds no code
code    SECTION CODE
        NOP
$INCLUDE "/proc/self/cwd/lib/ei.asm"
$INCLUDE "/proc/self/cwd/lib/ei.asm"
$INCLUDE "/proc/self/cwd/lib/nc.asm"
$INCLUDE "/proc/self/cwd/lib/nc.asm"
        NOP
        END
