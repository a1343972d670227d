// Identifiers, reserved words and the modes they switch on; operators; the
// operand pre-scan; the sign counter.
#include "source/lexer_fixture.h"

namespace koral::testing {

namespace {

struct LineCase {
  const char* line;
  const char* tokens;
};

class TokenLineTest : public LexerFixture, public ::testing::WithParamInterface<LineCase> {};

}  // namespace

TEST_P(TokenLineTest, GivesTheTokens) {
  EXPECT_EQ(tokens_of(GetParam().line), GetParam().tokens) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Words, TokenLineTest,
    ::testing::Values(
        LineCase{"nop", "MN(1000)"},
        LineCase{"Nop", "MN(1000)"},
        LineCase{"NOP:", "MN(1000) :"},
        LineCase{"LOOP: J NZ,LOOP", "ID(LOOP) : MN(1047) COND(5) , ID(LOOP)"},
        LineCase{"Loop LOOP loop", "ID(Loop) ID(LOOP) ID(loop)"},
        LineCase{"ld a,sp", "MN(1022) REG(73) , REG(191)"},
        LineCase{"ld t,z", "MN(1022) COND(0) , COND(3)"},
        LineCase{"X SECTION CODE SMALL", "ID(X) SECTION(0) ID(CODE) MODEL(8)"},
        LineCase{"DD 1", "DATA(320)"  " INT(+1,10)"},
        LineCase{"DSD 1", "SPACE(331) INT(+1,10)"},
        LineCase{"DFB 1", "DFB(322) INT(+1,10)"},
        LineCase{"INCLUDE TITLE", "RCTL(0) RCTL(0)"},
        LineCase{"$ej", "CTL_EJECT(0)"},
        LineCase{"_a.b'c", "ID(_a.b'c)"},
        LineCase{".L1: NOP", "ID(.L1) : MN(1000)"},
        LineCase{"DB $+4", "DB(0) ID($) + INT(+4,10)"},
        LineCase{"DB $x", "DB(0) $ ID(x)"},
        LineCase{"DB X:8", "DB(0) ID(X) : INT(+8,10)"},
        LineCase{"DB :X", "DB(0) : ID(X)"},
        LineCase{"DB 1<<2>>3<4>5", "DB(0) INT(+1,10) << INT(+2,10) >> INT(+3,10) < INT(+4,10) > INT(+5,10)"},
        LineCase{"DB a-b", "DB(0) REG(73) - REG(74)"},
        LineCase{"MODULE my-mod.x", "MODULE(0) MOD(my-mod.x)"},
        LineCase{"MODULE nop", "MODULE(0) MOD(nop)"},
        LineCase{"MODULE 12", "MODULE(0) INT(+12,10)"},
        LineCase{"DB my-mod", "DB(0) ID(my) - ID(mod)"},
        LineCase{"SYMBOL_T 1, NZ, nz, 2", "DEBUG_TYPE(316) INT(+1,10) , ID(NZ) , ID(nz) , INT(+2,10)"},
        LineCase{"LINE \"f\", 1, 2, 3", "DEBUG(312) STR(f) , INT(+1,10) , INT(+2,10) , INT(+3,10)"},
        LineCase{"DB ABS SIZEOF STARTOF CODE_ADDR", "DB(0) ABS(280) SIZEOF(0) STARTOF(0) CODE_ADDR(0)"},
        LineCase{"FDATAX FIMXM(1)", "FDATAX(291) FFUNC(4) ( INT(+1,10) )"},
        LineCase{"DB 1 ; comment (", "DB(0) INT(+1,10)"},
        LineCase{"   ", ""}));

INSTANTIATE_TEST_SUITE_P(
    BitSuffix, TokenLineTest,
    ::testing::Values(
        LineCase{"SET A.3", "MN(1019) REG(73) . INT(+3,10)"},
        LineCase{"clr (HL).B", "MN(1018) [ REG(187) ] . REG(74)"},
        LineCase{"TEST [IX+2].7", "MN(1021) [ REG(188) + INT(+2,10) ] . INT(+7,10)"},
        LineCase{"LD CF,X.3", "MN(1022) REG(266) , ID(X.3)"},
        LineCase{"XOR A.3,B", "MN(1032) REG(73) . INT(+3,10) , REG(74)"},
        LineCase{"INC A.3", "MN(1023) ID(A.3)"},
        LineCase{"X: SET A.3", "ID(X) : MN(1019) REG(73) . INT(+3,10)"},
        LineCase{"DB A.3", "DB(0) ID(A.3)"},
        LineCase{"SET .A", "MN(1019) ID(.A)"}));

INSTANTIATE_TEST_SUITE_P(
    MemoryOperands, TokenLineTest,
    ::testing::Values(
        LineCase{"LD A,(HL)", "MN(1022) REG(73) , [ REG(187) ]"},
        LineCase{"LD A,[HL]", "MN(1022) REG(73) , [ REG(187) ]"},
        LineCase{"LD A,(1)+2", "MN(1022) REG(73) , ( INT(+1,10) ) + INT(+2,10)"},
        LineCase{"LD ( X ) , ( (Y) ) ; (Z)", "MN(1022) [ ID(X) ] , [ ( ID(Y) ) ]"},
        LineCase{"LD A,2*(X)", "MN(1022) REG(73) , INT(+2,10) * ( ID(X) )"},
        LineCase{"LD A,(X)(Y)", "MN(1022) REG(73) , ( ID(X) ) ( ID(Y) )"},
        LineCase{"CALL (X+')')", "MN(1038) [ ID(X) + INT(29,16) ]"},
        LineCase{"DB (1)", "DB(0) ( INT(+1,10) )"},
        LineCase{"X: JP (HL)", "ID(X) : MN(1039) [ REG(187) ]"},
        // An unbalanced line is not rewritten.
        LineCase{"LD A,(HL))", "MN(1022) REG(73) , ( REG(187) ) )"}));

using LexerModes = LexerFixture;

TEST_F(LexerModes, CarriageReturnsAreDropped) {
  // The character after a carriage return is read in its place, even inside
  // a word.
  open_text("AB\rCD EQU 1\r\nLD A,\rB\r\nDB LD\rA, 1\r2\r\n");
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].tokens, "ID(ABCD) EQU(0) INT(+1,10)");
  EXPECT_EQ(lines[1].tokens, "MN(1022) REG(73) , REG(74)");
  EXPECT_EQ(lines[2].tokens, "DB(0) ID(LDA) , INT(+12,10)");
}

