fix     SECTION DATA ABS=0
        ORG     2
        ORG     1
here:
        DSP     here*0x30000000
        DSP     here*0x30000000
        END
