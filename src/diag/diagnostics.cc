#include "diag/diagnostics.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "diag/messages.h"
#include "driver/assembly.h"
#include "driver/banner.h"

namespace koral {

namespace {

constexpr int err1 = 0;
constexpr int err2 = 1;

TempKind error_file_kind(int which) { return which == err1 ? TempKind::err1 : TempKind::err2; }

uint32_t current_file_index(const Assembly& a) { return a.sources.current; }
int32_t current_line(const Assembly& a) { return a.sources.current_line(); }

// Appends one "file,line,code,message" record to an error file, creating the
// file on first use.
void write_record(Assembly& a, int which, int32_t file_index, int32_t line, int code,
                  std::string_view message) {
  TempKind kind = error_file_kind(which);
  TempFile& file = a.temps[kind];
  if (!file.is_open() && !a.temps.open(kind)) report_fatal(a, 20, a.temps.label(kind));
  char head[48];
  int head_length = std::snprintf(head, sizeof head, "%d,%d,%d,", file_index, line, code);
  std::string record(head, static_cast<std::size_t>(head_length));
  record.append(message);
  record.push_back('\n');
  if (file.write(record.data(), record.size()) != static_cast<long>(record.size())) {
    if (a.option(opt_temp_on_disk)) report_fatal(a, 23, a.temps.label(kind));
    report_fatal(a, 161);
  }
}

void record_diagnostic(Assembly& a, int code, std::string_view argument, bool has_argument) {
  if (a.run.pass == pass_final) {
    a.diag.pending.push_back(PendingDiagnostic{code, std::string(argument), has_argument,
                                               current_file_index(a), current_line(a)});
    return;
  }
  int32_t file_index = 0;
  int32_t line = 0;
  if (a.run.pass == pass_options) {
    a.diag.command_line_pending = true;
  } else {
    file_index = static_cast<int32_t>(current_file_index(a));
    line = current_line(a);
  }
  write_record(a, a.run.pass == pass_two ? err2 : err1, file_index, line, code,
               format_message(code, argument));
}

void error(Assembly& a, int code, std::string_view argument, bool has_argument) {
  Diagnostics& d = a.diag;
  bool record = true;
  if (a.run.pass == pass_one && code == 230) {
    record = !d.mismatch_reported;
    d.mismatch_reported = true;
  }
  if (a.run.pass == pass_two && d.error_mark) record = false;
  if (record) record_diagnostic(a, code, argument, has_argument);
  d.error_mark = true;
}

bool quieted_by_zc(int code) {
  return code == 501 || code == 505 || code == 513 || code == 517 || code == 518;
}

void warning(Assembly& a, int code, std::string_view argument, bool has_argument) {
  if (a.option(opt_quiet_warnings) && quieted_by_zc(code)) return;
  if (a.run.pass == pass_two && a.run.iteration > 0 && code != 503) return;
  if (!a.option(opt_no_warnings) && a.diag.warnings_muted == 0)
    record_diagnostic(a, code, argument, has_argument);
  a.diag.warning_mark = true;
}

// Reads the next record of an error file into its reader; false at the end.
bool read_record(Assembly& a, int which) {
  ErrorFileReader& r = a.diag.readers[which];
  TempFile& file = a.temps[error_file_kind(which)];
  if (r.exhausted || !file.is_open()) {
    r.exhausted = true;
    return false;
  }
  std::string line;
  for (;;) {
    if (r.position == r.length) {
      if (r.buffer.empty()) r.buffer.resize(4096);
      long got = file.read(r.buffer.data(), r.buffer.size());
      if (got <= 0) break;
      r.position = 0;
      r.length = static_cast<std::size_t>(got);
    }
    const char* start = r.buffer.data() + r.position;
    const void* newline = std::memchr(start, '\n', r.length - r.position);
    std::size_t take = newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - start)
                               : r.length - r.position;
    line.append(start, take);
    r.position += take;
    if (newline) {
      ++r.position;
      break;
    }
  }
  if (line.empty() && r.position == r.length) {
    r.exhausted = true;
    return false;
  }
  std::size_t limit = which == err1 ? Diagnostics::err1_line_limit : Diagnostics::err2_line_limit;
  if (line.size() > limit) line.resize(limit);
  int consumed = 0;
  if (std::sscanf(line.c_str(), "%d,%d,%d,%n", &r.file_index, &r.line, &r.code, &consumed) < 3 ||
      consumed == 0) {
    r.exhausted = true;  // not a record of ours: nothing more can be merged
    return false;
  }
  r.message.assign(line, static_cast<std::size_t>(consumed), std::string::npos);
  r.held = true;
  return true;
}

// Prints the records of one error file that belong to the statement in hand
// (or, with `everything`, all that are left).
void print_error_file_records(Assembly& a, int which, bool everything) {
  ErrorFileReader& r = a.diag.readers[which];
  for (;;) {
    if (!r.held && !read_record(a, which)) return;
    bool belongs = everything || (static_cast<uint32_t>(r.file_index) == current_file_index(a) &&
                                  r.line == current_line(a));
    if (which == err1 && r.line == 0 &&
        (a.diag.command_line_pending || (!a.run.end_processed && a.run.statement_count == 0)))
      belongs = true;
    if (!belongs) return;
    r.held = false;
    print_one_diagnostic(a, r.code, r.message, static_cast<uint32_t>(r.file_index), r.line);
  }
}

const std::string& shown_file_name(const Assembly& a, uint32_t file_index) {
  static const std::string none;
  if (a.option(opt_shown_name)) return a.settings.shown_name;
  if (file_index < a.sources.files.size()) return a.sources.files[file_index].name;
  return none;
}

}  // namespace

