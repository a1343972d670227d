// The koraldump program: options, reading the module file and choosing the
// dump.  Kept apart from main() so that tests run it in process.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace koraldump {

// Runs the program with its arguments (without the program name); returns
// the exit status: 0, 1 for a module that is not well formed or cannot be
// read, 2 for a wrong command line.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace koraldump
