; With -O a jump to a label ahead keeps its far form; one behind is shortened
code    SECTION CODE
back:   NOP
        J       F,back
        J       NZ,ahead
        J       ahead
        J       T,ahead
        J       $+2
        J       back
        J       T,back
        J       M,back
ahead:  NOP
        END
