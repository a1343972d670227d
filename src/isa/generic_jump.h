// The generic jump J and the generic call CAL: the seam between the
// instruction passes and the jump optimisation, which chooses J's form from
// its target's distance.  The instruction passes call these for family 20;
// everything else about J (its ten forms, their encoders, the relative
// fields of its short forms) is shared with the other instructions.
#pragma once

#include "isa/operands.h"

namespace koral {

struct Assembly;

// Pass 1, operands evaluated: CAL becomes CALL for good, and J with an
// operand that is not a bare value becomes JP, both classified by the
// CALL/JP rule; J with a bare value stays J.  Reports 231 and 230.
void generic_jump_pass_one(Assembly& a, Instruction& ins);

// Each pass-2 iteration, operands evaluated: chooses J's form and sets the
// field types of its condition and target.
void generic_jump_pass_two(Assembly& a, Instruction& ins);

// Final pass, before encoding: the far forms 7 and 8 jump over the JP on the
// inverted condition.
void generic_jump_final_pass(Assembly& a, Instruction& ins);

}  // namespace koral
