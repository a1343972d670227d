#include "driver/passes.h"

#include <cstdio>
#include <string>

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "driver/options.h"
#include "directives/sections.h"
#include "listing/symbol_listing.h"
#include "source/includes.h"
#include "source/replay.h"
#include "source/statement.h"
#include "source/token_file.h"
#include "symbols/numbering.h"

namespace koral {

namespace {

bool is_blank(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

// Reads one line (without its line feed) from the stream; false at the end
// of the file, which a Ctrl-Z also marks.
bool read_line(std::FILE* stream, std::string& line, bool& ended) {
  line.clear();
  if (ended) return false;
  int c;
  bool any = false;
  while ((c = std::getc(stream)) != EOF) {
    any = true;
    if (c == '\n') return true;
    if (c == 26) {
      ended = true;
      return !line.empty();
    }
    line.push_back(static_cast<char>(c));
  }
  ended = true;
  return any;
}

}  // namespace

void prescan_option_lines(Assembly& a) {
  std::FILE* stream = a.sources.stream;
  SourceFile& main_file = a.sources.files[0];
  std::string line;
  int32_t number = 0;
  bool ended = false;
  for (;;) {
    ++number;
    if (!read_line(stream, line, ended)) break;
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
  reset_sections(a);
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
  parse_source(a);
  flush_token_file(a, a.statement.end_seen);
  if (a.run.statement_count == 0) report_warning(a, 514);
  number_symbols(a);
}

void run_pass_two(Assembly& a) {
  a.run.pass = pass_two;
  a.run.iteration = 0;
  a.run.another_iteration = true;
  while (a.run.another_iteration && a.run.iteration < RunState::max_iterations) {
    rewind_token_file(a);
    reset_pass_state(a);
    a.run.another_iteration = false;
    while (RecordHeader* header = read_record(a)) replay_statement(a, *header);
    finish_section_sizes(a);
    ++a.run.iteration;
  }
}

void run_final_pass(Assembly& a) {
  a.run.pass = pass_final;
  rewind_token_file(a);
  if (a.option(opt_listing) && std::fseek(a.sources.stream, 0, SEEK_SET) != 0)
    report_fatal(a, 24, a.settings.source_name);
  rewind_error_files(a);
  reset_pass_state(a);
  while (RecordHeader* header = read_record(a)) replay_statement(a, *header);
  print_remaining_diagnostics(a);
  build_sort_table(a);
  write_listing_summary(a);
}

}  // namespace koral
