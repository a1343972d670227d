// The option table and the matching of one argument against it.
#pragma once

#include <string_view>

namespace koral {

enum OptionId : int {
  option_e, option_f, option_g, option_H, option_I,
  option_lsxf, option_lxsf, option_lsf, option_lsxp, option_lxsp, option_lsp, option_lsxw,
  option_lxsw, option_lsw, option_lsx, option_lxs, option_ls, option_lxf, option_lxp, option_lxw,
  option_lx, option_lf, option_lp, option_lw, option_l,
  option_o, option_O, option_V, option_w, option_Xt, option_dollar, option_XE, option_T, option_J,
  option_zr, option_GN, option_xx, option_zc, option_zd, option_Fa, option_Fc, option_Fd, option_Fr,
  option_Nc,
  option_count,
  no_option = -1
};

// The text of an option as written in the table ("-lsxf", "-$", ...).
std::string_view option_text(OptionId id);

// True for the -l forms, which may be repeated freely (as may -I).
bool is_listing_form(OptionId id);

struct OptionMatch {
  OptionId id = no_option;
  std::string_view value;  // the attached value, if any
  bool attached = false;   // a value was attached to the option
};

// Matches an argument that begins with "-" against the table, entry by entry
// in table order; the first entry that matches wins.
OptionMatch match_option(std::string_view argument);

}  // namespace koral
