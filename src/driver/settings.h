// The option flags word and the settings that options give a run.  They are
// set from the command line, command files and option lines at the head of
// the source, and read by every later stage of the run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace koral {

// Bits of the option flags word.
enum OptionBit : uint32_t {
  opt_error_file = 0x1,           // -e: diagnostics also go to the error file
  opt_debug = 0x4,                // -g, -g0: debug line information
  opt_suffix_numbers = 0x8,       // -H: radix-suffix notation for numbers
  opt_include_dirs = 0x10,        // -I: an include directory was given
  opt_object_name = 0x20,         // -o: object file name given
  opt_long_forward_jumps = 0x40,  // -O, -O0: forward jumps are not shortened
  opt_version = 0x80,             // -V: banner even with -$
  opt_no_warnings = 0x100,        // -w, -w0
  opt_no_object = 0x200,          // -Xt
  opt_no_banner = 0x400,          // -$
  opt_no_escapes = 0x800,         // -XE: backslash is an ordinary character
  opt_any_characters = 0x1000,    // -J: control and 8-bit characters accepted
  opt_listing = 0x2000,           // any -l form
  opt_page_length = 0x4000,       // -l..p<n>
  opt_no_symbol_table = 0x8000,   // -l..s
  opt_page_width = 0x10000,       // -l..w<n>
  opt_cross_reference = 0x20000,  // -l..x
  opt_default_listing = 0x40000,  // plain -l
  opt_no_titles = 0x80000,        // -T: $TITLE ignored
  opt_keep_object = 0x100000,     // -zr: keep the object file after errors
  opt_shown_name = 0x200000,      // -GN: name shown in diagnostics
  opt_debug_second_form = 0x400000,  // -g1
  opt_quiet_warnings = 0x1000000,    // -zc: warnings 501, 505, 513, 517, 518 dropped
  opt_temp_on_disk = 0x2000000,      // -zd: temporary files on disk
  opt_environment_args = 0x4000000,  // first argument -z@
  opt_model_level = 0x8000000,       // -Nc<d>: model level set
};

// Fill selection bits of the -F options.
enum FillKind : uint32_t { fill_code = 2, fill_data = 4, fill_rodata = 8, fill_all = 14 };

struct Settings {
  static constexpr std::size_t max_name = 259;       // longest file name
  static constexpr int max_include_dirs = 49;        // besides the source directory

  std::string source_name;       // as given
  std::string error_file_name;   // -e
  std::string object_name;       // -o, or derived from the source name
  std::string listing_name;      // -lf, or derived from the source name
  std::string command_file_name; // -f
  std::string shown_name;        // -GN
  // Include search list; entry 0 is the source file's directory.
  std::vector<std::string> include_dirs{std::string()};

  int32_t page_length = 65535;   // 33..65535
  int32_t page_width = 256;      // 72..256
  bool sorted_symbols = true;
  int32_t model_level = 1;       // 0..3

  uint32_t fill_selection = 0;   // FillKind bits
  bool fill_all_value_set = false;
  uint8_t fill_all_value = 0;
  uint8_t fill_code_value = 0;
  uint8_t fill_data_value = 255;
  uint8_t fill_rodata_value = 255;

  uint64_t options_seen = 0;     // bit n: option table entry n was given

  // First-wins markers of -g, -O and -w: the form first seen, or 0.
  char debug_form = 0;
  char optimize_form = 0;
  char warning_form = 0;
};

}  // namespace koral
