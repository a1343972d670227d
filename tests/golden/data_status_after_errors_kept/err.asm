; with -zr the module survives an error and its status byte says so
prog SECTION CODE
 DB 1, 2
 DB undefined
 DW 3
 END
