; under -g1 a local label in a relocatable expression is its N variable
prog SECTION CODE
loc: NOP
tab SECTION ROMDATA
 DW loc+1
 END
