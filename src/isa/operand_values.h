// Evaluation of an instruction's operands into their records.
#pragma once

#include "isa/operands.h"

namespace koral {

struct Assembly;

// Evaluates each operand's bit expression into its bit number and bit value
// kind, and its expression into value, scaled pair and value kind, keeping
// the widths the range checks need.  A floating result becomes an integer; a
// bit number outside 0..7 keeps its low three bits (warning 501 in the final
// pass); in pass 1 an invalid value counts as one the linker resolves, so
// that pass 1 never refuses an operand for a value not yet known.
void evaluate_operands(Assembly& a, Instruction& ins);

// Only the value and value kind of one operand, for a choice that needs no
// widths (the form of J in pass 2).
void evaluate_operand_value(Assembly& a, const Instruction& ins, OperandRecord& op);

}  // namespace koral
