; at model level 2 a CODE section is LARGE unless MEDIUM is given; SMALL
; and LARGE are kept; an alignment that is not a power of two is raised
c1      SECTION CODE
        DB      1
c2      SECTION CODE LARGE
c3      SECTION CODE MEDIUM
r1      SECTION ROMDATA LARGE
d1      SECTION DATA SMALL
d2      SECTION DATA ALIGN=3
        DSB     2
d3      SECTION DATA LARGE ALIGN=16
        END
