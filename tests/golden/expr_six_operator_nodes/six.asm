; a relocatable expression of six operator nodes is too many for the object module
 EXTERN ext
prog SECTION CODE
 DW ext+1+2+3+4+5
 DW ext+1+2+3+4+5+6
 END
