// One assembly run from its arguments to its exit status.
#pragma once

namespace koral {

struct Assembly;

// Exit statuses.
enum ExitStatus : int {
  exit_ok = 0,
  exit_errors = 16,
  exit_command_line = 128,
  exit_files = 176,
  exit_internal = 192,
};

// Runs the assembler over `argv` (program name first) and returns the exit
// status.  Every file the run creates is closed; temporary files are removed
// on every path out.
int run_assembler(int argc, char** argv);

// The same run on an Assembly the caller owns (tests inspect it afterwards).
int run_assembler(Assembly& a, int argc, char** argv);

}  // namespace koral
