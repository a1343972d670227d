#include "driver/option_actions.h"

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "driver/files.h"

namespace koral {

namespace {

constexpr std::size_t max_fill_number = 100;

struct Context {
  Assembly& a;
  std::string_view text;  // the option as written
  const OptionMatch& match;
  OptionInput& input;
  bool first_time;        // the option had not been given before
};

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool seen(const Assembly& a, OptionId id) { return (a.settings.options_seen >> id) & 1; }

// A malformed option: fatal on the command line, an option-line diagnostic
// (the rest of the option skipped) in the source.
bool malformed(Context& c, int code, std::string_view argument = {}) {
  if (!c.input.option_line) {
    if (argument.empty()) report_fatal(c.a, code);
    report_fatal(c.a, code, argument);
  }
  option_line_report(c.a, 0);
  return false;
}

// An option refused for a conflict or repetition: silent or warning 515 on
// the command line, always warning 515 in an option line.
bool refused(Context& c, bool warn_on_command_line) {
  if (c.input.option_line)
    option_line_report(c.a, -1);
  else if (warn_on_command_line)
    report_warning(c.a, 515);
  return false;
}

// The value written as the next argument (or next word of an option line).
bool next_value(Context& c, std::string& value) {
  OptionInput& in = c.input;
  if (in.option_line) {
    std::string_view& rest = in.rest;
    std::size_t at = 0;
    while (at < rest.size() && (rest[at] == ' ' || rest[at] == '\t')) ++at;
    std::size_t end = at;
    while (end < rest.size() && rest[end] != ' ' && rest[end] != '\t' && rest[end] != ';') ++end;
    if (end == at || rest[at] == '-') return malformed(c, 0);
    value.assign(rest.substr(at, end - at));
    rest.remove_prefix(end);
    return true;
  }
  const std::vector<std::string>& args = *in.arguments;
  if (in.index + 1 >= args.size()) report_fatal(c.a, 106, c.text);
  const std::string& next = args[in.index + 1];
  if (!next.empty() && next[0] == '-') {
    if (next != "--" || in.index + 2 >= args.size()) report_fatal(c.a, 105);
    value = args[in.index + 2];
    in.index += 2;
    return true;
  }
  value = next;
  in.index += 1;
  return true;
}

// A file-name value, attached (command line only) or following.
bool file_value(Context& c, std::string& value) {
  if (c.match.attached) {
    if (c.input.option_line) return malformed(c, 0);
    value.assign(c.match.value);
  } else if (!next_value(c, value)) {
    return false;
  }
  if (!valid_file_name(value) || value.size() > Settings::max_name) return malformed(c, 101);
  return true;
}

bool set_bits(Context& c, uint32_t bits) {
  c.a.run.options |= bits;
  return true;
}

// --- actions ---------------------------------------------------------------------

bool action_e(Context& c) {
  std::string name;
  if (!file_value(c, name)) return false;
  Settings& s = c.a.settings;
  if (!s.error_file_name.empty()) return refused(c, false);
  s.error_file_name = name;
  return set_bits(c, opt_error_file);
}

bool action_f(Context& c) {
  if (c.input.option_line) {
    c.input.rest = {};
    return refused(c, false);
  }
  report_fatal(c.a, 111);
}

// -g, -O and -w: no digit or 0, the digit 1, anything else fatal 105; only the
// first form given counts.
bool first_wins(Context& c, char& marker, uint32_t bit_for_0, uint32_t bit_for_1, bool one_clears) {
  std::string_view value = c.match.value;
  if (c.match.attached && value != "0" && value != "1") return malformed(c, 105, value);
  if (marker) return refused(c, false);
  marker = c.match.attached ? value[0] : '-';
  if (c.match.attached && value == "1") {
    if (one_clears)
      c.a.run.options &= ~bit_for_0;
    else
      c.a.run.options |= bit_for_1;
  } else {
    c.a.run.options |= bit_for_0;
  }
  return true;
}

bool action_g(Context& c) {
  return first_wins(c, c.a.settings.debug_form, opt_debug, opt_debug_second_form, false);
}
bool action_O(Context& c) {
  return first_wins(c, c.a.settings.optimize_form, opt_long_forward_jumps, 0, true);
}
bool action_w(Context& c) { return first_wins(c, c.a.settings.warning_form, opt_no_warnings, 0, true); }

bool action_I(Context& c) {
  std::string directory;
  if (c.match.attached) {
    if (c.input.option_line) return malformed(c, 0);
    directory.assign(c.match.value);
  } else if (!next_value(c, directory)) {
    return false;
  }
  add_include_directory(c.a, directory);
  return true;
}

// Digits of a -l p or w number: at most 40 are taken, the first `counted` count.
bool listing_number(Context& c, std::size_t counted, long& number) {
  std::string_view value = c.match.value;
  std::size_t digits = 0;
  while (digits < value.size() && is_digit(value[digits])) ++digits;
  if (digits == 0 || digits > 40 || digits < value.size()) return malformed(c, 105);
  number = 0;
  for (std::size_t i = 0; i < digits && i < counted; ++i) number = number * 10 + (value[i] - '0');
  return true;
}

long clamp(long value, long low, long high) { return value < low ? low : value > high ? high : value; }

bool action_listing(Context& c) {
  Assembly& a = c.a;
  Settings& s = a.settings;
  std::string_view letters = option_text(c.match.id).substr(2);
  if (letters.empty()) {  // plain -l
    if (!a.option(opt_page_length) && !a.option(opt_no_symbol_table)) a.run.options |= opt_default_listing;
    return set_bits(c, opt_listing);
  }
  char last = letters.back();
  if (last == 'x' && c.match.attached && c.match.value != "0" && c.match.value != "1")
    return malformed(c, 105);
  if ((last == 'p' || last == 'w') && !c.match.attached) return malformed(c, 107);
  bool ok = true;
  for (char letter : letters) {
    switch (letter) {
      case 's':
        if (a.option(opt_default_listing) || a.option(opt_cross_reference)) {
          ok = refused(c, false);
          break;
        }
        a.run.options |= opt_listing | opt_no_symbol_table;
        s.sorted_symbols = false;
        break;
      case 'x':
        if (a.option(opt_no_symbol_table)) {
          ok = refused(c, false);
          break;
        }
        a.run.options |= opt_listing | opt_cross_reference;
        break;
      case 'p': {
        long number;
        if (!listing_number(c, 6, number)) return false;
        if (a.option(opt_page_length) || a.option(opt_default_listing)) {
          ok = refused(c, false);
          break;
        }
        s.page_length = static_cast<int32_t>(clamp(number, 33, 65535));
        a.run.options |= opt_listing | opt_page_length;
        break;
      }
      case 'w': {
        long number;
        if (!listing_number(c, 4, number)) return false;
        if (a.option(opt_page_width)) {
          ok = refused(c, false);
          break;
        }
        s.page_width = static_cast<int32_t>(clamp(number, 72, 256));
        a.run.options |= opt_listing | opt_page_width;
        break;
      }
      case 'f': {
        std::string name;
        if (!next_value(c, name)) return false;
        if (!valid_file_name(name) || name.size() > Settings::max_name) return malformed(c, 101);
        if (!s.listing_name.empty()) {
          ok = refused(c, false);
          break;
        }
        s.listing_name = name;
        a.run.options |= opt_listing;
        break;
      }
    }
  }
  return ok;
}

bool action_o(Context& c) {
  std::string name;
  if (!file_value(c, name)) return false;
  if (c.a.option(opt_no_object)) return refused(c, true);
  if (c.a.option(opt_object_name)) return refused(c, false);
  c.a.settings.object_name = name;
  return set_bits(c, opt_object_name);
}

bool action_Xt(Context& c) {
  if (c.a.option(opt_object_name)) return refused(c, true);
  return set_bits(c, opt_no_object);
}

bool action_GN(Context& c) {
  std::string name;
  if (!next_value(c, name)) return false;
  if (name.size() > Settings::max_name) return malformed(c, 101);
  Settings& s = c.a.settings;
  if (!s.shown_name.empty()) return refused(c, false);
  s.shown_name = name;
  return set_bits(c, opt_shown_name);
}

bool action_zd(Context& c) {
  Assembly& a = c.a;
  a.run.options |= opt_temp_on_disk;
  a.temps.use_disk(true);
  if (c.input.option_line && !a.temps.open(TempKind::token)) report_fatal(a, 20, "tokenfile");
  return true;
}

bool action_xx(Context& c) { return malformed(c, 109, c.text); }

// A -F number: malformed is fatal 105 on the command line and an option-line
// diagnostic in the source; above 255 it is fatal 105 everywhere.
bool fill_number(Context& c, long& number) {
  number = parse_fill_number(c.match.value, c.a.option(opt_suffix_numbers));
  if (number < 0) return malformed(c, 105);
  if (number > 255) report_fatal(c.a, 105);
  return true;
}

bool action_Fa(Context& c) {
  Settings& s = c.a.settings;
  long number = -1;
  if (c.match.attached && !fill_number(c, number)) return false;
  if (s.fill_all_value_set) return true;
  for (OptionId earlier : {option_Fc, option_Fd, option_Fr}) {
    if (!seen(c.a, earlier)) continue;
    if (c.input.option_line)
      option_line_report(c.a, 519, option_text(earlier));
    else
      report_warning(c.a, 519, option_text(earlier));
  }
  s.fill_selection = fill_all;
  s.fill_code_value = 0;
  s.fill_data_value = 255;
  s.fill_rodata_value = 255;
  if (number >= 0) {
    s.fill_all_value = static_cast<uint8_t>(number);
    s.fill_all_value_set = true;
  }
  return true;
}

// -Fc, -Fd, -Fr: ignored with warning 519 after -Fa, else applied the first time.
bool fill_kind(Context& c, uint32_t kind, uint8_t& value, long absent) {
  if (seen(c.a, option_Fa)) {
    if (c.input.option_line)
      option_line_report(c.a, 519, option_text(c.match.id));
    else
      report_warning(c.a, 519, option_text(c.match.id));
    return true;
  }
  if (!c.first_time) return true;
  long number = absent;
  if (c.match.attached && !fill_number(c, number)) return false;
  c.a.settings.fill_selection |= kind;
  value = static_cast<uint8_t>(number);
  return true;
}

bool action_Fc(Context& c) { return fill_kind(c, fill_code, c.a.settings.fill_code_value, 0); }
bool action_Fd(Context& c) { return fill_kind(c, fill_data, c.a.settings.fill_data_value, 255); }
bool action_Fr(Context& c) { return fill_kind(c, fill_rodata, c.a.settings.fill_rodata_value, 255); }

bool action_Nc(Context& c) {
  Assembly& a = c.a;
  if (!c.match.attached) {
    if (c.input.option_line) return refused(c, false);
    report_fatal(a, 106, "-Nc");
  }
  char digit = c.match.value[0];
  char lowest = c.input.option_line ? '0' : '1';
  if (digit < lowest || digit > '3') {
    if (c.input.option_line) return refused(c, false);
    report_fatal(a, 109, "-Nc");
  }
  if (a.option(opt_model_level)) return c.input.option_line ? refused(c, false) : true;
  a.settings.model_level = digit - '0';
  return set_bits(c, opt_model_level);
}

bool action_H(Context& c) { return set_bits(c, opt_suffix_numbers); }
bool action_V(Context& c) { return set_bits(c, opt_version); }
bool action_dollar(Context& c) { return set_bits(c, opt_no_banner); }
bool action_XE(Context& c) { return set_bits(c, opt_no_escapes); }
bool action_T(Context& c) { return set_bits(c, opt_no_titles); }
bool action_J(Context& c) { return set_bits(c, opt_any_characters); }
bool action_zr(Context& c) { return set_bits(c, opt_keep_object); }
bool action_zc(Context& c) { return set_bits(c, opt_quiet_warnings); }

using Action = bool (*)(Context&);

constexpr Action actions[option_count] = {
    action_e,       action_f,       action_g,       action_H,       action_I,
    action_listing, action_listing, action_listing, action_listing, action_listing,
    action_listing, action_listing, action_listing, action_listing, action_listing,
    action_listing, action_listing, action_listing, action_listing, action_listing,
    action_listing, action_listing, action_listing, action_listing, action_listing,
    action_o,       action_O,       action_V,       action_w,       action_Xt,
    action_dollar,  action_XE,      action_T,       action_J,       action_zr,
    action_GN,      action_xx,      action_zc,      action_zd,      action_Fa,
    action_Fc,      action_Fd,      action_Fr,      action_Nc,
};

int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// Digits in `radix`, saturating above 255 so that any large number stays large.
long digits_in_radix(std::string_view digits, int radix) {
  if (digits.empty()) return -1;
  long value = 0;
  for (char ch : digits) {
    int d = digit_value(ch);
    if (d >= radix) return -1;
    value = value * radix + d;
    if (value > 0xFFFF) value = 0xFFFF;
  }
  return value;
}

}  // namespace

long parse_fill_number(std::string_view text, bool suffix_notation) {
  if (text.empty() || text.size() > max_fill_number) return -1;
  if (!suffix_notation) {
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
      return digits_in_radix(text.substr(2), 16);
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'y' || text[1] == 'Y'))
      return digits_in_radix(text.substr(2), 2);
    if (text[0] == '0') return text.size() == 1 ? 0 : digits_in_radix(text.substr(1), 8);
    return digits_in_radix(text, 10);
  }
  char suffix = text.back();
  std::string_view digits = text.substr(0, text.size() - 1);
  switch (suffix) {
    case 'H': case 'h': return is_digit(text[0]) ? digits_in_radix(digits, 16) : -1;
    case 'O': case 'o': case 'Q': case 'q': return digits_in_radix(digits, 8);
    case 'B': case 'b': return digits_in_radix(digits, 2);
    case 'D': case 'd': return digits_in_radix(digits, 10);
    default: return digits_in_radix(text, 10);
  }
}

bool apply_option(Assembly& a, std::string_view text, const OptionMatch& match, OptionInput& input) {
  if (match.id == no_option) {
    Context c{a, text, match, input, false};
    return malformed(c, 109, text);
  }
  bool first_time = !seen(a, match.id);
  Context c{a, text, match, input, first_time};
  if (match.id != option_I && !is_listing_form(match.id) && match.id != option_xx) {
    if (!first_time) refused(c, true);  // and it is processed again all the same
    a.settings.options_seen |= uint64_t(1) << match.id;
  }
  return actions[match.id](c);
}

}  // namespace koral
