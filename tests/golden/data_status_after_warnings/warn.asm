; values out of range are warnings: the module stays, its status byte says so
prog SECTION CODE
 DB 300
 DW 65536
 DL 65536
 DFB 2, 0x1FF
 DSB 1
 END
