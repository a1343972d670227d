// String constants, their escape sequences and limits, and the file name of
// $INCLUDE.
#include "source/lexer_fixture.h"

namespace koral::testing {

namespace {

struct StringCase {
  const char* source;        // the string as written, quotes included
  std::string text;          // the bytes delivered
  std::vector<int> diagnostics;
};

class StringTest : public LexerFixture, public ::testing::WithParamInterface<StringCase> {};

// The text of the last STRING token of the next line, and the diagnostics
// pending after it.
std::string read_string(Assembly& a, std::vector<int>& diagnostics) {
  std::string text;
  TokenValue v;
  for (int token = next_token(a, v); token != NEWLINE && token != END_OF_INPUT;
       token = next_token(a, v))
    if (token == STRING) text.assign(v.text, static_cast<std::size_t>(v.length));
  diagnostics.clear();
  for (const PendingDiagnostic& p : a.diag.pending) diagnostics.push_back(p.code);
  return text;
}

}  // namespace

TEST_P(StringTest, DeliversTheBytesWithTheirLength) {
  const StringCase& c = GetParam();
  open_text(std::string("DB ") + c.source + "\n");
  std::vector<int> diagnostics;
  std::string text = read_string(a(), diagnostics);
  EXPECT_EQ(text, c.text) << c.source;
  EXPECT_EQ(diagnostics, c.diagnostics) << c.source;
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, StringTest,
    ::testing::Values(
        StringCase{"\"abc\"", "abc", {}},
        StringCase{"\"\"", "", {}},
        StringCase{"\"a\\x41\"", "aA", {}},
        StringCase{"\"\\x4a\\x4\"", "J\x04", {}},
        StringCase{"\"\\012\"", std::string("\0" "12", 3), {}},
        StringCase{"\"\\101\\7\"", "A\x07", {}},
        StringCase{"\"\\777\"", "\xFF", {516}},
        StringCase{"\"\\400\"", std::string("\0", 1), {516}},
        StringCase{"\"\\a\\b\\f\\n\\r\\t\\v\"", "\x07\x08\x0C\x0A\x0D\x09\x0B", {}},
        StringCase{"\"\\\"\\'\\?\\\\\"", "\"'?\\", {}},
        StringCase{"\"a\\qb\"", "ab", {516}},
        StringCase{"\"a\\8\"", "a", {516}},
        StringCase{"\"\\x\"", "", {202}},
        StringCase{"\"a;b\"", "a;b", {}},
        StringCase{"\"abc", "abc", {209}},
        StringCase{"\"abc\\", "abc", {516, 209}}));

using StringLimits = LexerFixture;

TEST_F(StringLimits, WithoutEscapesTheBackslashStays) {
  a().run.options |= opt_no_escapes;
  open_text("DB \"a\\x41\"\n");
  std::vector<int> diagnostics;
  std::string text = read_string(a(), diagnostics);
  EXPECT_EQ(text, "a\\x41");
}

TEST_F(StringLimits, DebugDirectivesTakeNoEscapes) {
  for (const char* word : {"FILE", "LINE", "SYMBOL_A", "SYMBOL_B", "SYMBOL_N"}) {
    assembly = std::make_unique<Assembly>();
    open_text(std::string(word) + " \"c:\\tmp\\new\", 1\nDB \"\\t\"\n");
    std::vector<int> diagnostics;
    EXPECT_EQ(read_string(a(), diagnostics), "c:\\tmp\\new") << word;
    // The next statement has its escapes again.
    EXPECT_EQ(read_string(a(), diagnostics), "\t") << word;
  }
}

TEST_F(StringLimits, LongestStringFitsOneMoreIsFatal) {
  // Also a line far longer than one buffer block.
  std::string longest(65533, 'x');
  open_text("DB \"" + longest + "\"\n");
  std::vector<int> diagnostics;
  std::string text = read_string(a(), diagnostics);
  EXPECT_EQ(text.size(), 65533u);
  EXPECT_TRUE(diagnostics.empty());

  assembly = std::make_unique<Assembly>();
  open_text("DB \"" + longest + "y\"\n");
  ::testing::internal::CaptureStderr();
  EXPECT_THROW(read_string(a(), diagnostics), RunAborted);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("Fatal-158"), std::string::npos);
}

TEST_F(StringLimits, StringsMayHoldNulBytes) {
  open_text(std::string("DB \"a\0b\"\n", 9));
  a().run.options |= opt_any_characters;
  std::vector<int> diagnostics;
  std::string text = read_string(a(), diagnostics);
  EXPECT_EQ(text, std::string("a\0b", 3));
}

// $INCLUDE takes a file name: quoted, in angle brackets, or anything else.
struct FileNameCase {
  const char* line;
  const char* tokens;
  int form;
  std::vector<int> diagnostics;
};

class FileNameTest : public LexerFixture, public ::testing::WithParamInterface<FileNameCase> {};

TEST_P(FileNameTest, IsOneStringToken) {
  const FileNameCase& c = GetParam();
  open_text(std::string(c.line) + "\n");
  TokenValue v;
  std::string tokens;
  int form = -2;
  for (int token = next_token(a(), v); token != NEWLINE; token = next_token(a(), v)) {
    if (token == STRING) form = v.include_form;
    if (!tokens.empty()) tokens += ' ';
    tokens += describe(token, v);
  }
  std::vector<int> diagnostics;
  for (const PendingDiagnostic& p : a().diag.pending) diagnostics.push_back(p.code);
  EXPECT_EQ(tokens, c.tokens) << c.line;
  EXPECT_EQ(form, c.form) << c.line;
  EXPECT_EQ(diagnostics, c.diagnostics) << c.line;
}

INSTANTIATE_TEST_SUITE_P(
    Names, FileNameTest,
    ::testing::Values(
        FileNameCase{"$INCLUDE \"dir\\a.inc\"", "INCLUDE(0) STR(dir\\a.inc)", 0, {}},
        FileNameCase{"$include <sys/a.inc> ; x", "INCLUDE(0) STR(sys/a.inc)", 1, {}},
        FileNameCase{"$INCLUDE \"\"", "INCLUDE(0) STR()", 0, {204}},
        FileNameCase{"$INCLUDE <a.inc", "INCLUDE(0) STR(a.inc)", 1, {209}},
        FileNameCase{"$INCLUDE a.inc", "INCLUDE(0) STR() ID(.inc)", -1, {}},
        FileNameCase{"$INCLUDE", "INCLUDE(0) STR()", -1, {}}));

TEST_F(StringLimits, FileNameOfTwoHundredSixtyCharactersIsFatal) {
  open_text("$INCLUDE \"" + std::string(259, 'f') + "\"\n");
  TokenValue v;
  next_token(a(), v);
  EXPECT_EQ(next_token(a(), v), STRING);
  EXPECT_EQ(v.length, 259);

  assembly = std::make_unique<Assembly>();
  open_text("$INCLUDE \"" + std::string(260, 'f') + "\"\n");
  next_token(a(), v);
  ::testing::internal::CaptureStderr();
  EXPECT_THROW(next_token(a(), v), RunAborted);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("Fatal-158"), std::string::npos);
}

}  // namespace koral::testing
