// The encoders: each form's encoder number fixes the order of its opcode
// bytes and of its operands' fields.  Encoding fills the code buffer and
// records every relocatable field of the instruction.
#pragma once

#include "isa/operands.h"

namespace koral {

struct Assembly;

// Empties the code buffer and the field records before a statement.
void begin_encoding(Assembly& a);

// Lays out the instruction with its chosen form into the code buffer; the
// relocatable fields (offset, width, template) and the last byte of each
// operand go to the encoder state.  Relative targets must already be
// displacements (prepare_relative_fields).  In the final pass the fields are
// range-checked again and what does not fit is reported.
void encode_instruction(Assembly& a, const Instruction& ins);

// The bytes of an erroneous statement: as many zero bytes as its form has
// opcode bytes.
void encode_zero_bytes(Assembly& a, const Instruction& ins);

}  // namespace koral
