// The handler table: one handler per statement kind, the same table for
// every pass (each handler branches on the pass number), and the handler of
// instruction statements.
#pragma once

#include <cstdint>

#include "source/statement_kinds.h"

namespace koral {

struct Assembly;

using StatementHandler = void (*)(Assembly& a);

// Runs the handler of a directive or control statement of `kind`; kinds
// without a handler do nothing.
void run_directive(Assembly& a, int32_t kind);

// Runs the instruction handler for the pass in hand.
void run_instruction(Assembly& a);

// True when `kind` has a handler.
bool has_directive_handler(int32_t kind);

}  // namespace koral
