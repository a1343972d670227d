// The symbol and scope records that SYMBOL_A, SYMBOL_B and SYMBOL_N build in
// pass 1 for the BB3 block, and the locations the later passes give them.
//
// SYMBOL_A "text", class, type, value: the class picks the builder:
//   0        a declaration without storage: storage kind 4, module list
//   1        an automatic variable at frame offset `value`: kind 1
//   2        a register variable in register `value`: kind 2; a value of
//            256 or more is a register parameter with a home slot (register
//            in the low byte, frame offset above it): kind 1, second form
//   3        a static variable at the statement's location: kind 3
//   4        an external declaration: kind 4, module list
//   5, 8     a global variable at the statement's location: storage class 8
//            in the module list; with class 5 the label of the same name is
//            described here only (left out of BB10, referred to by section
//            and offset)
//   6, 7     a module-level record of that class without a value
//   9        a code label at the statement's location: kind 9
//   10       a variable at the fixed address `value`: kind 10, static inside
//            a scope, global outside
//   16       a constant: the class-16 form, module list
//   51       a frame description of the enclosing function: the class-51
//            form with `value`
//   54       the tool identification: `type` is the tool number, `value` the
//            further value, the text the version
// Records of kinds 1, 2, 3, 9, 10 and class 51 belong to the innermost open
// scope (the module list when none is open).  Other classes are ignored.
//
// SYMBOL_B "name", open, first, type: an odd `open` opens a function scope
// at the location, an even one closes the innermost (error 200 when none is
// open).
//
// SYMBOL_N "name", type, class, value: classes 1..10 give the storage kind
// of the same number (8: global with an address), 16 and 51 their forms,
// others a record of their class without a value.
#pragma once

#include <cstdint>
#include <string_view>

#include "object/debug_info.h"

namespace koral {

struct Assembly;

// Pass 1.  Each returns the record or scope it made (-1 for none); that is
// what the statement keeps for the later passes.
int32_t describe_symbol_a(Assembly& a, std::string_view text, int32_t storage_class, int32_t type,
                          int32_t value);
int32_t describe_scope(Assembly& a, std::string_view name, int32_t open, int32_t first, int32_t type);
void describe_symbol_n(Assembly& a, std::string_view name, int32_t type, int32_t storage_class,
                       int32_t value);

// Passes 2 and 3: the statement's location again.
void locate_symbol_a(Assembly& a, uint32_t record);
void locate_scope(Assembly& a, uint32_t scope, bool closing);

// The location counter of the current section, rounded up to its alignment
// unit when `aligned`.
DebugLocation location_here(const Assembly& a, bool aligned);

}  // namespace koral