struct SignCase {
  const char* line;
  int32_t count;
};

class SignCounterTest : public LexerFixture, public ::testing::WithParamInterface<SignCase> {};

TEST_P(SignCounterTest, CountsSignsRightAfterOperators) {
  open_text(std::string(GetParam().line) + "\n");
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].sign_count, GetParam().count) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Signs, SignCounterTest,
    ::testing::Values(SignCase{"DB 5 * -3", 1}, SignCase{"DB 5 * (-3)", 0}, SignCase{"DB ~-1", 1},
                      SignCase{"DB -1, +2", 0}, SignCase{"DB 1 - - 2 + +3", 2},
                      SignCase{"DB 1<<-31", 1}, SignCase{"DB 1>>+1 | -2", 2},
                      SignCase{"DB 1%-2&-3^-4/-5", 4}, SignCase{"DB X:-3", 0},
                      SignCase{"LD A,[HL+]", 0}));

// The operand pre-scan checks the balance of parentheses.
INSTANTIATE_TEST_SUITE_P(
    Parentheses, LineDiagnostics,
    ::testing::Values(DiagnosticsCase{"DB (1+(2))", {}}, DiagnosticsCase{"DB (1", {205}},
                      DiagnosticsCase{"DB 1)", {205}}, DiagnosticsCase{"DB (1,2)", {205}},
                      DiagnosticsCase{"DB ')', \"((\"", {}}, DiagnosticsCase{"DB \"\\\"(\"", {}},
                      DiagnosticsCase{"DB X' , (1)", {}}, DiagnosticsCase{"DB 1 ; (", {}},
                      DiagnosticsCase{"DB 1) ; only one error for (", {205}},
                      DiagnosticsCase{"LD A,(HL", {205}}));

