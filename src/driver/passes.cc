#include "driver/passes.h"

#include <cstdio>
#include <string>

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "driver/options.h"
#include "source/includes.h"

namespace koral {

namespace {

bool is_blank(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

// Reads one line (without its line feed) from the stream; false at the end.
bool read_line(std::FILE* stream, std::string& line) {
  line.clear();
  int c;
  bool any = false;
  while ((c = std::getc(stream)) != EOF) {
    any = true;
    if (c == '\n') return true;
    if (c == 26) return !line.empty();  // Ctrl-Z ends the file
    line.push_back(static_cast<char>(c));
  }
  return any;
}

}  // namespace

void prescan_option_lines(Assembly& a) {
  std::FILE* stream = a.sources.stream;
  SourceFile& main_file = a.sources.files[0];
  std::string line;
  int32_t number = 0;
  for (;;) {
    ++number;
    if (!read_line(stream, line)) break;
    std::size_t at = 0;
    while (at < line.size() && is_blank(static_cast<unsigned char>(line[at]))) ++at;
    if (at == line.size() || line[at] == ';') {
      // empty or comment line
    } else if (line[at] == '-') {
      main_file.line_in_file = number;
      a.run.option_lines_seen = true;
      process_option_line(a, std::string_view(line).substr(at + 1));
      a.diag.option_line_mark = false;
    } else {
      break;
    }
  }
  main_file.line_in_file = 0;
  a.run.first_statement_line = number == 1 ? 0 : number;
}

void reset_pass_state(Assembly& a) {
  a.run.section = nullptr;
  a.run.end_processed = false;
  a.sources.current = 0;
  for (SourceFile& file : a.sources.files) {
    file.line_in_file = 0;
    file.listing_line = 0;
  }
  reset_source_input(a);
  if (a.run.pass == pass_final && !a.listing.file && a.diag.command_line_pending)
    print_command_line_diagnostics(a);
}

void run_pass_one(Assembly& a) {
  a.run.pass = pass_one;
  if (std::fseek(a.sources.stream, 0, SEEK_SET) != 0) report_fatal(a, 24, a.settings.source_name);
  reset_pass_state(a);
  begin_statement_marks(a);
  // The statements of the source are parsed here and written to the token file.
  if (a.run.statement_count == 0) report_warning(a, 514);
}

void run_pass_two(Assembly& a) {
  a.run.pass = pass_two;
  a.run.iteration = 0;
  a.run.another_iteration = true;
  while (a.run.another_iteration && a.run.iteration < RunState::max_iterations) {
    TempFile& token = a.temps[TempKind::token];
    if (token.seek(0, seek_start) != 0) {
      if (a.option(opt_temp_on_disk)) report_fatal(a, 24, a.temps.label(TempKind::token));
      report_fatal(a, 150);
    }
    reset_pass_state(a);
    a.run.another_iteration = false;
    // Every statement record is replayed here.
    ++a.run.iteration;
  }
}

void run_final_pass(Assembly& a) {
  a.run.pass = pass_final;
  TempFile& token = a.temps[TempKind::token];
  if (token.seek(0, seek_start) != 0) {
    if (a.option(opt_temp_on_disk)) report_fatal(a, 24, a.temps.label(TempKind::token));
    report_fatal(a, 150);
  }
  if (a.option(opt_listing) && std::fseek(a.sources.stream, 0, SEEK_SET) != 0)
    report_fatal(a, 24, a.settings.source_name);
  rewind_error_files(a);
  reset_pass_state(a);
  // Every statement record is replayed here, listed, and its diagnostics printed.
  print_remaining_diagnostics(a);
  write_listing_summary(a);
}

}  // namespace koral
