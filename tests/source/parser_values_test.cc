// The parser's token values: rows of a per-statement table, which a bad line
// does not grow.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "driver/assembly.h"
#include "support/whole_run.h"

namespace koral {
namespace {

TEST(ParserValues, ALongBadLineSharesOneRowAndTheNextLinesAreParsed) {
  test::ScratchFolder folder;
  {
    std::ofstream source(folder.path() + "/bad.asm", std::ios::binary);
    source << "code SECTION CODE\n"
           << " LD " << std::string(200000, ',') << "\n"
           << " LD A,B ; fine\n"
           << " DB undefined_name\n"
           << " END\n";
  }
  Assembly a;
  test::RunOutput run = test::run_in_folder(a, folder.path(), {"-$", "-Xt", "bad.asm"});
  EXPECT_EQ(run.status, 16);
  EXPECT_EQ(run.err,
            "bad.asm 2 : ASMKORAL-Error-200 : Syntax error\n"
            "bad.asm 4 : ASMKORAL-Error-221 : Undefined symbol\n");
  // The longest good statement here has a handful of tokens.
  EXPECT_LT(a.lexer.tokens.capacity(), 64u);
}

// Values read long before the rule that uses them stay valid: the section
// name comes before a long expression of the same statement.
TEST(ParserValues, AValueReadBeforeALongExpressionIsStillTheTokensValue) {
  test::ScratchFolder folder;
  // 2000 tokens of parentheses around 45150, which build no expression node.
  const std::string sum = std::string(1000, '(') + "45150" + std::string(1000, ')');
  {
    std::ofstream source(folder.path() + "/long.asm", std::ios::binary);
    source << "far SECTION CODE ABS=" << sum << "\n"
           << "here: NOP\n"
           << "LEN EQU " << sum << "\n"
           << " DW LEN\n"
           << " END\n";
  }
  Assembly a;
  test::RunOutput run = test::run_in_folder(a, folder.path(), {"-$", "-l", "long.asm"});
  EXPECT_EQ(run.status, 0) << run.err;
  std::ifstream listing(folder.path() + "/long.lst");
  std::string text((std::istreambuf_iterator<char>(listing)), std::istreambuf_iterator<char>());
  // 45150 is 0xB05E: the start of the section named "far", where NOP lies,
  // and the word LEN, low byte first.
  std::size_t section_row = text.find("\nfar ");
  ASSERT_NE(section_row, std::string::npos) << text;
  std::string row = text.substr(section_row + 1, text.find('\n', section_row + 1) - section_row - 1);
  EXPECT_NE(row.find("SEC"), std::string::npos) << row;
  EXPECT_NE(row.find("0000B05E"), std::string::npos) << row;
  EXPECT_NE(text.find("\n0000B05E  00 "), std::string::npos) << text;
  EXPECT_NE(text.find("5EB0"), std::string::npos) << text;
}

}  // namespace
}  // namespace koral
