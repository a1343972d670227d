// Page accounting of the listing: page breaks at the page length, forced
// breaks, new titles, the page header and the first-page block.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "driver/assembly.h"
#include "listing/listing.h"
#include "source/statement_kinds.h"

namespace koral {
namespace {

class PageAccounting : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = std::tmpfile();
    ASSERT_NE(file_, nullptr);
    a.listing.file = file_;
    a.run.options |= opt_listing;
    a.run.pass = pass_final;
  }
  void TearDown() override {
    a.listing.file = nullptr;
    std::fclose(file_);
  }
  // As after the first-page block: the page count and line count it leaves.
  void after_first_page() {
    a.listing.first_page_written = true;
    a.listing.line_count = 7;
  }
  void line(const std::string& text) {
    account_line(a);
    listing_write(a, text + "\r\n");
  }
  std::string written() {
    std::fflush(file_);
    std::rewind(file_);
    std::string text;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file_)) > 0) text.append(buffer, got);
    return text;
  }

  std::unique_ptr<Assembly> run = std::make_unique<Assembly>();
  Assembly& a = *run;

 private:
  std::FILE* file_ = nullptr;
};

std::string page_head(int page, std::string_view title = "") {
  char text[64];
  std::snprintf(text, sizeof text, "[Page %5d]  ", page);
  return "\fKORAL Relocatable Assembler (32) V1.0b  " + std::string(text) + std::string(title) + "\r\n\r\n";
}

std::string numbered_lines(int first, int last) {
  std::string text;
  for (int i = first; i <= last; ++i) text += "L" + std::to_string(i) + "\r\n";
  return text;
}

TEST_F(PageAccounting, PagesOfThirtyThreeLinesHoldThirtyOneListingLines) {
  a.settings.page_length = 33;
  after_first_page();
  for (int i = 1; i <= 60; ++i) line("L" + std::to_string(i));
  // Page 1 has 7 lines counted: lines 8 to 32 take 25 more.
  std::string expected = numbered_lines(1, 25) + page_head(2) + numbered_lines(26, 56) +
                         page_head(3) + numbered_lines(57, 60);
  EXPECT_EQ(written(), expected);
  EXPECT_EQ(a.listing.page, 3);
  EXPECT_EQ(a.listing.line_count, 5);
}

TEST_F(PageAccounting, DefaultPageLengthWritesNoFormFeed) {
  after_first_page();
  for (int i = 1; i <= 2000; ++i) line("L");
  EXPECT_EQ(written().find('\f'), std::string::npos);
  EXPECT_EQ(a.listing.page, 1);
}

TEST_F(PageAccounting, ForcedBreakStartsTheNextLineOnANewPage) {
  after_first_page();
  line("L1");
  a.listing.forced_break = true;
  line("L2");
  line("L3");
  EXPECT_EQ(written(), "L1\r\n" + page_head(2) + "L2\r\nL3\r\n");
  EXPECT_FALSE(a.listing.forced_break);
  EXPECT_EQ(a.listing.line_count, 3);
}

TEST_F(PageAccounting, EjectRequestBreaksOneLineLater) {
  after_first_page();
  a.listing.eject_requested = true;
  line("L1");
  line("L2");
  EXPECT_EQ(written(), "L1\r\n" + page_head(2) + "L2\r\n");
  EXPECT_FALSE(a.listing.eject_requested);
}

TEST_F(PageAccounting, NewTitleStartsAPageWithTheTitle) {
  after_first_page();
  a.listing.title = "MAIN LOOP";
  a.listing.new_title_requested = true;
  line("L1");
  EXPECT_EQ(written(), page_head(2, "MAIN LOOP") + "L1\r\n");
  EXPECT_FALSE(a.listing.new_title_requested);
}

TEST_F(PageAccounting, NewTitleRequestIsIgnoredUnderT) {
  after_first_page();
  a.run.options |= opt_no_titles;
  a.listing.new_title_requested = true;
  line("L1");
  EXPECT_EQ(written(), "L1\r\n");
}

TEST_F(PageAccounting, LinesOfAnEjectStatementBeginAPageAndAreNotCounted) {
  after_first_page();
  a.run.statement_kind = statement_eject;
  line("W");
  EXPECT_EQ(written(), page_head(2) + "W\r\n");
  EXPECT_EQ(a.listing.line_count, 1);
}

TEST_F(PageAccounting, LinesLeftAndTopOfPage) {
  a.settings.page_length = 33;
  EXPECT_TRUE(listing_at_page_top(a));
  after_first_page();
  EXPECT_FALSE(listing_at_page_top(a));
  EXPECT_EQ(lines_left_on_page(a), 25);
  a.listing.line_count = 31;
  EXPECT_EQ(lines_left_on_page(a), 1);
}

TEST_F(PageAccounting, TitleIsCutToThePageWidth) {
  a.listing.title = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  a.run.options |= opt_page_width;
  a.settings.page_width = 72;
  a.listing.page = 12;
  write_page_header(a);
  // The header up to the title takes 54 columns; 18 are left.
  EXPECT_EQ(written(), "KORAL Relocatable Assembler (32) V1.0b  [Page    12]  ABCDEFGHIJKLMNOPQR\r\n");
}

TEST_F(PageAccounting, TitleIsWholeWithoutAPageWidth) {
  a.listing.title = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  write_page_header(a);
  EXPECT_EQ(written(), "KORAL Relocatable Assembler (32) V1.0b  [Page     1]  ABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n");
}

std::tm friday_fourth_of_december() {
  std::tm t{};
  t.tm_year = 126;
  t.tm_mon = 11;
  t.tm_mday = 4;
  t.tm_wday = 5;
  t.tm_hour = 15;
  t.tm_min = 30;
  return t;
}

TEST_F(PageAccounting, FirstPageBlock) {
  a.run.time_stamp = friday_fourth_of_december();
  a.run.command_line = "asmKORAL -l prog.asm";
  line("L1");
  std::string expected =
      "asmKORAL - Copyright (c) 2026 The asmKORAL project\r\n"
      "Fri Dec  4 15:30:00 2026\r\n"
      "KORAL Relocatable Assembler (32) V1.0b  [Page     1]  \r\n"
      "Runtime option : asmKORAL -l prog.asm\r\n"
      "\r\n"
      "Location  Object                           Ins        Line Source Statement\r\n"
      "\r\n"
      "L1\r\n";
  EXPECT_EQ(written(), expected);
  EXPECT_EQ(a.listing.line_count, 8);
}

TEST_F(PageAccounting, RuntimeOptionsAreCutUnderAPageWidth) {
  a.run.time_stamp = friday_fourth_of_december();
  a.run.options |= opt_page_width;
  a.settings.page_width = 72;
  std::string command(120, 'x');
  for (std::size_t i = 0; i < command.size(); i += 10) command[i] = static_cast<char>('0' + i / 10 % 10);
  a.run.command_line = command;
  write_first_page(a);
  // Pieces of 72 - 17 = 55 characters, later ones indented by 17 blanks.
  std::string expected_options = "Runtime option : " + command.substr(0, 55) + "\r\n" +
                                 std::string(17, ' ') + command.substr(55, 55) + "\r\n" +
                                 std::string(17, ' ') + command.substr(110) + "\r\n";
  EXPECT_NE(written().find(expected_options), std::string::npos) << written();
  EXPECT_EQ(a.listing.line_count, 7);
}

}  // namespace
}  // namespace koral
