; integer, character and string constants
code SECTION CODE
 DB 017, 0x1F, 0X1f, 0y101, 0Y11, 00, 0
 DW 'AB', 'A'
 DL 'ABCDE'
 DB "a\x41", "\012"
 DB '\n', '\x7F', "\101\7", '\''
 DB 018
 DB 12H
 DB 0x
 DB 0y2
 DB 1e
 DB 12b
 DB "\777"
 DB "abc
 DB 'AB
 DB "a\qb"
 DB "\x", 7
 DL 0x1FFFFFFFF
 END
