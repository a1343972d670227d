#include "driver/option_table.h"

namespace koral {

namespace {

constexpr std::string_view table[option_count] = {
    "-e",    "-f",    "-g",   "-H",   "-I",   "-lsxf", "-lxsf", "-lsf", "-lsxp", "-lxsp", "-lsp",
    "-lsxw", "-lxsw", "-lsw", "-lsx", "-lxs", "-ls",   "-lxf",  "-lxp", "-lxw",  "-lx",   "-lf",
    "-lp",   "-lw",   "-l",   "-o",   "-O",   "-V",    "-w",    "-Xt",  "-$",    "-XE",   "-T",
    "-J",    "-zr",   "-GN",  "-xx",  "-zc",  "-zd",   "-Fa",   "-Fc",  "-Fd",   "-Fr",   "-Nc",
};

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool starts_with(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::string_view option_text(OptionId id) { return table[id]; }

bool is_listing_form(OptionId id) { return id >= option_lsxf && id <= option_l; }

OptionMatch match_option(std::string_view argument) {
  char second = argument.size() > 1 ? argument[1] : '\0';
  char third = argument.size() > 2 ? argument[2] : '\0';
  bool value_prefix = second == 'f' || second == 'o' || second == 'e' || second == 'I' || second == 'F';
  for (int i = 0; i < option_count; ++i) {
    OptionId id = static_cast<OptionId>(i);
    std::string_view entry = table[i];
    if (argument == entry) return {id, {}, false};
    if (!starts_with(argument, entry)) continue;
    std::string_view rest = argument.substr(entry.size());
    if (value_prefix) return {id, rest, true};
    char last = entry.back();
    if (second == 'l' && (last == 'p' || last == 'w' || last == 'x') && is_digit(rest[0]))
      return {id, rest, true};
    // -O, -w and -g take digits right after the letter.
    if (is_digit(third) && entry.size() == 2 && (second == 'O' || second == 'w' || second == 'g'))
      return {id, rest, true};
  }
  if (argument.size() == 4 && starts_with(argument, "-Nc") && is_digit(argument[3]))
    return {option_Nc, argument.substr(3), true};
  return {};
}

}  // namespace koral
