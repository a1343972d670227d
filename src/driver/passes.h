// The passes of a run over the source and the token file.
#pragma once

namespace koral {

struct Assembly;

// Reads the option lines at the head of the source (before pass 1).
void prescan_option_lines(Assembly& a);

// State reset at the start of pass 1, of every pass-2 iteration and of the
// final pass.
void reset_pass_state(Assembly& a);

void run_pass_one(Assembly& a);
void run_pass_two(Assembly& a);
void run_final_pass(Assembly& a);

}  // namespace koral
