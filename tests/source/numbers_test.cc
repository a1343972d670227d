// Numeric and character constants as the lexer delivers them.
#include "source/lexer_fixture.h"

namespace koral::testing {

namespace {

struct NumberCase {
  const char* source;
  const char* tokens;        // of the line "DB <source>", DB omitted
  std::vector<int> diagnostics;
  bool suffix_notation = false;
};

class NumberTest : public LexerFixture, public ::testing::WithParamInterface<NumberCase> {};

}  // namespace

TEST_P(NumberTest, DeliversTextRadixAndDiagnostics) {
  const NumberCase& c = GetParam();
  if (c.suffix_notation) a().run.options |= opt_suffix_numbers;
  open_text(std::string("DB ") + c.source + "\n");
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].tokens, std::string("DB(0) ") + c.tokens) << c.source;
  EXPECT_EQ(lines[0].diagnostics, c.diagnostics) << c.source;
}

INSTANTIATE_TEST_SUITE_P(
    DefaultNotation, NumberTest,
    ::testing::Values(
        NumberCase{"017", "INT(+17,8)", {}},
        NumberCase{"00", "INT(+0,8)", {}},
        NumberCase{"0", "INT(+0,10)", {}},
        NumberCase{"123", "INT(+123,10)", {}},
        NumberCase{"018", "INT(+1,8)", {202}},
        NumberCase{"0x1F", "INT(+1F,16)", {}},
        NumberCase{"0XabC", "INT(+abC,16)", {}},
        NumberCase{"0x", "INT(+,16)", {202}},
        NumberCase{"0y101", "INT(+101,2)", {}},
        NumberCase{"0Y", "INT(+,2)", {202}},
        NumberCase{"1.5", "FLT(+1.5,64)", {}},
        NumberCase{"1.5F", "FLT(+1.5,32)", {}},
        NumberCase{"1.5l", "FLT(+1.5,80)", {}},
        NumberCase{"12F", "FLT(+12,32)", {}},
        NumberCase{"2.", "FLT(+2.,64)", {}},
        NumberCase{"1e+5", "FLT(+1e+5,64)", {}},
        NumberCase{"1.25E-3", "FLT(+1.25E-3,64)", {}},
        NumberCase{"1e", "FLT(+1e,64)", {202}},
        NumberCase{"1e-", "FLT(+1e-,64)", {202}},
        NumberCase{"12H", "INT(+12,10)", {202}},
        NumberCase{"12b", "INT(+12,10)", {202}},
        NumberCase{"1.5.", "FLT(+1.5,64)", {202}},
        NumberCase{"0x1F.", "INT(+1F,16)", {202}},
        NumberCase{"017Q", "INT(+17,8)", {202}},
        // A floating suffix means nothing after a radix prefix.
        NumberCase{"0x1L", "INT(+1,16)", {202}},
        NumberCase{"1, 2", "INT(+1,10) , INT(+2,10)", {}},
        NumberCase{"4*-3", "INT(+4,10) * - INT(+3,10)", {}}));

INSTANTIATE_TEST_SUITE_P(
    SuffixNotation, NumberTest,
    ::testing::Values(
        NumberCase{"12H", "INT(+12,16)", {}, true},
        NumberCase{"0FFh", "INT(+0FF,16)", {}, true},
        NumberCase{"1EH", "INT(+1E,16)", {}, true},
        NumberCase{"101B", "INT(+101,2)", {}, true},
        NumberCase{"17Q", "INT(+17,8)", {}, true},
        NumberCase{"17o", "INT(+17,8)", {}, true},
        NumberCase{"99D", "INT(+99,10)", {}, true},
        NumberCase{"017", "INT(+017,10)", {}, true},
        NumberCase{"1E5", "FLT(+1E5,64)", {}, true},
        NumberCase{"1.5F", "FLT(+1.5,32)", {}, true},
        NumberCase{"2L", "FLT(+2,80)", {}, true},
        NumberCase{"1.5B", "FLT(+1.5,64)", {202}, true},
        NumberCase{"12G", "INT(+12,10)", {202}, true},
        NumberCase{"0x1F", "INT(+0,10)", {202}, true},
        NumberCase{"12H.", "INT(+12,16)", {202}, true},
        NumberCase{"12Hz", "INT(+12,16)", {202}, true}));