void report_error(Assembly& a, int code) { error(a, code, {}, false); }
void report_error(Assembly& a, int code, std::string_view argument) { error(a, code, argument, true); }
void report_warning(Assembly& a, int code) { warning(a, code, {}, false); }
void report_warning(Assembly& a, int code, std::string_view argument) {
  warning(a, code, argument, true);
}

void direct_report(Assembly& a, int code, std::string_view argument) {
  if (a.run.pass == pass_final) {
    print_one_diagnostic(a, code, format_message(code, argument), current_file_index(a),
                         current_line(a));
  } else {
    write_record(a, a.run.pass == pass_two ? err2 : err1,
                 static_cast<int32_t>(current_file_index(a)), current_line(a), code,
                 format_message(code, argument));
  }
  a.diag.direct_mark = true;
}

void option_line_report(Assembly& a, int code, std::string_view argument) {
  Diagnostics& d = a.diag;
  if (d.option_line_mark) return;
  if (code == 0) code = 200, argument = {};
  if (code == -1) code = 515, argument = {};
  int32_t line = current_line(a);
  if (d.option_diagnostic_lines.size() < Diagnostics::max_option_lines)
    d.option_diagnostic_lines.push_back(line);
  d.option_line_mark = true;
  write_record(a, err1, static_cast<int32_t>(current_file_index(a)), line, code,
               format_message(code, argument));
}

void begin_statement_marks(Assembly& a) {
  a.diag.error_mark = a.diag.warning_mark = a.diag.direct_mark = a.diag.option_line_mark = false;
}

void rewind_error_files(Assembly& a) {
  for (int which : {err1, err2}) {
    TempKind kind = error_file_kind(which);
    ErrorFileReader& r = a.diag.readers[which];
    r = ErrorFileReader{};
    if (!a.temps[kind].is_open()) continue;
    if (a.temps[kind].seek(0, seek_start) != 0) report_fatal(a, 24, a.temps.label(kind));
  }
}

void print_statement_diagnostics(Assembly& a) {
  print_error_file_records(a, err1, false);
  print_error_file_records(a, err2, false);
  std::vector<PendingDiagnostic> pending;
  pending.swap(a.diag.pending);
  for (const PendingDiagnostic& p : pending)
    print_one_diagnostic(a, p.code, format_message(p.code, p.argument), p.file_index, p.line);
}

