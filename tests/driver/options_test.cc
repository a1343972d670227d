#include "driver/options.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "driver/option_actions.h"
#include "driver/option_table.h"

namespace koral {
namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

// A fresh run after its command line `arguments` and a source name.
std::unique_ptr<Assembly> with_arguments(std::vector<std::string> arguments) {
  auto run = std::make_unique<Assembly>();
  run->run.banner_printed = true;
  arguments.push_back("p.asm");
  process_arguments(*run, arguments);
  return run;
}

TEST(OptionTable, MatchingRulesInTableOrder) {
  struct Case {
    const char* argument;
    const char* entry;  // nullptr: no match
    const char* value;
  } cases[] = {
      {"-e", "-e", ""},         {"-eerr.txt", "-e", "err.txt"}, {"-fcmd", "-f", "cmd"},
      {"-Iinc", "-I", "inc"},   {"-ofoo.rel", "-o", "foo.rel"}, {"-Fa12", "-Fa", "12"},
      {"-Fc", "-Fc", ""},       {"-lsxf", "-lsxf", ""},         {"-lsxp40", "-lsxp", "40"},
      {"-lxw100", "-lxw", "100"}, {"-lp20", "-lp", "20"},       {"-lsx1", "-lsx", "1"},
      {"-lx0", "-lx", "0"},     {"-lsfx", nullptr, ""},         {"-lpx", nullptr, ""},
      {"-lf", "-lf", ""},       {"-l", "-l", ""},               {"-g", "-g", ""},
      {"-g1", "-g", "1"},       {"-O0", "-O", "0"},             {"-w12", "-w", "12"},
      {"-gx", nullptr, ""},     {"-Nc2", "-Nc", "2"},           {"-Nc", "-Nc", ""},
      {"-Nc22", nullptr, ""},   {"-Ncx", nullptr, ""},          {"-xx", "-xx", ""},
      {"-$", "-$", ""},         {"-Xt", "-Xt", ""},             {"-XT", nullptr, ""},
      {"-GN", "-GN", ""},       {"-GNname", nullptr, ""},       {"-F", nullptr, ""},
      {"-q", nullptr, ""},      {"-zd", "-zd", ""},             {"-Fr0y101", "-Fr", "0y101"},
  };
  for (const Case& c : cases) {
    OptionMatch m = match_option(c.argument);
    if (!c.entry) {
      EXPECT_EQ(m.id, no_option) << c.argument;
      continue;
    }
    ASSERT_NE(m.id, no_option) << c.argument;
    EXPECT_EQ(option_text(m.id), c.entry) << c.argument;
    EXPECT_EQ(m.value, c.value) << c.argument;
  }
}

TEST(FillNumbers, BothNotations) {
  struct Case {
    const char* text;
    bool suffix;
    long value;  // -1: malformed
  } cases[] = {
      {"0x1F", false, 31}, {"0XfF", false, 255}, {"0y101", false, 5},  {"017", false, 15},
      {"0", false, 0},     {"255", false, 255},  {"256", false, 256},  {"018", false, -1},
      {"0x", false, -1},   {"1F", false, -1},    {"0y2", false, -1},   {"1FH", true, 31},
      {"17o", true, 15},   {"17Q", true, 15},    {"101b", true, 5},    {"99d", true, 99},
      {"99", true, 99},    {"0x10", true, -1},   {"19b", true, -1},    {"", false, -1},
      {"99999999999999999999", false, 0xFFFF},
  };
  for (const Case& c : cases) EXPECT_EQ(parse_fill_number(c.text, c.suffix), c.value) << c.text;
  EXPECT_EQ(parse_fill_number(std::string(101, '1'), false), -1);  // over 100 characters
}

// A run whose command line is processed in a scratch folder holding the source.
class CommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/koral-options-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = name;
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    std::ofstream("p.asm") << "\tNOP\n";
    a.run.banner_printed = true;
  }
  void TearDown() override {
    a.temps.remove_all();
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(dir_);
  }
  void process(std::vector<std::string> arguments) {
    arguments.push_back("p.asm");
    process_arguments(a, arguments);
  }
  // Diagnostics recorded so far, as they would print.
  std::string recorded() {
    a.run.pass = pass_final;
    rewind_error_files(a);
    CaptureStderr();
    print_remaining_diagnostics(a);
    return GetCapturedStderr();
  }
  Assembly a;
  std::string dir_;
  std::filesystem::path previous_;
};

