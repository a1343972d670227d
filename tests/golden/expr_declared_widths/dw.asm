; the width after ":" is the value of any absolute expression
 EXTERN SMALL sx
prog SECTION CODE
 LD A,sx:8
 LD A,5:8
 LD A,sx:16
 LD A,sx:(32/2)
 LD A,sx:(1<<4)
 LD A,5:16
 LD A,5:(32/2)
 LD A,5:(1<<4)
 END
