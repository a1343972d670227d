; An operand that fails to evaluate: an undefined name leaves the statement
; the zero bytes of its first form; a division by zero found in the last
; pass keeps the form and zeroes a relative displacement.
code    SECTION CODE
        LD      A,undef         ; CHECK: 00  CHECK-ERR: 221
        JR      undef           ; CHECK: 00  CHECK-ERR: 221
        J       undef           ; CHECK: 00  CHECK-ERR: 221
        JR      $+4/0           ; CHECK: FC 00  CHECK-ERR: 201
        JRS     T,$+4/0         ; CHECK: 80  CHECK-ERR: 201
        J       NZ,$+4/0        ; CHECK: D9 00  CHECK-ERR: 201
        END
