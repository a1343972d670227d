; relocated instruction fields in the object module
 EXTERN ext
code SECTION CODE
 CLR [HL].ext
 JRS T,ext
 JR NZ,ext
 CALLV ext
 LD SP,SP+ext
 LD HL,ext+$
 END
