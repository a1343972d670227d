// Relocatable expressions in the object module.  A tree whose value only the
// linker can compute is written in two stages: the tree becomes a postfix text
// (tokens separated by commas, numbers in hexadecimal, variables as a letter
// and an index, operators as a sign or an "@" name), and the text becomes the
// object bytes as it is appended to a record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "expr/expression.h"
#include "object/object_fields.h"

namespace koral {

struct Assembly;

// At most this many operator nodes in one written expression; one more ends
// the run with fatal 155.
constexpr int max_expression_operators = 5;

// Stage 1: the postfix text of `tree` (replacing `text`).  Constant subtrees
// are folded; SIZEOF / STARTOF of a section never defined report error 232.
void encode_expression(Assembly& a, ArenaRef tree, std::string& text);

// Stage 2: appends the bytes of postfix `text`.  A "P" variable (the load
// address) is followed by number(field_offset) and a minus when the offset is
// not 0, so that it stands for the address of the instruction.
void convert_expression(std::string_view text, uint32_t field_offset, ObjectBytes& out);

// Both stages: the bytes of `tree` appended to `out`.
void put_expression(Assembly& a, ArenaRef tree, uint32_t field_offset, ObjectBytes& out);

}  // namespace koral
