code SECTION CODE
 DB 1 ; a comment holding ÿ and 
 DB 300
 $INCLUDE "e.inc"
 $INCLUDE "f.inc"
 DB 256 DB 9
 DB 300
