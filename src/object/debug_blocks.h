// The debug blocks that full debug information (-g, -g0) puts before the
// assembler-information block: BB1 (types), BB3 (symbols and scopes) and BB5
// (line numbers).  The head of the object module calls this between the
// external part and the BB10 block; the records go through the object
// writer's record buffer, and every N index comes from the symbol table's
// public counter, which the BB10 block continues.
#pragma once

namespace koral {

struct Assembly;

void write_debug_blocks(Assembly& a);

}  // namespace koral
