; two relocated fields with no plain byte between them
 EXTERN SMALL sx
prog SECTION CODE
 LD [sx],sx+1
 END
