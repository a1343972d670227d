-g -Nc2
; Full debug information (local labels by their N index, line numbers) and
; a LARGE code section at model level 2, with CODE_ADDR and far targets.
        MODULE  debug_large
        EXTERN  LARGE ext
SIZE    EQU     12

main    SECTION CODE LARGE
entry:  LD      HL,SIZE
loop:   DEC     HL
        JR      NZ,loop
        CALL    subr
        JP      CODE_ADDR(ext)
        LD      IX,entry+0x10000
        LD      A,[ext]
        J       far_away
subr:    RET
        ORG     0x300
far_away:
        JR      far_away
        CALLV   0x1FFA4
        RET

        END
