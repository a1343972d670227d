// Statement lines of the listing from whole runs: the location field of each
// kind of statement, object bytes and their continuation lines, repeat lines,
// the source text with its own line end, ";;" comments, tabs and wrapping
// under a page width, include levels, the relocation mark and fill reports.
#include <gtest/gtest.h>

#include "listing/listing_test_support.h"

namespace koral {
namespace {

using listing_test::fields;
using listing_test::ListingRun;
using listing_test::no_location;

std::string blanks(std::size_t n) { return std::string(n, ' '); }

// A continuation line of object bytes: blank location, the bytes, blanks up
// to column 58.
std::string byte_line(std::string_view hex) {
  std::string line = std::string(no_location) + std::string(hex);
  return line + blanks(59 - line.size()) + "\r\n";
}

TEST(StatementLines, ColumnsOfADataLine) {
  ListingRun run;
  run.assemble("CODE1 SECTION CODE\nSTART:\n  DB 1,2,3\n  END\n", {"-l", "-Xt"});
  // Location, bytes from column 10, "+0" at 33, line numbers ending at 45
  // and 57, the source from column 59.
  std::string expected = std::string("00000000  ") + "010203               " + "  " + "+0 " +
                         "         3  " + "         3 " + "  DB 1,2,3\n";
  EXPECT_NE(run.body().find(expected), std::string::npos) << run.body();
}

TEST(StatementLines, LocationFieldByStatementKind) {
  ListingRun run;
  run.assemble(
      "CODE1 SECTION CODE\n"
      "START:\n"
      "  DB 1,2,3\n"
      "  ORG 0x10\n"
      "VALUE EQU 0x12345\n"
      "  ALIGN 4\n"
      "  END\n",
      {"-l", "-Xt"});
  std::string expected = fields(no_location, "", "  ", 0, 1, 1) + "CODE1 SECTION CODE\n" +
                         fields("00000000  ", "", "  ", 0, 2, 2) + "START:\n" +
                         fields("00000000  ", "010203", "  ", 0, 3, 3) + "  DB 1,2,3\n" +
                         fields("00000010  ", "", "  ", 0, 4, 4) + "  ORG 0x10\n" +
                         fields("  00012345 ", "", "  ", 0, 5, 5) + "VALUE EQU 0x12345\n" +
                         fields("00000010  ", "", "  ", 0, 6, 6) + "  ALIGN 4\n" +
                         fields(no_location, "", "  ", 0, 7, 7) + "  END\n";
  EXPECT_EQ(run.body(), expected);
}

TEST(StatementLines, EquWithAnErrorShowsNoValue) {
  ListingRun run;
  run.assemble("X EQU 1/0\n  END\n", {"-l", "-Xt"});
  std::string first = fields(no_location, "", "  ", 0, 1, 1) + "X EQU 1/0\n";
  std::string body = run.body();
  ASSERT_EQ(body.compare(0, first.size(), first), 0) << body;
  EXPECT_EQ(body.find("ASMKORAL-Error-"), body.find(" 1 : ASMKORAL-Error-") + 5) << body;
}

TEST(StatementLines, MoreThanTenBytesContinueTenToALine) {
  ListingRun run;
  run.assemble("CODE1 SECTION CODE\n  DB \"ABCDEFGHIJKLMNOPQRSTUVWXY\"\n  END\n", {"-l", "-Xt"});
  std::string expected = fields(no_location, "", "  ", 0, 1, 1) + "CODE1 SECTION CODE\n" +
                         fields("00000000  ", "4142434445464748494A", "  ", 0, 2, 2) +
                         "  DB \"ABCDEFGHIJKLMNOPQRSTUVWXY\"\n" + byte_line("4B4C4D4E4F5051525354") +
                         byte_line("5556575859") + fields(no_location, "", "  ", 0, 3, 3) + "  END\n";
  EXPECT_EQ(run.body(), expected);
}

TEST(StatementLines, FillDirectivesShowOneElementAndTheRepeatCount) {
  ListingRun run;
  run.assemble(
      "CODE1 SECTION CODE\n"
      "  DFB 300, 0x55\n"
      "  DFW 3, 0x1234\n"
      "  DFB 2, \"XY\"\n"
      "  END\n",
      {"-l", "-Xt"});
  std::string expected = fields(no_location, "", "  ", 0, 1, 1) + "CODE1 SECTION CODE\n" +
                         fields("00000000  ", "55", "  ", 0, 2, 2) + "  DFB 300, 0x55\n" +
                         "          (repeat 300)\r\n" +
                         fields("0000012C  ", "3412", "  ", 0, 3, 3) + "  DFW 3, 0x1234\n" +
                         "          (repeat 3)\r\n" +
                         fields("00000132  ", "5859", "  ", 0, 4, 4) + "  DFB 2, \"XY\"\n" +
                         "          (repeat 2)\r\n" + fields(no_location, "", "  ", 0, 5, 5) +
                         "  END\n";
  EXPECT_EQ(run.body(), expected);
}

TEST(StatementLines, SourceKeepsItsOwnLineEndAndDropsDoubleSemicolonComments) {
  ListingRun run;
  run.assemble(
      "CODE1 SECTION CODE\r\n"
      "  DB 1 ;; not listed\n"
      "  DB 2\r\n"
      "  DB 3 ; listed\n"
      "  END",
      {"-l", "-Xt"});
  std::string expected = fields(no_location, "", "  ", 0, 1, 1) + "CODE1 SECTION CODE\r\n" +
                         fields("00000000  ", "01", "  ", 0, 2, 2) + "  DB 1 \r\n" +
                         fields("00000001  ", "02", "  ", 0, 3, 3) + "  DB 2\r\n" +
                         fields("00000002  ", "03", "  ", 0, 4, 4) + "  DB 3 ; listed\n" +
                         fields(no_location, "", "  ", 0, 5, 5) + "  END\r\n";
  EXPECT_EQ(run.body(), expected);
}

TEST(StatementLines, TabsAreCopiedWithoutAPageWidth) {
  ListingRun run;
  run.assemble("X\tEQU 5\n\tEND\n", {"-l", "-Xt"});
  std::string expected = fields("  00000005 ", "", "  ", 0, 1, 1) + "X\tEQU 5\n" +
                         fields(no_location, "", "  ", 0, 2, 2) + "\tEND\n";
  EXPECT_EQ(run.body(), expected);
}

TEST(StatementLines, TabsExpandToColumnsFortyEightPlusEightUnderAPageWidth) {
  ListingRun run;
  run.assemble("X\tEQU 5\n\tEND\n", {"-lw100", "-Xt"});
  // "X" stands in column 59; the tab fills 60 to 63.  A tab in column 59
  // fills 59 to 63.  The next character stands in column 64 = 48 + 2 * 8.
  std::string expected = fields("  00000005 ", "", "  ", 0, 1, 1) + "X    EQU 5\n" +
                         fields(no_location, "", "  ", 0, 2, 2) + "     END\n";
  EXPECT_EQ(run.body(), expected);
}

TEST(StatementLines, LongSourceLinesWrapBeforeTheBytesContinue) {
  ListingRun run;
  run.assemble("CODE1 SECTION CODE\n  DB 1,2,3,4,5,6,7,8,9,10,11,12\n  END\n", {"-lw72", "-Xt"});
  // Width 72: a line holds 71 characters, 12 of them source text.
  std::string expected = fields(no_location, "", "  ", 0, 1, 1) + "CODE1 SECTIO\r\n" +
                         blanks(59) + "N CODE\n" +
                         fields("00000000  ", "0102030405060708090A", "  ", 0, 2, 2) +
                         "  DB 1,2,3,4\r\n" + blanks(59) + ",5,6,7,8,9,1\r\n" + blanks(59) +
                         "0,11,12\n" + byte_line("0B0C") + fields(no_location, "", "  ", 0, 3, 3) +
                         "  END\n";
  EXPECT_EQ(run.body(), expected);
}

TEST(StatementLines, WrappingNeverSplitsADoubleByteCharacter) {
  ListingRun run;
  run.assemble(
      "CODE1 SECTION CODE\n"
      "  DB 1 ; ab\x82\xA0" "cd\n"
      "  DB 2 ; a\xE0\x40" "cd\n"
      "  END\n",
      {"-lw72", "-J", "-Xt"});
  // Line 2: the lead byte would stand in column 70, the last one; it moves.
  // Line 3: lead and second byte fill columns 69 and 70.
  std::string expected = fields(no_location, "", "  ", 0, 1, 1) + "CODE1 SECTIO\r\n" +
                         blanks(59) + "N CODE\n" + fields("00000000  ", "01", "  ", 0, 2, 2) +
                         "  DB 1 ; ab\r\n" + blanks(59) + "\x82\xA0" "cd\n" +
                         fields("00000001  ", "02", "  ", 0, 3, 3) + "  DB 2 ; a\xE0\x40\r\n" +
                         blanks(59) + "cd\n" + fields(no_location, "", "  ", 0, 4, 4) + "  END\n";
  EXPECT_EQ(run.body(), expected);
}

TEST(StatementLines, IncludedLinesShowTheirLevelAndBothLineNumbers) {
  ListingRun run;
  run.write("inc.asm", "  DB 7\n  DB 8\n");
  run.assemble("CODE1 SECTION CODE\n$INCLUDE \"inc.asm\"\n  DB 2\n  END\n", {"-l", "-Xt"});
  std::string expected = fields(no_location, "", "  ", 0, 1, 1) + "CODE1 SECTION CODE\n" +
                         fields(no_location, "", "  ", 0, 2, 2) + "$INCLUDE \"inc.asm\"\n" +
                         fields("00000000  ", "07", "  ", 1, 1, 3) + "  DB 7\n" +
                         fields("00000001  ", "08", "  ", 1, 2, 4) + "  DB 8\n" +
                         fields("00000002  ", "02", "  ", 0, 3, 5) + "  DB 2\n" +
                         fields(no_location, "", "  ", 0, 4, 6) + "  END\n";
  EXPECT_EQ(run.body(), expected);
}

TEST(StatementLines, RelocatableDataIsMarked) {
  ListingRun run;
  run.assemble("CODE1 SECTION CODE\nSTART:\n  DW START\n  DW 5\n  END\n", {"-l", "-Xt"});
  std::string body = run.body();
  EXPECT_NE(body.find(fields("00000000  ", "0000", "R ", 0, 3, 3) + "  DW START\n"), std::string::npos)
      << body;
  EXPECT_NE(body.find(fields("00000002  ", "0500", "  ", 0, 4, 4) + "  DW 5\n"), std::string::npos)
      << body;
}

TEST(StatementLines, InstructionsWithFieldsForTheLinkerAreMarked) {
  ListingRun run;
  run.assemble("  EXTERN EXT\nCODE1 SECTION CODE\n  CALL EXT\n  DI\n  END\n", {"-l", "-Xt"});
  std::string body = run.body();
  std::size_t call = body.find("  CALL EXT\n");
  std::size_t di = body.find("  DI\n");
  ASSERT_NE(call, std::string::npos) << body;
  ASSERT_NE(di, std::string::npos) << body;
  // Columns 31 and 32 of each line.
  EXPECT_EQ(body.substr(call - 59 + 31, 2), "R ") << body;
  EXPECT_EQ(body.substr(di - 59 + 31, 2), "  ") << body;
}

TEST(StatementLines, CtrlZEndsTheSource) {
  ListingRun run;
  run.assemble("CODE1 SECTION CODE\n  DB 1\n  END\x1A garbage\nmore\n", {"-l", "-Xt"});
  std::string expected = fields(no_location, "", "  ", 0, 1, 1) + "CODE1 SECTION CODE\n" +
                         fields("00000000  ", "01", "  ", 0, 2, 2) + "  DB 1\n" +
                         fields(no_location, "", "  ", 0, 3, 3) + "  END\r\n";
  EXPECT_EQ(run.body(), expected);
}

TEST(StatementLines, FilledGapsAreReportedInLinesEndingInLineFeed) {
  ListingRun run;
  run.assemble(
      "CODE1 SECTION CODE\n"
      "  DB 1\n"
      "  ORG 4\n"
      "  ALIGN 16\n"
      "  ORG 0x30\n"
      "  ORG 0x3A\n"
      "  END\n",
      {"-l", "-Fa"});
  // ORG reports its gap before its line, ALIGN after it; gaps of more than
  // ten bytes show the fill byte once and a repeat line.
  std::string expected = fields(no_location, "", "  ", 0, 1, 1) + "CODE1 SECTION CODE\n" +
                         fields("00000000  ", "01", "  ", 0, 2, 2) + "  DB 1\n" +
                         "00000001  000000\n" +
                         fields("00000004  ", "", "  ", 0, 3, 3) + "  ORG 4\n" +
                         fields("00000004  ", "", "  ", 0, 4, 4) + "  ALIGN 16\n" +
                         "00000004  00\n" + "          (repeat 12)\n" +
                         "00000010  00\n" + "          (repeat 32)\n" +
                         fields("00000030  ", "", "  ", 0, 5, 5) + "  ORG 0x30\n" +
                         "00000030  00000000000000000000\n" +
                         fields("0000003A  ", "", "  ", 0, 6, 6) + "  ORG 0x3A\n" +
                         fields(no_location, "", "  ", 0, 7, 7) + "  END\n";
  EXPECT_EQ(run.body(), expected);
}

TEST(StatementLines, NoFillReportWithoutTheFillOption) {
  ListingRun run;
  run.assemble("CODE1 SECTION CODE\n  DB 1\n  ORG 4\n  END\n", {"-l"});
  EXPECT_EQ(run.body().find("00000001  "), std::string::npos) << run.body();
}

}  // namespace
}  // namespace koral
