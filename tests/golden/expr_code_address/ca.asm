; CODE_ADDR at model level 2: bit 16 kept for JR, cleared for JP and data
 EXTERN ext
fixed SECTION CODE ABS=0x12300
 JP CODE_ADDR(0x12345)
 JR CODE_ADDR(0x12345)
 DW CODE_ADDR(0x12345)
moving SECTION CODE
lab: JP CODE_ADDR(lab)
 JR CODE_ADDR(ext)
 END
