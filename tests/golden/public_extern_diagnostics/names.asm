prog SECTION CODE
 PUBLIC prog
 PUBLIC $
 EXTERN LARGE far
 EXTERN prog, later
lab DB 1
 EXTERN lab
 DB later
 END
