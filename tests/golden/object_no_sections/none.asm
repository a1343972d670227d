; no section and no symbol: the module still has its head, the attribute
; and environment parts, an empty BB10 block and the module end; the
; section, external and data parts are absent (offset 0)
        END
