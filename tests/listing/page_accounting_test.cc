// Page accounting of the listing: no paging at the default page length, and
// the first-page block with a day of the month of one digit.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "driver/assembly.h"
#include "listing/listing.h"

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

TEST_F(PageAccounting, DefaultPageLengthWritesNoFormFeed) {
  after_first_page();
  for (int i = 1; i <= 2000; ++i) line("L");
  EXPECT_EQ(written().find('\f'), std::string::npos);
  EXPECT_EQ(a.listing.page, 1);
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

}  // namespace
}  // namespace koral
