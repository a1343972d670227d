; a zero divisor gives 0, with error 201 from the final pass only
prog SECTION CODE
 LD A,7/0
 LD A,7%0
 LD A,(7/0)+5
 END
