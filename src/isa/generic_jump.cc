// Placeholder of the jump optimisation: until the form choice of J and CAL is
// written, a source that uses them ends the run with an internal error
// instead of being assembled wrongly.
#include "isa/generic_jump.h"

#include "diag/diagnostics.h"

namespace koral {

void generic_jump_pass_one(Assembly& a, Instruction&) { report_fatal(a, 150); }
void generic_jump_pass_two(Assembly& a, Instruction&) { report_fatal(a, 150); }
void generic_jump_final_pass(Assembly& a, Instruction&) { report_fatal(a, 150); }

}  // namespace koral
