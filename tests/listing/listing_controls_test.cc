// $TITLE, $EJECT, $LIST, $NOLIST, $SAVE and $RESTORE in whole runs, with
// their warnings 502, 510, 511 and 512 and the -T option.
#include <gtest/gtest.h>

#include "listing/listing_test_support.h"

namespace koral {
namespace {

using listing_test::fields;
using listing_test::ListingRun;
using listing_test::no_location;

std::string header(int page, std::string_view title) {
  char text[64];
  std::snprintf(text, sizeof text, "[Page %5d]  ", page);
  return "\fKORAL Relocatable Assembler (32) V1.0b  " + std::string(text) + std::string(title) + "\r\n\r\n";
}

std::size_t count_of(const std::string& text, std::string_view part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(ListingControls, NolistHidesStatementsWithoutDiagnostics) {
  ListingRun run;
  run.assemble(
      "CODE1 SECTION CODE\n"
      "$NOLIST\n"
      "  DB 3\n"
      "  DB 300\n"
      "$LIST\n"
      "  DB 4\n"
      "  END\n",
      {"-l", "-Xt"});
  std::string expected = fields(no_location, "", "  ", 0, 1, 1) + "CODE1 SECTION CODE\n" +
                         fields("00000001  ", "2C", "  ", 0, 4, 4) + "  DB 300\n" +
                         run.path("t.asm") + " 4 : ASMKORAL-Warning-501 : Operand value is out of range\r\n" +
                         fields(no_location, "", "  ", 0, 5, 5) + "$LIST\n" +
                         fields("00000002  ", "04", "  ", 0, 6, 6) + "  DB 4\n" +
                         fields(no_location, "", "  ", 0, 7, 7) + "  END\n";
  EXPECT_EQ(run.body(), expected);
}

TEST(ListingControls, RestoreSwitchesTheListingBackOn) {
  ListingRun run;
  run.assemble(
      "CODE1 SECTION CODE\n"
      "$SAVE\n"
      "$NOLIST\n"
      "  DB 1\n"
      "$RESTORE\n"
      "  DB 2\n"
      "  END\n",
      {"-l", "-Xt"});
  std::string expected = fields(no_location, "", "  ", 0, 1, 1) + "CODE1 SECTION CODE\n" +
                         fields(no_location, "", "  ", 0, 2, 2) + "$SAVE\n" +
                         fields(no_location, "", "  ", 0, 5, 5) + "$RESTORE\n" +
                         fields("00000001  ", "02", "  ", 0, 6, 6) + "  DB 2\n" +
                         fields(no_location, "", "  ", 0, 7, 7) + "  END\n";
  EXPECT_EQ(run.body(), expected);
}

TEST(ListingControls, SaveStackOverflowAndUnderflowWarn) {
  ListingRun run;
  std::string source = "$RESTORE\n";
  for (int i = 0; i < 9; ++i) source += "$SAVE\n";
  source += "  END\n";
  int status = run.assemble(source, {"-l", "-Xt"});
  EXPECT_EQ(status, 0);
  const std::string name = run.path("t.asm");
  EXPECT_EQ(run.stderr_text, name + " 1 : ASMKORAL-Warning-512 : Save stack overflow\n" + name +
                                 " 10 : ASMKORAL-Warning-512 : Save stack overflow\n");
  EXPECT_EQ(run.a->listing.saved_count, 8);
}

TEST(ListingControls, SaveAndRestoreWorkWithoutAListing) {
  ListingRun run;
  run.assemble("$RESTORE\n  END\n", {"-Xt"});
  EXPECT_EQ(run.stderr_text, run.path("t.asm") + " 1 : ASMKORAL-Warning-512 : Save stack overflow\n");
}

TEST(ListingControls, TitleStartsANewPageWithTheTitleInItsHeader) {
  ListingRun run;
  run.assemble("CODE1 SECTION CODE\n$TITLE \"MAIN LOOP\"\n  DB 1\n  END\n", {"-l", "-Xt"});
  std::string expected = fields(no_location, "", "  ", 0, 1, 1) + "CODE1 SECTION CODE\n" +
                         header(2, "MAIN LOOP") + fields(no_location, "", "  ", 0, 2, 2) +
                         "$TITLE \"MAIN LOOP\"\n" + fields("00000000  ", "01", "  ", 0, 3, 3) +
                         "  DB 1\n" + fields(no_location, "", "  ", 0, 4, 4) + "  END\n";
  EXPECT_EQ(run.body(), expected);
}

TEST(ListingControls, FirstPageKeepsItsDiagnosticsWhenTheFirstLineIsATitle) {
  ListingRun run;
  run.assemble("$TITLE \"T\"\n  END\n", {"-l", "-Xt", "-Fa", "-Fc"});
  std::string expected = "ASMKORAL-Warning-519 : Ignored option '-Fc'\r\n\r\n" +
                         std::string(listing_test::headings) + header(2, "T") +
                         fields(no_location, "", "  ", 0, 1, 1) + "$TITLE \"T\"\n";
  EXPECT_NE(run.listing.find(expected), std::string::npos) << run.listing;
}

TEST(ListingControls, LongTitlesAreCutToSixtyCharacters) {
  const std::string seventy = "0123456789ABCDEFGHIJ0123456789ABCDEFGHIJ0123456789ABCDEFGHIJ0123456789";
  ListingRun run;
  run.assemble("$TITLE \"" + seventy + "\"\n  END\n", {"-l", "-Xt"});
  EXPECT_EQ(run.stderr_text, run.path("t.asm") + " 1 : ASMKORAL-Warning-502 : Too long title\n");
  EXPECT_EQ(run.a->listing.title, seventy.substr(0, 60));
  EXPECT_NE(run.listing.find(header(2, seventy.substr(0, 60))), std::string::npos) << run.listing;
}

TEST(ListingControls, TitleIsIgnoredUnderT) {
  ListingRun run;
  run.assemble("$TITLE \"MAIN LOOP\"\n  END\n", {"-l", "-T", "-Xt"});
  EXPECT_EQ(run.stderr_text, "");
  EXPECT_EQ(run.a->listing.title, "");
  // The only page break is the one before the symbol table.
  EXPECT_EQ(count_of(run.listing, "\f"), 1u);
  EXPECT_NE(run.listing.find(header(2, "")), std::string::npos);
}

TEST(ListingControls, TitleWithoutListingOptionsIsIgnored) {
  ListingRun run;
  run.assemble("$TITLE \"MAIN LOOP\"\n  END\n", {"-Xt"});
  EXPECT_EQ(run.stderr_text, run.path("t.asm") + " 1 : ASMKORAL-Warning-510 : Ignored this TITLE\n");
}

TEST(ListingControls, TitleWithTheListingSwitchedOffIsIgnored) {
  ListingRun run;
  run.assemble("$NOLIST\n$TITLE \"MAIN LOOP\"\n$LIST\n  END\n", {"-l", "-Xt"});
  EXPECT_EQ(run.stderr_text, run.path("t.asm") + " 2 : ASMKORAL-Warning-510 : Ignored this TITLE\n");
  EXPECT_EQ(run.a->listing.title, "");
}

TEST(ListingControls, EjectStartsANewPageAfterItsOwnLine) {
  ListingRun run;
  run.assemble("CODE1 SECTION CODE\n$EJECT\n  DB 1\n  END\n", {"-lp33", "-Xt"});
  std::string expected = fields(no_location, "", "  ", 0, 1, 1) + "CODE1 SECTION CODE\n" +
                         fields(no_location, "", "  ", 0, 2, 2) + "$EJECT\n" + header(2, "") +
                         fields("00000000  ", "01", "  ", 0, 3, 3) + "  DB 1\n" +
                         fields(no_location, "", "  ", 0, 4, 4) + "  END\n";
  EXPECT_EQ(run.body(), expected);
  EXPECT_EQ(run.stderr_text, "");
}

TEST(ListingControls, EjectNeedsAnExplicitPageLength) {
  ListingRun run;
  run.assemble("CODE1 SECTION CODE\n$EJECT\n  DB 1\n  END\n", {"-l", "-Xt"});
  EXPECT_EQ(run.stderr_text, run.path("t.asm") + " 2 : ASMKORAL-Warning-511 : Ignored this EJECT\n");
  std::string expected = fields(no_location, "", "  ", 0, 1, 1) + "CODE1 SECTION CODE\n" +
                         fields(no_location, "", "  ", 0, 2, 2) + "$EJECT\n" + run.path("t.asm") +
                         " 2 : ASMKORAL-Warning-511 : Ignored this EJECT\r\n" +
                         fields("00000000  ", "01", "  ", 0, 3, 3) + "  DB 1\n" +
                         fields(no_location, "", "  ", 0, 4, 4) + "  END\n";
  EXPECT_EQ(run.body(), expected);
}

TEST(ListingControls, EjectWithTheListingSwitchedOffWarnsOnANewPage) {
  ListingRun run;
  run.assemble("$NOLIST\n$EJECT\n$LIST\n  END\n", {"-lp33", "-Xt"});
  // The $EJECT line is written without being counted; the diagnostic of an
  // $EJECT statement begins a page of its own.
  std::string expected = fields(no_location, "", "  ", 0, 2, 2) + "$EJECT\n" + header(2, "") +
                         run.path("t.asm") + " 2 : ASMKORAL-Warning-511 : Ignored this EJECT\r\n" +
                         fields(no_location, "", "  ", 0, 3, 3) + "$LIST\n" +
                         fields(no_location, "", "  ", 0, 4, 4) + "  END\n";
  EXPECT_EQ(run.body(), expected);
}

}  // namespace
}  // namespace koral
