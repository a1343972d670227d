; public variables carry the data mark and element count of their directive
 PUBLIC bytes, words, longs, buf, limit
prog SECTION CODE
bytes DB 1, 2, 3
words DW 1, 2
longs DP 5
limit EQU 0x300
 DW words, limit
ram SECTION DATA
buf DSW 4
 END
