; operators and leaves of relocatable expressions in the object module
 EXTERN ext
 PUBLIC pub
prog SECTION CODE
loc: NOP
pub: NOP
tab SECTION ROMDATA
 DW ext+1
 DW ext+2*3
 DW -ext, ~ext
 DW ext>>8, ext<<4
 DW ext:8
 DW $
 DW ext+1+2+3+4+5
 DW ext*2, ext/2, ext%3
 DW ext&0xFF, ext|1, ext^1, +ext
 DW ext-loc
 DW loc+4, pub-2
 DW 5-ext
 DW ext+port
 DW SIZEOF prog, STARTOF(tab)
 DW pub-loc
 DW loc+3-loc
here DW here+3-here
 DW $-here
fix SECTION ROMDATA ABS=0x2000
port DB 3
 END
