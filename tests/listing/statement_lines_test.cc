// Statement lines of the listing from whole runs: one row per source with the
// statement part it must list (fill directives, the source's own line ends,
// ";;" comments, tabs with and without a page width, double-byte characters
// at the wrap, Ctrl-Z and 0xFF, gaps without the fill option).
#include <gtest/gtest.h>

#include "listing/listing_test_support.h"

namespace koral {
namespace {

using listing_test::fields;
using listing_test::ListingRun;
using listing_test::no_location;

std::string blanks(std::size_t n) { return std::string(n, ' '); }

struct BodyCase {
  const char* what;
  std::string source;
  std::vector<std::string> options;
  std::string body;
};

std::vector<BodyCase> body_cases() {
  const std::string code1 = fields(no_location, "", "  ", 0, 1, 1) + "CODE1 SECTION CODE\n";
  // Width 72: a line holds 71 characters, 12 of them source text.
  const std::string code1_wrapped = fields(no_location, "", "  ", 0, 1, 1) + "CODE1 SECTIO\r\n" + blanks(59) + "N CODE\n";
  return {
      {"fill directives show one element and the repeat count",
       "CODE1 SECTION CODE\n  DFB 300, 0x55\n  DFW 3, 0x1234\n  DFB 2, \"XY\"\n  END\n",
       {"-l", "-Xt"},
       code1 + fields("00000000  ", "55", "  ", 0, 2, 2) + "  DFB 300, 0x55\n" + "          (repeat 300)\r\n" +
           fields("0000012C  ", "3412", "  ", 0, 3, 3) + "  DFW 3, 0x1234\n" + "          (repeat 3)\r\n" +
           fields("00000132  ", "5859", "  ", 0, 4, 4) + "  DFB 2, \"XY\"\n" + "          (repeat 2)\r\n" +
           fields(no_location, "", "  ", 0, 5, 5) + "  END\n"},
      {"own line ends, double-semicolon comments dropped",
       "CODE1 SECTION CODE\r\n  DB 1 ;; not listed\n  DB 2\r\n  DB 3 ; listed\n  END",
       {"-l", "-Xt"},
       fields(no_location, "", "  ", 0, 1, 1) + "CODE1 SECTION CODE\r\n" + fields("00000000  ", "01", "  ", 0, 2, 2) +
           "  DB 1 \r\n" + fields("00000001  ", "02", "  ", 0, 3, 3) + "  DB 2\r\n" +
           fields("00000002  ", "03", "  ", 0, 4, 4) + "  DB 3 ; listed\n" + fields(no_location, "", "  ", 0, 5, 5) +
           "  END\r\n"},
      {"tabs copied without a page width", "X\tEQU 5\n\tEND\n", {"-l", "-Xt"},
       fields("  00000005 ", "", "  ", 0, 1, 1) + "X\tEQU 5\n" + fields(no_location, "", "  ", 0, 2, 2) + "\tEND\n"},
      // "X" stands in column 59; the tab fills 60 to 63.  A tab in column 59
      // fills 59 to 63.  The next character stands in column 64 = 48 + 2 * 8.
      {"tabs expanded under a page width", "X\tEQU 5\n\tEND\n", {"-lw100", "-Xt"},
       fields("  00000005 ", "", "  ", 0, 1, 1) + "X    EQU 5\n" + fields(no_location, "", "  ", 0, 2, 2) + "     END\n"},
      // Line 2: the lead byte would stand in column 70, the last one; it moves.
      // Line 3: lead and second byte fill columns 69 and 70.
      {"wrapping never splits a double-byte character",
       "CODE1 SECTION CODE\n  DB 1 ; ab\x82\xA0" "cd\n  DB 2 ; a\xE0\x40" "cd\n  END\n",
       {"-lw72", "-J", "-Xt"},
       code1_wrapped + fields("00000000  ", "01", "  ", 0, 2, 2) + "  DB 1 ; ab\r\n" + blanks(59) + "\x82\xA0" "cd\n" +
           fields("00000001  ", "02", "  ", 0, 3, 3) + "  DB 2 ; a\xE0\x40\r\n" + blanks(59) + "cd\n" +
           fields(no_location, "", "  ", 0, 4, 4) + "  END\n"},
      {"Ctrl-Z ends the source", "CODE1 SECTION CODE\n  DB 1\n  END\x1A garbage\nmore\n", {"-l", "-Xt"},
       code1 + fields("00000000  ", "01", "  ", 0, 2, 2) + "  DB 1\n" + fields(no_location, "", "  ", 0, 3, 3) +
           "  END\r\n"},
      // A byte 0xFF ends the source like Ctrl-Z: the line ends there and the
      // rest is never read, so END is missing (warning 506 on that line).
      {"byte 0xFF ends the source", "CODE1 SECTION CODE\n  DB 1\xFF garbage\n  DB 2\n  END\n", {"-l", "-Xt"},
       code1 + fields("00000000  ", "01", "  ", 0, 2, 2) + "  DB 1\r\n" +
           "{t} 2 : ASMKORAL-Warning-506 : No END directive\r\n"},
      {"no fill report without the fill option", "CODE1 SECTION CODE\n  DB 1\n  ORG 4\n  END\n", {"-l"},
       code1 + fields("00000000  ", "01", "  ", 0, 2, 2) + "  DB 1\n" + fields("00000004  ", "", "  ", 0, 3, 3) +
           "  ORG 4\n" + fields(no_location, "", "  ", 0, 4, 4) + "  END\n"},
  };
}

TEST(StatementLines, BodyOfEachSource) {
  for (const BodyCase& c : body_cases()) {
    ListingRun run;
    run.assemble(c.source, c.options);
    // "{t}" stands for the source's full name, as diagnostics show it.
    std::string body = c.body;
    for (std::size_t at = body.find("{t}"); at != std::string::npos; at = body.find("{t}", at))
      body.replace(at, 3, run.path("t.asm"));
    EXPECT_EQ(run.body(), body) << c.what;
  }
}

TEST(StatementLines, EquWithAnErrorShowsNoValue) {
  ListingRun run;
  run.assemble("X EQU 1/0\n  END\n", {"-l", "-Xt"});
  std::string first = fields(no_location, "", "  ", 0, 1, 1) + "X EQU 1/0\n";
  std::string body = run.body();
  ASSERT_EQ(body.compare(0, first.size(), first), 0) << body;
  EXPECT_EQ(body.find("ASMKORAL-Error-"), body.find(" 1 : ASMKORAL-Error-") + 5) << body;
}

}  // namespace
}  // namespace koral