TEST_F(CommandLine, DefaultsWithoutOptions) {
  process({});
  EXPECT_EQ(a.run.options, 0u);
  EXPECT_EQ(a.settings.source_name, "p.asm");
  EXPECT_EQ(a.settings.page_length, 65535);
  EXPECT_EQ(a.settings.page_width, 256);
  EXPECT_EQ(a.settings.model_level, 1);
  EXPECT_TRUE(a.settings.sorted_symbols);
  ASSERT_EQ(a.settings.include_dirs.size(), 2u);  // source folder slot, then "./"
  EXPECT_EQ(a.settings.include_dirs[1], dir_ + "/");
}

TEST_F(CommandLine, ListingLetters) {
  struct Case {
    std::vector<std::string> arguments;
    uint32_t bits;
    int32_t page_length;
    int32_t page_width;
    bool sorted;
  } cases[] = {
      {{"-l"}, opt_listing | opt_default_listing, 65535, 256, true},
      {{"-l", "-ls"}, opt_listing | opt_default_listing, 65535, 256, true},  // s refused
      {{"-ls", "-l"}, opt_listing | opt_no_symbol_table, 65535, 256, false},
      {{"-lsx"}, opt_listing | opt_no_symbol_table, 65535, 256, false},
      {{"-lxs"}, opt_listing | opt_cross_reference, 65535, 256, true},
      {{"-lp20"}, opt_listing | opt_page_length, 33, 256, true},
      {{"-lp99999999"}, opt_listing | opt_page_length, 65535, 256, true},
      {{"-lp40", "-lp50"}, opt_listing | opt_page_length, 40, 256, true},
      {{"-l", "-lp40"}, opt_listing | opt_default_listing, 65535, 256, true},
      {{"-lw10"}, opt_listing | opt_page_width, 65535, 72, true},
      {{"-lw00100"}, opt_listing | opt_page_width, 65535, 72, true},     // "0010" counts
      {{"-lp00012345"}, opt_listing | opt_page_length, 123, 256, true},  // "000123" counts
      {{"-lxw300"}, opt_listing | opt_cross_reference | opt_page_width, 65535, 256, true},
      {{"-lsxp50"}, opt_listing | opt_no_symbol_table | opt_page_length, 50, 256, false},
      {{"-lx1"}, opt_listing | opt_cross_reference, 65535, 256, true},
  };
  for (const Case& c : cases) {
    std::unique_ptr<Assembly> run = with_arguments(c.arguments);
    Assembly& fresh = *run;
    EXPECT_EQ(fresh.run.options, c.bits) << c.arguments[0];
    EXPECT_EQ(fresh.settings.page_length, c.page_length) << c.arguments[0];
    EXPECT_EQ(fresh.settings.page_width, c.page_width) << c.arguments[0];
    EXPECT_EQ(fresh.settings.sorted_symbols, c.sorted) << c.arguments[0];
  }
}

// Options that set bits and names, one row per command line (the source
// p.asm follows): the option bits, the warnings recorded, a name setting and
// the model level they leave.
struct NamedCase {
  std::vector<std::string> arguments;
  uint32_t bits;
  const char* diagnostics;
  std::string Settings::*name;
  const char* value;
  int32_t model_level = 1;
};