using NumberLimits = LexerFixture;

TEST_F(NumberLimits, AfterAnErrorTheRestOfTheLineIsSkipped) {
  open_text("DB 018, 5, \"x\"\nDB 7\n");
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].tokens, "DB(0) INT(+1,8)");
  EXPECT_EQ(lines[1].tokens, "DB(0) INT(+7,10)");
  EXPECT_TRUE(lines[1].diagnostics.empty());
}

// The floating format selected by the last reserved word against the
// constant's own.
struct FormatCase {
  const char* source;
  std::vector<int> diagnostics;
};

class FloatFormatTest : public LexerFixture, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(FloatFormatTest, WarnsWhenTheFormatsDiffer) {
  EXPECT_EQ(diagnostics_of(GetParam().source), GetParam().diagnostics) << GetParam().source;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FloatFormatTest,
    ::testing::Values(FormatCase{"FDATAS 1.5F", {}}, FormatCase{"FDATAS 1.5", {518}},
                      FormatCase{"FDATAS 1.5L", {518}}, FormatCase{"FDATAS 5", {518}},
                      FormatCase{"FDATAS 0", {}}, FormatCase{"FDATAD 1.5", {}},
                      FormatCase{"FDATAD 1.5F", {518}}, FormatCase{"fdatax 1.5L", {}},
                      FormatCase{"FDATAX 2.5", {518}}, FormatCase{"DB FIMS(1.5F)", {}},
                      FormatCase{"DB FIMXH(1.5)", {518}}, FormatCase{"DB FIMDL(1.5)", {}},
                      // A name looked up in between forgets the format.
                      FormatCase{"FDATAS X, 1.5", {}},
                      // After an error the line is not scanned further.
                      FormatCase{"FDATAS 018, 1.5", {202}}, FormatCase{"DB 1.5", {}}));

TEST_F(NumberLimits, ExponentBeyondTheFormatIsCutToItsLimit) {
  open_text("DB 1.0E39F\n");
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].tokens, "DB(0) FLT(+1.0E38,32)");
  EXPECT_EQ(lines[0].diagnostics, std::vector<int>{518});
}

// Character constants become hexadecimal integers of their bytes.
struct CharacterCase {
  const char* source;
  const char* tokens;
  std::vector<int> diagnostics;
};

class CharacterConstantTest : public LexerFixture,
                              public ::testing::WithParamInterface<CharacterCase> {};

TEST_P(CharacterConstantTest, GivesTheBytesFirstMostSignificant) {
  open_text(std::string("DB ") + GetParam().source + "\n");
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].tokens, std::string("DB(0) ") + GetParam().tokens) << GetParam().source;
  EXPECT_EQ(lines[0].diagnostics, GetParam().diagnostics) << GetParam().source;
}

INSTANTIATE_TEST_SUITE_P(
    Characters, CharacterConstantTest,
    ::testing::Values(CharacterCase{"'AB'", "INT(4142,16)", {}},
                      CharacterCase{"'A'", "INT(41,16)", {}},
                      CharacterCase{"''", "INT(,16)", {}},
                      CharacterCase{"'ABCDE'", "INT(42434445,16)", {500}},
                      CharacterCase{"'ABCDEFG'", "INT(44454647,16)", {500}},
                      CharacterCase{"'\\n'", "INT(0A,16)", {}},
                      CharacterCase{"'\\''", "INT(27,16)", {}},
                      CharacterCase{"'\\x'", "INT(,16)", {202}},
                      CharacterCase{"'\\xFF\\0'", "INT(FF00,16)", {}},
                      CharacterCase{"'a', 2", "INT(61,16) , INT(+2,10)", {}}));

TEST_F(NumberLimits, UnclosedCharacterConstantMarksTheStatement) {
  open_text("DB 'AB\nDB 'C'\n");
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].tokens, "DB(0) INT(4142,16)");
  EXPECT_TRUE(lines[0].syntax_error);
  EXPECT_FALSE(lines[1].syntax_error);
}

TEST_F(NumberLimits, WithoutEscapesABackslashIsACharacter) {
  a().run.options |= opt_no_escapes;
  EXPECT_EQ(tokens_of("DB '\\n'"), "DB(0) INT(5C6E,16)");
}

}  // namespace koral::testing