TEST_F(LexerModes, MalformedCharactersMarkTheStatementUnlessAccepted) {
  std::string text = "DB 1 ; caf\xC3\xA9\nDB 2\nDB 3\x01\n";
  open_text(text);
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(lines[0].syntax_error);
  EXPECT_FALSE(lines[1].syntax_error);
  EXPECT_TRUE(lines[2].syntax_error);

  assembly = std::make_unique<Assembly>();
  a().run.options |= opt_any_characters;
  open_text(text);
  lines = lex_lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_FALSE(lines[0].syntax_error);
  EXPECT_FALSE(lines[2].syntax_error);
  EXPECT_EQ(lines[2].tokens, "DB(0) INT(+3,10) \x01");
}

// Every character code (but the line end and the two end-of-text marks,
// Ctrl-Z and 0xFF) at places that the line scan takes sixteen at a time, in
// the last whole block, and in the tail after it.
TEST_F(LexerModes, EveryMalformedCharacterIsFoundAnywhereInTheLine) {
  for (std::size_t at : {7u, 16u, 31u, 37u}) {
    std::string text;
    for (int c = 1; c < 256; ++c) {
      if (c == '\n' || c == 26 || c == 255) continue;
      std::string line = "DB 1 ; " + std::string(40, 'x');
      line[at] = static_cast<char>(c);
      text += line + "\n";
    }
    assembly = std::make_unique<Assembly>();
    open_text(text);
    std::vector<LexedLine> lines = lex_lines();
    ASSERT_EQ(lines.size(), 252u);
    std::size_t row = 0;
    for (int c = 1; c < 256; ++c) {
      if (c == '\n' || c == 26 || c == 255) continue;
      bool malformed = c <= 8 || (c >= 14 && c <= 31) || c >= 128;
      EXPECT_EQ(lines[row++].syntax_error, malformed) << "code " << c << " at " << at;
    }
  }
}

TEST_F(LexerModes, ANulCharacterEndsTheInput) {
  open_text(std::string("DB 1 \0 2\nNOP\n", 13));
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].tokens, "DB(0) INT(+1,10)");
  TokenValue v;
  EXPECT_EQ(next_token(a(), v), END_OF_INPUT);
}

TEST_F(LexerModes, TextAfterEndIsSkippedWithAWarning) {
  open_text("END\n; a comment\n\nNOP\n  LD A,B ; x\xC3\xA9\n");
  TokenValue v;
  ASSERT_EQ(next_token(a(), v), END);
  ASSERT_EQ(next_token(a(), v), NEWLINE);
  set_after_end(a());  // what the END handler does
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 4u);
  for (const LexedLine& line : lines) EXPECT_EQ(line.tokens, "");
  EXPECT_TRUE(lines[0].diagnostics.empty());
  EXPECT_TRUE(lines[1].diagnostics.empty());
  EXPECT_EQ(lines[2].diagnostics, std::vector<int>{507});
  EXPECT_EQ(lines[3].diagnostics, std::vector<int>{507});
  EXPECT_EQ(lines[3].line_in_file, 5);
  EXPECT_FALSE(lines[3].syntax_error);  // the skipped text is not read
}

TEST_F(LexerModes, PerStatementStateStartsAfreshOnEveryLine) {
  open_text("SET A.3 ; bit mode\nDB A.3\nSYMBOL_T NZ\nDB NZ\n$INCLUDE\nDB \"a\"\n");
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[1].tokens, "DB(0) ID(A.3)");
  EXPECT_EQ(lines[3].tokens, "DB(0) COND(5)");
  EXPECT_EQ(lines[5].tokens, "DB(0) STR(a)");
}

}  // namespace koral::testing