void print_command_line_diagnostics(Assembly& a) {
  if (!a.diag.command_line_pending) return;
  print_error_file_records(a, err1, false);
  a.diag.command_line_pending = false;
}

void print_remaining_diagnostics(Assembly& a) {
  print_error_file_records(a, err1, true);
  print_error_file_records(a, err2, true);
}

void print_one_diagnostic(Assembly& a, int code, std::string_view message, uint32_t file_index,
                          int32_t line) {
  const char* word;
  if (code < 500) {
    word = "Error";
    ++a.diag.error_count;
  } else {
    word = "Warning";
    ++a.diag.warning_count;
  }
  std::string text;
  if (line != 0) {
    text = shown_file_name(a, file_index);
    char number[32];
    std::snprintf(number, sizeof number, " %" PRId32 " : ", line);
    text += number;
  }
  char head[64];
  std::snprintf(head, sizeof head, "%s-%s-%3d : ", program_name, word, code);
  text += head;
  text.append(message);

  if (a.listing.file) {
    account_line(a);
    listing_write(a, text + "\r\n");
  }
  if (a.diag.error_file) {
    std::string line_text = text + "\r\n";
    if (std::fwrite(line_text.data(), 1, line_text.size(), a.diag.error_file) != line_text.size())
      report_fatal(a, 23, a.settings.error_file_name);
  }
  std::fflush(stdout);
  text.push_back('\n');
  std::fwrite(text.data(), 1, text.size(), stderr);
}

namespace {
[[noreturn]] void fatal(Assembly& a, int code, std::string_view argument, bool has_argument) {
  print_banner(a);
  std::fflush(stdout);
  std::string_view text = message_text(code);
  std::string line = std::string(program_name) + "-Fatal-";
  char number[16];
  if (code < 100) {
    std::snprintf(number, sizeof number, "%03d", code);
    line += number;
    line += " : ";
    line += text;
    if (has_argument) {
      line += " \"";
      line += argument;
      line += '"';
    }
  } else {
    std::snprintf(number, sizeof number, "%3d", code);
    line += number;
    line += " : ";
    if (code == 103 && has_argument) {
      line += '"';
      line += argument;
      line += "\" ";
      line += text;
    } else {
      line += text;
      if ((code == 106 || code == 109) && has_argument) {
        line += " \"";
        line += argument;
        line += '"';
      }
    }
  }
  line += '\n';
  line += program_name;
  line += "  Terminated\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  int category = code < 100 ? 0 : code < 150 ? 1 : 2;
  throw RunAborted{category};
}
}  // namespace

void report_fatal(Assembly& a, int code) { fatal(a, code, {}, false); }
void report_fatal(Assembly& a, int code, std::string_view argument) { fatal(a, code, argument, true); }

void write_listing_summary(Assembly& a) {
  if (!a.listing.file) return;
  uint32_t errors = a.diag.error_count;
  uint32_t warnings = a.diag.warning_count;
  int32_t needed = (errors && warnings) ? 3 : 2;
  if (lines_left_on_page(a) < needed) {
    a.listing.forced_break = true;
  } else if (!listing_at_page_top(a)) {
    account_line(a);
    listing_write(a, "\r\n");
  }
  char line[128];
  if (!errors && !warnings) {
    std::snprintf(line, sizeof line, "%s %s\r\n", "Assembly complete,", "No error");
  } else if (errors) {
    std::snprintf(line, sizeof line, "%s %5u %s\r\n", "Assembly complete,", errors, "error(s)");
  } else {
    std::snprintf(line, sizeof line, "%s %5u %s\r\n", "Assembly complete,", warnings,
                  "warning error(s)");
  }
  account_line(a);
  listing_write(a, line);
  if (errors && warnings) {
    std::snprintf(line, sizeof line, "                   %5u %s\r\n", warnings, "warning error(s)");
    account_line(a);
    listing_write(a, line);
  }
}

}  // namespace koral
