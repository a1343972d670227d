// The parser's token values: rows of a per-statement table, which a bad line
// does not grow.
#include <gtest/gtest.h>

#include <algorithm>

#include <fstream>
#include <string>

#include "driver/assembly.h"
#include "source/grammar_actions.h"
#include "source/lexer_fixture.h"
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

// A statement of many tokens: rows that no value on the parser stack refers
// to are dropped, and the values on the stack are renumbered to the rows of
// their own tokens.
class ParserValueRows : public testing::LexerFixture {};

TEST_F(ParserValueRows, ALongStatementKeepsTheRowsOfTheValuesOnTheStack) {
  std::string line;
  for (int i = 0; i < 5000; ++i) line += "n" + std::to_string(i) + " ";
  open_text(line + "\n");
  const std::vector<int> kept = {0, 7, 1500, 1501, 3999, 4990};
  std::vector<ParserValue> stack;
  for (int i = 0; i < 5000; ++i) {
    ParserValue value{};
    ASSERT_EQ(parser_next_token(a(), value, stack), IDENT) << i;
    if (std::find(kept.begin(), kept.end(), i) != kept.end()) stack.push_back(value);
    // The value of a rule (marked here by its tree) holds any number, which
    // may or may not be a row: it is never read as one.
    if (i % 1000 == 999) stack.push_back(ParserValue{static_cast<uint32_t>(i) * 977u % 3000u, 1, 0});
  }
  std::size_t checked = 0;
  for (const ParserValue& v : stack) {
    if (v.tree == 1) continue;
    ASSERT_LT(v.token, a().lexer.tokens.size());
    EXPECT_EQ(a().lexer.tokens[v.token].name, "n" + std::to_string(kept[checked])) << checked;
    ++checked;
  }
  EXPECT_EQ(checked, kept.size());
  EXPECT_LT(a().lexer.tokens.size(), 2100u);  // not 5000
}

}  // namespace
}  // namespace koral
