// Type numbers of the debug directives and the TY record groups of SYMBOL_T,
// kept for the BB1 block.
#pragma once

#include <cstdint>
#include <vector>

#include "source/statement.h"

namespace koral {

struct Assembly;

// The type index of a source type number.  0..16 and 29..32 are fixed;
// 17..28 (pointers) and 33..44 (other pointers) are defined by a group of
// their own on first use; any other number takes the next user index (from
// 256) on first use and keeps it for the run.
uint32_t map_type(Assembly& a, int32_t number);

// SYMBOL_T: `number` is the declared type number; `list` holds the type
// letter (a name node), the type name (a string) and the further operands.
// Builds the statement's groups; false (and no group) when an operand does
// not fit the letter.
bool define_type(Assembly& a, int32_t number, const std::vector<DebugTypeNode>& list);

// The flag value of a procedure type letter word ("x" and its attribute
// letters), or -1 when the word is not one.
int32_t procedure_flags(std::string_view word);

}  // namespace koral
