-Nc2
; Addresses only the linker knows take the width of their section: SMALL
; data is reached by the short direct forms, MEDIUM by 16-bit and LARGE by
; 24-bit addresses; an absolute section's address is known at once.  A
; section other than code takes instructions with a warning.
sdat    SECTION DATA SMALL
sv      DSB     1
mdat    SECTION DATA MEDIUM
mv      DSB     1
ldat    SECTION DATA LARGE
lv      DSB     1
adat    SECTION DATA ABS=0x20
av      DSB     1
code    SECTION CODE
        LD      A,[sv]          ; CHECK: 0C 00 R
        LD      A,[mv]          ; CHECK: E1 00 00 40 R
        LD      A,[lv]          ; CHECK: 6D 00 00 00 40 R
        LD      A,[av]          ; CHECK: 0C 20
        LD      [sv],A          ; CHECK: 0E 00 R
        LD      [lv],A          ; CHECK: 6C 00 00 00 78 R
        CLR     [sv].3          ; CHECK: CB 00 R
        CLR     [mv].3          ; CHECK: E1 00 00 CB R
        TEST    [av].7          ; CHECK: 5F 20
        CMP     [sv],1          ; CHECK: 07 00 01 R
        CMP     [mv],1          ; CHECK: E1 00 00 67 01 R
; LDW takes any relocatable address as short, and then it must fit a byte.
        LDW     [sv],0x1234     ; CHECK: 08 00 34 12 R
        LDW     [mv],0x1234     ; CHECK: 08 00 34 12 R  CHECK-ERR: 501
        LD      HL,lv           ; CHECK: 4B 00 00 R  CHECK-ERR: 501
        LD      IY,lv           ; CHECK: 4D 00 00 00 R
        CALL    here            ; CHECK: FD 00 00 00 R
here:   JP      [lv]            ; CHECK: 6D 00 00 00 FE R
rom     SECTION ROMDATA
        NOP                     ; CHECK: 00  CHECK-ERR: 504
        END
