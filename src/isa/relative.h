// Relative fields: the targets of JRS, JR and the short forms of J become
// displacements from the instruction, or, when only the linker can place
// them, relocated items.
#pragma once

#include <cstdint>

#include "isa/operands.h"

namespace koral {

struct Assembly;

// The bytes between the instruction's address and the point a displacement
// counts from: 3 for JR form 1 and J forms 4 and 8, else 2.
int32_t relative_adjustment(int32_t mnemonic, int32_t form);

// Whether the target goes to the linker: an external or other-section target,
// or an absolute target from a relocatable section.  A target in the current
// relocatable section, or any but an external one in an absolute section, is
// a displacement computed at once.
bool relative_field_relocated(const Assembly& a, const OperandRecord& target);

// Replaces the value of every relative target (field types 6 and 7) that is
// not relocated by its displacement: target − location − adjustment.  Called
// once after each evaluation of the operands.
void prepare_relative_fields(Assembly& a, Instruction& ins);

}  // namespace koral
