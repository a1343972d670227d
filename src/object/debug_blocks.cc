#include "object/debug_blocks.h"

namespace koral {

// The debug directives and the line-record file are not collected yet, so
// there is nothing to describe: the module carries only the BB10 block.
void write_debug_blocks(Assembly&) {}

}  // namespace koral
