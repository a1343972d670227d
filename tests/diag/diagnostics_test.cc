#include "diag/diagnostics.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "diag/messages.h"
#include "driver/assembly.h"

namespace koral {
namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

// A run positioned in a main source named prog.asm, with the banner already
// out of the way.
struct PositionedRun {
  Assembly a;
  PositionedRun() {
    a.sources.files.push_back(SourceFile{"prog.asm", "/x/prog.asm"});
    a.sources.files.push_back(SourceFile{"inc/defs.inc", "/x/inc/defs.inc"});
    a.run.banner_printed = true;
  }
  void at(uint32_t file, int32_t line) {
    a.sources.current = file;
    a.sources.files[file].line_in_file = line;
    begin_statement_marks(a);
  }
};

std::string read_file(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char buffer[512];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
  return text;
}

TEST(PrintOneDiagnostic, ShownNameReplacesEveryFileAndErrorFileGetsCrLf) {
  PositionedRun r;
  r.a.run.options |= opt_shown_name;
  r.a.settings.shown_name = "shown.c";
  std::FILE* error_file = std::tmpfile();
  r.a.diag.error_file = error_file;
  CaptureStderr();
  print_one_diagnostic(r.a, 501, "Operand value is out of range", 1, 4);
  EXPECT_EQ(GetCapturedStderr(), "shown.c 4 : ASMKORAL-Warning-501 : Operand value is out of range\n");
  EXPECT_EQ(read_file(error_file), "shown.c 4 : ASMKORAL-Warning-501 : Operand value is out of range\r\n");
  std::fclose(error_file);
  r.a.diag.error_file = nullptr;
}

// Records made in pass 1 and pass 2 come out with the statement they belong
// to, pass-1 ones first, then pass-2 ones, then the final pass's own.
TEST(StatementDiagnostics, MergeInSourceOrderAcrossPasses) {
  PositionedRun r;
  Assembly& a = r.a;
  a.run.pass = pass_one;
  r.at(0, 3);
  report_error(a, 221);
  r.at(1, 2);
  report_warning(a, 516);
  r.at(0, 7);
  report_warning(a, 501);
  a.run.pass = pass_two;
  r.at(0, 3);
  report_error(a, 230);
  r.at(0, 5);
  report_error(a, 227);

  a.run.pass = pass_final;
  rewind_error_files(a);
  CaptureStderr();
  std::string order;
  auto statement = [&](uint32_t file, int32_t line) {
    r.at(file, line);
    if (file == 0 && line == 7) report_error(a, 206);
    print_statement_diagnostics(a);
  };
  for (int32_t line = 1; line <= 4; ++line) statement(0, line);
  for (int32_t line = 1; line <= 2; ++line) statement(1, line);
  for (int32_t line = 5; line <= 8; ++line) statement(0, line);
  EXPECT_EQ(GetCapturedStderr(),
            "prog.asm 3 : ASMKORAL-Error-221 : Undefined symbol\n"
            "prog.asm 3 : ASMKORAL-Error-230 : Operand type mismatch\n"
            "inc/defs.inc 2 : ASMKORAL-Warning-516 : Illegal escape sequence\n"
            "prog.asm 5 : ASMKORAL-Error-227 : Out of range for relative reference\n"
            "prog.asm 7 : ASMKORAL-Warning-501 : Operand value is out of range\n"
            "prog.asm 7 : ASMKORAL-Error-206 : Invalid expression\n");
  EXPECT_EQ(a.diag.error_count, 4u);
  EXPECT_EQ(a.diag.warning_count, 2u);
}

TEST(StatementDiagnostics, CommandLineRecordsPrintWithoutPositionFirst) {
  PositionedRun r;
  Assembly& a = r.a;
  report_warning(a, 515);  // pass 0: no position
  report_warning(a, 519, "-Fd");
  EXPECT_TRUE(a.diag.command_line_pending);
  a.run.pass = pass_one;
  r.at(0, 1);
  report_error(a, 202);
  a.run.pass = pass_final;
  rewind_error_files(a);
  r.at(0, 0);
  CaptureStderr();
  print_command_line_diagnostics(a);
  EXPECT_FALSE(a.diag.command_line_pending);
  r.at(0, 1);
  print_statement_diagnostics(a);
  EXPECT_EQ(GetCapturedStderr(),
            "ASMKORAL-Warning-515 : Illegal parameter\n"
            "ASMKORAL-Warning-519 : Ignored option '-Fd'\n"
            "prog.asm 1 : ASMKORAL-Error-202 : Illegal numeric constant\n");
}

TEST(StatementDiagnostics, RecordsThatMatchNoStatementAreNotLost) {
  PositionedRun r;
  Assembly& a = r.a;
  a.run.pass = pass_one;
  r.at(0, 40);
  report_warning(a, 506);
  a.run.pass = pass_final;
  rewind_error_files(a);
  r.at(0, 1);
  CaptureStderr();
  print_statement_diagnostics(a);
  EXPECT_EQ(GetCapturedStderr(), "");
  CaptureStderr();
  print_remaining_diagnostics(a);
  EXPECT_EQ(GetCapturedStderr(), "prog.asm 40 : ASMKORAL-Warning-506 : No END directive\n");
}

TEST(ReportFilters, ErrorsPerPass) {
  PositionedRun r;
  Assembly& a = r.a;
  // Pass 1: error 230 only once per instruction statement.
  a.run.pass = pass_one;
  r.at(0, 1);
  a.diag.mismatch_reported = false;
  report_error(a, 230);
  report_error(a, 230);
  report_error(a, 221);
  // Pass 2: a statement already marked erroneous records nothing more.
  a.run.pass = pass_two;
  r.at(0, 2);
  report_error(a, 221);
  report_error(a, 222);
  EXPECT_TRUE(a.diag.error_mark);
  a.run.pass = pass_final;
  rewind_error_files(a);
  CaptureStderr();
  print_remaining_diagnostics(a);
  EXPECT_EQ(GetCapturedStderr(),
            "prog.asm 1 : ASMKORAL-Error-230 : Operand type mismatch\n"
            "prog.asm 1 : ASMKORAL-Error-221 : Undefined symbol\n"
            "prog.asm 2 : ASMKORAL-Error-221 : Undefined symbol\n");
}

TEST(ReportFilters, WarningRules) {
  struct Case {
    const char* what;
    uint32_t options;
    int32_t pass;
    int32_t iteration;
    int code;
    bool recorded;
    bool marked;
    int muted = 0;
  } cases[] = {
      {"plain", 0, pass_final, 0, 502, true, true},
      {"-zc drops 501", opt_quiet_warnings, pass_final, 0, 501, false, false},
      {"-zc drops 505", opt_quiet_warnings, pass_final, 0, 505, false, false},
      {"-zc drops 517", opt_quiet_warnings, pass_final, 0, 517, false, false},
      {"-zc drops 518", opt_quiet_warnings, pass_final, 0, 518, false, false},
      {"-zc keeps 502", opt_quiet_warnings, pass_final, 0, 502, true, true},
      {"-w records nothing but marks", opt_no_warnings, pass_final, 0, 502, false, true},
      {"pass 2 first iteration", 0, pass_two, 0, 501, true, true},
      {"pass 2 later iteration", 0, pass_two, 3, 501, false, false},
      {"503 in a later iteration", 0, pass_two, 10, 503, true, true},
      {"muted: marked, not recorded", 0, pass_final, 0, 501, false, true, 1},
  };
  for (const Case& c : cases) {
    PositionedRun r;
    r.a.run.options = c.options;
    r.a.run.pass = c.pass;
    r.a.run.iteration = c.iteration;
    r.a.diag.warnings_muted = c.muted;
    r.at(0, 9);
    report_warning(r.a, c.code);
    bool recorded = c.pass == pass_final ? !r.a.diag.pending.empty()
                                         : r.a.temps[TempKind::err2].is_open();
    EXPECT_EQ(recorded, c.recorded) << c.what;
    EXPECT_EQ(r.a.diag.warning_mark, c.marked) << c.what;
  }
}

TEST(OptionLineReport, OncePerLineWithCodeTranslation) {
  PositionedRun r;
  Assembly& a = r.a;
  r.at(0, 2);
  option_line_report(a, 0);
  option_line_report(a, -1);  // second on the same line: ignored
  r.at(0, 3);
  option_line_report(a, -1);
  r.at(0, 4);
  option_line_report(a, 515);
  EXPECT_EQ(a.diag.option_diagnostic_lines, (std::vector<int32_t>{2, 3, 4}));
  a.run.pass = pass_final;
  rewind_error_files(a);
  CaptureStderr();
  for (int32_t line = 1; line <= 4; ++line) {
    r.at(0, line);
    print_statement_diagnostics(a);
  }
  EXPECT_EQ(GetCapturedStderr(),
            "prog.asm 2 : ASMKORAL-Error-200 : Syntax error\n"
            "prog.asm 3 : ASMKORAL-Warning-515 : Illegal parameter\n"
            "prog.asm 4 : ASMKORAL-Warning-515 : Illegal parameter\n");
}

TEST(DirectReport, FinalPassPrintsAtOnce) {
  PositionedRun r;
  r.a.run.pass = pass_final;
  r.at(0, 6);
  CaptureStderr();
  direct_report(r.a, 203, "LOOP");
  EXPECT_EQ(GetCapturedStderr(), "prog.asm 6 : ASMKORAL-Error-203 : Multi-defined symbol \"LOOP\"\n");
  EXPECT_TRUE(r.a.diag.direct_mark);
  EXPECT_TRUE(r.a.diag.pending.empty());
}

struct FatalCase {
  int code;
  const char* argument;  // nullptr: none
  const char* line;
  int category;
};

TEST(ReportFatal, FormatsByRangeAndCategory) {
  const FatalCase cases[] = {
      {24, "temporary file(err1)", "ASMKORAL-Fatal-024 : Can't seek \"temporary file(err1)\"", 0},
      {103, nullptr, "ASMKORAL-Fatal-103 : files are the same", 1},
      {105, "x", "ASMKORAL-Fatal-105 : Bad parameter syntax", 1},
      {161, "ignored", "ASMKORAL-Fatal-161 : Out of memory", 2},
      {163, nullptr, "ASMKORAL-Fatal-163 : Too many \"file\" instructions", 2},
  };
  for (const FatalCase& c : cases) {
    PositionedRun r;
    CaptureStderr();
    int category = -1;
    try {
      if (c.argument)
        report_fatal(r.a, c.code, c.argument);
      else
        report_fatal(r.a, c.code);
    } catch (const RunAborted& aborted) {
      category = aborted.category;
    }
    EXPECT_EQ(GetCapturedStderr(), std::string(c.line) + "\nASMKORAL  Terminated\n") << c.code;
    EXPECT_EQ(category, c.category) << c.code;
    EXPECT_EQ(r.a.diag.error_count, 0u);
  }
}

// Errors and warnings together take two lines (the one-line forms are in the
// end-to-end listings).
TEST(ListingSummary, ErrorsAndWarningsOnTwoLines) {
  PositionedRun r;
  std::FILE* file = std::tmpfile();
  r.a.listing.file = file;
  r.a.listing.first_page_written = true;  // only the summary is looked at
  r.a.listing.line_count = 10;
  r.a.diag.error_count = 1;
  r.a.diag.warning_count = 14;
  write_listing_summary(r.a);
  EXPECT_EQ(read_file(file), "\r\nAssembly complete,     1 error(s)\r\n"
                             "                      14 warning error(s)\r\n");
  std::fclose(file);
  r.a.listing.file = nullptr;
}

}  // namespace
}  // namespace koral
