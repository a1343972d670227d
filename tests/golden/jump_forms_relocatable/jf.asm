; Forms of the generic jump J and the generic call CAL in relocatable sections
code    SECTION CODE
back:   NOP
        J       T,back
        J       F,back
        J       back
        J       NZ,back
        J       GT,back
        J       SLT,back
        J       T,near
        J       F,near
        J       NZ,near
        J       VC,near
        J       near
near:   NOP
        J       T,mid
        J       F,mid
        J       EQ,mid
        J       SGE,mid
        J       mid
        J       T,back
        J       SLE,back
        J       far
        J       T,far
        J       F,far
        J       CS,far
        J       VS,far
        J       0x20
        J       LE,0x20
        J       there
        J       M,there
        J       $+2
        CAL     back
        CAL     HL
        J       [HL]
        J       DE
mid:    NOP
        ORG     0x100
top:    NOP
        ORG     0x300
far:    NOP
        J       T,top
        J       NZ,top
        J       top
        J       far
other   SECTION CODE
there:  NOP
        END
