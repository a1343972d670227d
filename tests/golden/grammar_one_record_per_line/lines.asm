low     SECTION DATA ABS=0x200
   ORG (
;

   ORG (
;

   ORG (
;

   ORG (
;

   ORG (
;

   ORG (
;

   ORG (
;

   ORG (
;

   ORG (
;

   ORG (
;

   ORG (
;

   ORG (
;

   ORG (
;

   ORG (
;

   ORG (
;

   ORG (
;

   ORG (
;

   ORG (
;

   ORG (
;

   ORG (
high    SECTION DATA ABS=0x200
        END
