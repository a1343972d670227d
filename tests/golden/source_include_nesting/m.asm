code SECTION CODE
 $INCLUDE "i1.inc"
 $INCLUDE "self.inc"
 $INCLUDE "t.inc"
 $INCLUDE "t.inc"
 $INCLUDE <b.inc>
 $INCLUDE "b.inc"
 NOP
 END
