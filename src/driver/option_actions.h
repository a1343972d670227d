// What each option does, for options on the command line, in command files
// and in option lines at the head of the source.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "driver/option_table.h"

namespace koral {

struct Assembly;

// Where an option finds a value written after it: the next command-line
// argument, or the next word of an option line.
struct OptionInput {
  bool option_line = false;
  const std::vector<std::string>* arguments = nullptr;  // command line
  std::size_t index = 0;                                // the option's argument
  std::string_view rest;                                // option line after the option
};

// Checks repetition and carries out the option's action.  On the command
// line a malformed option is fatal; in an option line it is an option-line
// diagnostic.  Returns false when the option line's option was rejected.
bool apply_option(Assembly& a, std::string_view text, const OptionMatch& match, OptionInput& input);

// Reads a -F option's number in the current notation; -1 when malformed.
long parse_fill_number(std::string_view text, bool suffix_notation);

}  // namespace koral
