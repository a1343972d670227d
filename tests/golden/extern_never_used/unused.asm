 EXTERN ZZ, used
prog SECTION CODE
 DW used
 END
