; Relocated fields of every kind: externals, labels of other sections,
; local labels, $ and the templates of JR, JRS, CALLV and bit numbers; an
; absolute section; data in a code section; reserved storage.
        MODULE  relocations
        EXTERN  ext, far
        EXTERN  SMALL near
        PUBLIC  start, table, count
LIMIT   EQU     0x40

code    SECTION CODE MEDIUM ALIGN=2
start:  LD      A,[ext]
        LD      A,[near]
        LD      [near+1],A
        LD      HL,ext+2
        LD      IX,far
        LD      BC,table
        LD      DE,$
        LD      A,[IX+near]
        CALL    ext
        CALL    helper
        JP      far+0x10
        JR      ext
        JR      NZ,ext
        JR      M,ext
        JRS     T,ext
        CALLV   ext
        SET     [0x20].near
        LD      A,[count]
        LD      [flags],A
        LD      A,LIMIT
        J       ext
        J       NZ,far
        J       start
        CAL     helper
        LD      HL,table+3
        LD      A,[last-1]
        LD      SP,SP+near
helper: INC     A
        DB      1,2,3
        DW      ext, table
        DFB     3,0x55
        ALIGN   4
        RET
last:   NOP

rom     SECTION ROMDATA
table   DB      "AB"
        DW      start, helper+1, ext-2
        DP      far
        DL      0x12345678

vars    SECTION DATA SMALL
count   DSB     1
flags   DSB     2
buffer  DSB     5

fixed   SECTION CODE ABS=0x4000
        JR      there
        CALL    start
        LD      HL,buffer
there:  JP      [0x1234]

code    SECTION CODE MEDIUM ALIGN=2
        LD      A,[buffer+2]
        RET
        END
