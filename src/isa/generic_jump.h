// The generic jump J and the generic call CAL: the seam between the
// instruction passes and the jump optimisation, which chooses J's form from
// its target's distance.  The instruction passes call these for family 20;
// everything else about J (its ten forms, their encoders, the relative
// fields of its short forms) is shared with the other instructions.
//
// J's forms and sizes: 0 JRS T (1), 1 JRS F (1), 2 JR cc short group (2),
// 3 JR (2), 4 JR cc extended group (3), 5 never-jump far form (5),
// 6 always-jump far form (5), 7 far form short group (6), 8 far form
// extended group (7), 9 JP (4).  A statement's form lives in its record, so
// each pass-2 iteration starts from the choice of the one before.
#pragma once

#include <cstdint>

#include "isa/operands.h"

namespace koral {

struct Assembly;

// Mark byte bit of the instruction record: the target label stood before the
// statement when the first pass-2 iteration reached it.
constexpr uint8_t mark_backward_target = 0x80;

// Pass 1, operands evaluated: CAL becomes CALL for good, and J with an
// operand that is not a bare value becomes JP, both classified by the
// CALL/JP rule; J with a bare value stays J.  Reports 231 and 230.
void generic_jump_pass_one(Assembly& a, Instruction& ins);

// Pass 2, before the operands of JRS, JR or J are evaluated: the first
// iteration sets the backward-target mark when the target refers to a label
// of the current section already defined in this iteration; later
// iterations ask the evaluator to move forward targets back by the bytes
// saved so far (not for J's form 9, a marked or an erroneous statement).
void prepare_jump_target(Assembly& a, Instruction& ins);

// Each pass-2 iteration, operands evaluated: chooses J's form and sets the
// field types of its condition and target.  The first iteration puts every J
// at form 0.
void generic_jump_pass_two(Assembly& a, Instruction& ins);

// Final pass, before encoding: the far forms 7 and 8 jump over the JP on the
// inverted condition.
void generic_jump_final_pass(Assembly& a, Instruction& ins);

// The distance class of a target for a statement at the current location
// with the given current form: 0 fits JRS, 1 fits JR, 2 needs JP.
int jump_distance_class(const Assembly& a, const OperandRecord& target, int32_t form);

// Bytes of J in each form.
int generic_jump_size(int32_t form);

// The condition that jumps exactly when `condition` does not.
int32_t inverted_condition(int32_t condition);

}  // namespace koral