TEST_F(CommandLine, BitsNamesAndFirstFormsWin) {
  const NamedCase cases[] = {
      {{"-lxf", "out.lst"}, opt_listing | opt_cross_reference, "", &Settings::listing_name, "out.lst"},
      {{"-g1", "-g", "-O", "-O1", "-w1", "-w"}, opt_debug_second_form | opt_long_forward_jumps,
       "ASMKORAL-Warning-515 : Illegal parameter\n"
       "ASMKORAL-Warning-515 : Illegal parameter\n"
       "ASMKORAL-Warning-515 : Illegal parameter\n",
       nullptr, nullptr},
      // An object name and no object module exclude each other: the first wins.
      {{"-o", "x.rel", "-Xt"}, opt_object_name, "ASMKORAL-Warning-515 : Illegal parameter\n",
       &Settings::object_name, "x.rel"},
      {{"-Xt", "-o", "x.rel"}, opt_no_object, "ASMKORAL-Warning-515 : Illegal parameter\n", &Settings::object_name, ""},
      {{"-e", "one.err", "-etwo.err"}, opt_error_file, "ASMKORAL-Warning-515 : Illegal parameter\n",
       &Settings::error_file_name, "one.err"},
      {{"-o", "--", "-odd.rel"}, opt_object_name, "", &Settings::object_name, "-odd.rel"},
      {{"-zd"}, opt_temp_on_disk, "", nullptr, nullptr},
      {{"-Nc3", "-Nc2", "-H", "-V", "-$", "-XE", "-T", "-J", "-zr", "-zc", "-GN", "shown.c"},
       opt_model_level | opt_suffix_numbers | opt_version | opt_no_banner | opt_no_escapes | opt_no_titles |
           opt_any_characters | opt_keep_object | opt_quiet_warnings | opt_shown_name,
       "ASMKORAL-Warning-515 : Illegal parameter\n", &Settings::shown_name, "shown.c", 3},  // -Nc repeated
  };
  for (const NamedCase& c : cases) {
    std::unique_ptr<Assembly> run = with_arguments(c.arguments);
    Assembly& fresh = *run;
    EXPECT_EQ(fresh.run.options, c.bits) << c.arguments[0];
    if (c.name) {
      EXPECT_EQ(fresh.settings.*c.name, c.value) << c.arguments[0];
    }
    EXPECT_EQ(fresh.settings.model_level, c.model_level) << c.arguments[0];
    fresh.run.pass = pass_final;
    rewind_error_files(fresh);
    CaptureStderr();
    print_remaining_diagnostics(fresh);
    EXPECT_EQ(GetCapturedStderr(), c.diagnostics) << c.arguments[0];
    fresh.temps.remove_all();
  }
}

TEST_F(CommandLine, FillSettings) {
  process({"-Fc12", "-Fd", "-Fr0x20"});
  EXPECT_EQ(a.settings.fill_selection, uint32_t(fill_code | fill_data | fill_rodata));
  EXPECT_EQ(a.settings.fill_code_value, 12);
  EXPECT_EQ(a.settings.fill_data_value, 255);
  EXPECT_EQ(a.settings.fill_rodata_value, 0x20);
  EXPECT_FALSE(a.settings.fill_all_value_set);

  Assembly all;
  all.run.banner_printed = true;
  all.run.options |= opt_suffix_numbers;
  process_arguments(all, {"-Fa7FH", "-Fa1", "p.asm"});
  EXPECT_EQ(all.settings.fill_selection, uint32_t(fill_all));
  EXPECT_TRUE(all.settings.fill_all_value_set);
  EXPECT_EQ(all.settings.fill_all_value, 0x7F);  // a second -Fa with a number changes nothing
  all.temps.remove_all();
}

TEST_F(CommandLine, IncludeDirectoriesInOrder) {
  std::filesystem::create_directory("inc");
  setenv("HOMEKORAL", "/opt/koral;", 1);
  setenv("THOME", "/usr/koral\\", 1);
  process({"-Iinc", "-I", "other\\"});
  unsetenv("HOMEKORAL");
  unsetenv("THOME");
  EXPECT_EQ(a.settings.include_dirs,
            (std::vector<std::string>{"", dir_ + "/inc/", dir_ + "/other/", "/opt/koral/include/",
                                      "/usr/koral/include/"}));
  EXPECT_EQ(a.run.options, opt_include_dirs);
}

