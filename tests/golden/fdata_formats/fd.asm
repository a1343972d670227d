; floating values, each image least significant byte first
prog SECTION CODE
one FDATAS 1.0F
 FDATAD 1.0
 FDATAX 1.0L
 FDATAS 1.5F, -2.0F
 END
