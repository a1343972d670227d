// Numeric and character constants as the lexer delivers them.
#include "source/lexer_fixture.h"

namespace koral::testing {

namespace {

struct NumberCase {
  const char* source;
  const char* tokens;        // of the line "DB <source>", DB omitted
  std::vector<int> diagnostics;
  uint32_t options = 0;
};

constexpr uint32_t suffix = opt_suffix_numbers;

class NumberTest : public LexerFixture, public ::testing::WithParamInterface<NumberCase> {};

}  // namespace

TEST_P(NumberTest, DeliversTextRadixAndDiagnostics) {
  const NumberCase& c = GetParam();
  a().run.options |= c.options;
  open_text(std::string("DB ") + c.source + "\n");
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].tokens, std::string("DB(0) ") + c.tokens) << c.source;
  EXPECT_EQ(lines[0].diagnostics, c.diagnostics) << c.source;
}

INSTANTIATE_TEST_SUITE_P(
    DefaultNotation, NumberTest,
    ::testing::Values(
        NumberCase{"017", "INT(+17,8)", {}}, NumberCase{"00", "INT(+0,8)", {}},
        NumberCase{"0", "INT(+0,10)", {}}, NumberCase{"123", "INT(+123,10)", {}},
        NumberCase{"018", "INT(+1,8)", {202}}, NumberCase{"0x1F", "INT(+1F,16)", {}},
        NumberCase{"0XabC", "INT(+abC,16)", {}}, NumberCase{"0x", "INT(+,16)", {202}},
        NumberCase{"0y101", "INT(+101,2)", {}}, NumberCase{"0Y", "INT(+,2)", {202}},
        NumberCase{"1.5", "FLT(+1.5,64)", {}}, NumberCase{"1.5F", "FLT(+1.5,32)", {}},
        NumberCase{"1.5l", "FLT(+1.5,80)", {}}, NumberCase{"12F", "FLT(+12,32)", {}},
        NumberCase{"2.", "FLT(+2.,64)", {}}, NumberCase{"1e+5", "FLT(+1e+5,64)", {}},
        NumberCase{"1.25E-3", "FLT(+1.25E-3,64)", {}}, NumberCase{"1e", "FLT(+1e,64)", {202}},
        NumberCase{"1e-", "FLT(+1e-,64)", {202}}, NumberCase{"12H", "INT(+12,10)", {202}},
        NumberCase{"12b", "INT(+12,10)", {202}}, NumberCase{"1.5.", "FLT(+1.5,64)", {202}},
        NumberCase{"0x1F.", "INT(+1F,16)", {202}}, NumberCase{"017Q", "INT(+17,8)", {202}},
        // A floating suffix means nothing after a radix prefix.
        NumberCase{"0x1L", "INT(+1,16)", {202}},
        NumberCase{"1, 2", "INT(+1,10) , INT(+2,10)", {}},
        NumberCase{"4*-3", "INT(+4,10) * - INT(+3,10)", {}},
        // After an error the rest of the line is skipped.
        NumberCase{"018, 5, \"x\"", "INT(+1,8)", {202}},
        // An exponent beyond the format is cut to its limit.
        NumberCase{"1.0E39F", "FLT(+1.0E38,32)", {518}}));

// Character constants become hexadecimal integers of their bytes, the first
// most significant.
INSTANTIATE_TEST_SUITE_P(
    Characters, NumberTest,
    ::testing::Values(NumberCase{"'AB'", "INT(4142,16)", {}}, NumberCase{"'A'", "INT(41,16)", {}},
                      NumberCase{"''", "INT(,16)", {}},
                      NumberCase{"'ABCDE'", "INT(42434445,16)", {500}},
                      NumberCase{"'ABCDEFG'", "INT(44454647,16)", {500}},
                      NumberCase{"'\\n'", "INT(0A,16)", {}}, NumberCase{"'\\''", "INT(27,16)", {}},
                      NumberCase{"'\\x'", "INT(,16)", {202}},
                      NumberCase{"'\\xFF\\0'", "INT(FF00,16)", {}},
                      NumberCase{"'a', 2", "INT(61,16) , INT(+2,10)", {}},
                      // Without escapes a backslash is a character.
                      NumberCase{"'\\n'", "INT(5C6E,16)", {}, opt_no_escapes}));

INSTANTIATE_TEST_SUITE_P(
    SuffixNotation, NumberTest,
    ::testing::Values(
        NumberCase{"12H", "INT(+12,16)", {}, suffix}, NumberCase{"0FFh", "INT(+0FF,16)", {}, suffix},
        NumberCase{"1EH", "INT(+1E,16)", {}, suffix}, NumberCase{"101B", "INT(+101,2)", {}, suffix},
        NumberCase{"17Q", "INT(+17,8)", {}, suffix}, NumberCase{"17o", "INT(+17,8)", {}, suffix},
        NumberCase{"99D", "INT(+99,10)", {}, suffix}, NumberCase{"017", "INT(+017,10)", {}, suffix},
        NumberCase{"1E5", "FLT(+1E5,64)", {}, suffix}, NumberCase{"1.5F", "FLT(+1.5,32)", {}, suffix},
        NumberCase{"2L", "FLT(+2,80)", {}, suffix}, NumberCase{"1.5B", "FLT(+1.5,64)", {202}, suffix},
        NumberCase{"12G", "INT(+12,10)", {202}, suffix}, NumberCase{"0x1F", "INT(+0,10)", {202}, suffix},
        NumberCase{"12H.", "INT(+12,16)", {202}, suffix}, NumberCase{"12Hz", "INT(+12,16)", {202}, suffix}));

TEST_P(LineDiagnostics, AreReported) {
  EXPECT_EQ(diagnostics_of(GetParam().line), GetParam().diagnostics) << GetParam().line;
}

// The floating format selected by the last reserved word against the
// constant's own.
INSTANTIATE_TEST_SUITE_P(
    FloatFormats, LineDiagnostics,
    ::testing::Values(DiagnosticsCase{"FDATAS 1.5F", {}}, DiagnosticsCase{"FDATAS 1.5", {518}},
                      DiagnosticsCase{"FDATAS 1.5L", {518}}, DiagnosticsCase{"FDATAS 5", {518}},
                      DiagnosticsCase{"FDATAS 0", {}}, DiagnosticsCase{"FDATAD 1.5", {}},
                      DiagnosticsCase{"FDATAD 1.5F", {518}}, DiagnosticsCase{"fdatax 1.5L", {}},
                      DiagnosticsCase{"FDATAX 2.5", {518}}, DiagnosticsCase{"DB FIMS(1.5F)", {}},
                      DiagnosticsCase{"DB FIMXH(1.5)", {518}}, DiagnosticsCase{"DB FIMDL(1.5)", {}},
                      // A name looked up in between forgets the format.
                      DiagnosticsCase{"FDATAS X, 1.5", {}},
                      // After an error the line is not scanned further.
                      DiagnosticsCase{"FDATAS 018, 1.5", {202}}, DiagnosticsCase{"DB 1.5", {}}));

using NumberLimits = LexerFixture;

TEST_F(NumberLimits, UnclosedCharacterConstantMarksTheStatement) {
  open_text("DB 'AB\nDB 'C'\n");
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].tokens, "DB(0) INT(4142,16)");
  EXPECT_TRUE(lines[0].syntax_error);
  EXPECT_FALSE(lines[1].syntax_error);
}

}  // namespace koral::testing
