// Classification: the rule of each instruction family looks at the written
// operands and either chooses one form of the mnemonic, setting each
// operand's field type, or reports why no form fits.
#pragma once

#include <cstdint>

#include "isa/operands.h"

namespace koral {

struct Assembly;

// Runs the rule of the mnemonic's family.  True when a form was chosen.  A
// refusal reports error 230 "Operand type mismatch" or 231 "Too few or many
// operands" and leaves the form index as it was.  `allocate` supplies, in
// pass 1, the extra operand record of PUSH or POP of an 8-bit register, which
// is rewritten for good as LD; outside pass 1 it may be nullptr.
bool classify_instruction(Assembly& a, Instruction& ins, OperandAllocator allocate);

// Whether a family's choice depends on operand values, so that its rule runs
// again in every pass-2 iteration.
bool reclassified_in_pass_two(int32_t family);

// The vector number of a CALLV operand: an absolute vector address of the
// model level's table (or of the table at 0xC0), or a number 0..15, replaces
// the operand's value; a relocatable value is checked for its width.  False
// when the operand is no valid vector.
bool callv_vector(const Assembly& a, OperandRecord& op);

}  // namespace koral
