// Reporting diagnostics.  Errors and warnings found before the final pass go
// to two temporary error files and are printed in the final pass, merged in
// source order with the final pass's own; fatal conditions are printed at
// once and end the run.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace koral {

struct Assembly;

struct PendingDiagnostic {
  int32_t code;
  std::string argument;
  bool has_argument;
  uint32_t file_index;
  int32_t line;
};

// Reads the records of one error file back in the final pass; the record read
// but not yet printed is held over for a later statement.
struct ErrorFileReader {
  bool held = false;       // `file_index`..`message` hold an unprinted record
  bool exhausted = false;  // the end of the file was reached
  int32_t file_index = 0;
  int32_t line = 0;
  int32_t code = 0;
  std::string message;
  std::vector<char> buffer;
  std::size_t position = 0;
  std::size_t length = 0;
};

struct Diagnostics {
  static constexpr std::size_t pending_room = 10;       // per statement, may grow
  static constexpr std::size_t max_option_lines = 100;
  static constexpr std::size_t err1_line_limit = 1535;
  static constexpr std::size_t err2_line_limit = 511;

  uint32_t error_count = 0;
  uint32_t warning_count = 0;

  // Per-statement report marks, cleared at the start of every statement.
  bool error_mark = false;
  bool warning_mark = false;
  bool direct_mark = false;
  bool option_line_mark = false;
  bool mismatch_reported = false;  // error 230 already reported in pass 1
  int warnings_muted = 0;          // a handler is evaluating a second time

  std::vector<PendingDiagnostic> pending;
  std::vector<int32_t> option_diagnostic_lines;
  bool command_line_pending = false;  // diagnostics without position not yet printed

  ErrorFileReader readers[2];  // pass-1 file, pass-2 file
  std::FILE* error_file = nullptr;
  std::string error_file_path;
};

// Error codes 200..300.  In pass 1, error 230 passes once per instruction; in
// pass 2 a statement already marked erroneous records nothing more.
void report_error(Assembly& a, int code);
void report_error(Assembly& a, int code, std::string_view argument);

// Warning codes 500..601, subject to -zc, -w, muting and the pass-2 rules.
void report_warning(Assembly& a, int code);
void report_warning(Assembly& a, int code, std::string_view argument);

// Fatal codes: prints at once and unwinds to the entry of the run.
[[noreturn]] void report_fatal(Assembly& a, int code);
[[noreturn]] void report_fatal(Assembly& a, int code, std::string_view argument);

// The parser's report of errors 203 and 208, without the filters above.
void direct_report(Assembly& a, int code, std::string_view argument);

// Diagnostics of option lines: code 0 means 200, -1 means 515.  At most one
// per line.
void option_line_report(Assembly& a, int code, std::string_view argument = {});

// Clears the per-statement report marks.
void begin_statement_marks(Assembly& a);

// Rewinds the error files at the start of the final pass (fatal 24 on failure).
void rewind_error_files(Assembly& a);

// Prints every diagnostic that belongs to the statement in hand: the pass-1
// records, the pass-2 records, then the final pass's pending list.
void print_statement_diagnostics(Assembly& a);

// Prints the diagnostics recorded before pass 1 that have no source position.
void print_command_line_diagnostics(Assembly& a);

// Prints every record left in the error files, at the end of the final pass,
// so that nothing recorded is ever lost.
void print_remaining_diagnostics(Assembly& a);

// Prints one error or warning to the listing, the error file and standard
// error, and counts it.
void print_one_diagnostic(Assembly& a, int code, std::string_view message, uint32_t file_index,
                          int32_t line);

// The summary lines at the end of the listing.
void write_listing_summary(Assembly& a);

}  // namespace koral
