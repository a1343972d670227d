// Command-line arguments, command files and option lines in the source.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace koral {

struct Assembly;

// Processes the arguments after the program name, then the final checks.
void process_arguments(Assembly& a, const std::vector<std::string>& arguments);

// Processes the text of one option line of the source.
void process_option_line(Assembly& a, std::string_view line);

}  // namespace koral