// Option lines at the head of the source.
class OptionLine : public CommandLine {
 protected:
  void line(int32_t number, std::string_view text) {
    a.sources.current = 0;
    a.sources.files[0].line_in_file = number;
    process_option_line(a, text);
    a.diag.option_line_mark = false;
  }
  void SetUp() override {
    CommandLine::SetUp();
    process({});
    a.sources.files.push_back(SourceFile{"p.asm", dir_ + "/p.asm"});
  }
};

TEST_F(OptionLine, OptionsAndCommentEqualTheCommandLine) {
  line(1, "l -g ; listing and debug");
  EXPECT_EQ(a.run.options, opt_listing | opt_default_listing | opt_debug);
  EXPECT_TRUE(a.diag.option_diagnostic_lines.empty());
}

TEST_F(OptionLine, ValuesAfterBlanks) {
  line(1, "o\tout.rel -e err.txt -lf out.lst -lp40 -Nc0");
  EXPECT_EQ(a.settings.object_name, "out.rel");
  EXPECT_EQ(a.settings.error_file_name, "err.txt");
  EXPECT_EQ(a.settings.listing_name, "out.lst");
  EXPECT_EQ(a.settings.page_length, 40);
  EXPECT_EQ(a.settings.model_level, 0);
  EXPECT_TRUE(a.diag.option_diagnostic_lines.empty());
}

TEST_F(OptionLine, OneDiagnosticPerLine) {
  line(1, "q -w");              // unknown option: syntax error, rest skipped
  line(2, "l x");               // text after an option
  line(3, "g -g1");             // first form wins: 515
  line(4, "f cmd");             // no command files in the source
  line(5, "N2");                // -N without c
  line(6, "Nc9");               // bad digit
  line(7, "Nc1 -Nc2");          // second -Nc
  line(8, "o");                 // missing value
  line(9, "Fa -Fc -Fd");        // 519 once for the line
  line(10, "H");                // fine
  EXPECT_EQ(a.diag.option_diagnostic_lines, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_FALSE(a.option(opt_no_warnings));
  EXPECT_TRUE(a.option(opt_suffix_numbers));
  EXPECT_EQ(a.settings.model_level, 1);
  EXPECT_EQ(recorded(),
            "p.asm 1 : ASMKORAL-Error-200 : Syntax error\n"
            "p.asm 2 : ASMKORAL-Error-200 : Syntax error\n"
            "p.asm 3 : ASMKORAL-Warning-515 : Illegal parameter\n"
            "p.asm 4 : ASMKORAL-Warning-515 : Illegal parameter\n"
            "p.asm 5 : ASMKORAL-Warning-515 : Illegal parameter\n"
            "p.asm 6 : ASMKORAL-Warning-515 : Illegal parameter\n"
            "p.asm 7 : ASMKORAL-Warning-515 : Illegal parameter\n"
            "p.asm 8 : ASMKORAL-Error-200 : Syntax error\n"
            "p.asm 9 : ASMKORAL-Warning-519 : Ignored option '-Fc'\n");
}

TEST_F(OptionLine, FillValueAboveByteIsFatal) {
  EXPECT_THROW(line(1, "Fc256"), RunAborted);
}

TEST_F(OptionLine, TempOnDiskReopensTheTokenFile) {
  setenv("TMP", dir_.c_str(), 1);
  a.temps.build_names(dir_.c_str());
  unsetenv("TMP");
  ASSERT_TRUE(a.temps.open(TempKind::token));
  EXPECT_FALSE(a.temps[TempKind::token].on_disk());
  line(1, "zd");
  EXPECT_TRUE(a.temps[TempKind::token].on_disk());
  EXPECT_EQ(a.temps[TempKind::token].disk_path().rfind(dir_ + "/TP", 0), 0u);
}

}  // namespace
}  // namespace koral
