; fills of section-relative and external values
 EXTERN ext
prog SECTION CODE
here DB 0
 DFB 2, here+1
 DFW 3, ext
 DFP 2, here
 DFL 2, ext+5
 DFD 1, here+2
 END
