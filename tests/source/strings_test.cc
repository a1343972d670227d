// String constants, their escape sequences and limits, and the file name of
// $INCLUDE.
#include "source/lexer_fixture.h"

namespace koral::testing {

namespace {

struct StringCase {
  std::string source;        // the string as written, quotes included
  std::string text;          // the bytes delivered
  std::vector<int> diagnostics;
  uint32_t options = 0;
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
  a().run.options |= c.options;
  open_text("DB " + c.source + "\n");
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
        StringCase{"\"abc\\", "abc", {516, 209}},
        // Without escapes the backslash stays.
        StringCase{"\"a\\x41\"", "a\\x41", {}, opt_no_escapes},
        StringCase{std::string("\"a\0b\"", 5), std::string("a\0b", 3), {}, opt_any_characters}));

using StringLimits = LexerFixture;

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

// Size limits of one line: the longest name, number, string and file name
// pass whole (a name is cut to its first 1024 characters); one character
// more, or names filling the name pool, stop the run.
struct LimitCase {
  const char* what;
  std::string line;
  std::string tokens;  // of the line, when the run goes on
  const char* fatal;   // printed when the run stops
};

class LineLimitTest : public LexerFixture, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(LineLimitTest, PassOrStopTheRun) {
  const LimitCase& c = GetParam();
  open_text(c.line + "\n");
  TokenValue v;
  std::string tokens;
  ::testing::internal::CaptureStderr();
  try {
    for (int token = next_token(a(), v); token != NEWLINE; token = next_token(a(), v))
      tokens += (tokens.empty() ? "" : " ") + describe(token, v);
  } catch (const RunAborted&) {
    tokens = "(stopped)";
  }
  std::string printed = ::testing::internal::GetCapturedStderr();
  if (c.fatal) {
    EXPECT_EQ(tokens, "(stopped)") << c.what;
    EXPECT_NE(printed.find(c.fatal), std::string::npos) << c.what << ": " << printed;
  } else {
    EXPECT_EQ(tokens, c.tokens) << c.what;
    EXPECT_TRUE(a().diag.pending.empty()) << c.what;
  }
}

std::string pool_filler() {
  // 64 names of 1024 characters fill 64 * 1025 bytes, more than the pool.
  std::string line = "DB";
  for (int i = 0; i < 64; ++i) line += " " + std::string(1024, static_cast<char>('a' + i % 26)) + ",";
  return line;
}

INSTANTIATE_TEST_SUITE_P(
    Limits, LineLimitTest,
    ::testing::Values(
        LimitCase{"name", "DB " + std::string(1500, 'q') + ",1",
                  "DB(0) ID(" + std::string(1024, 'q') + ") , INT(+1,10)", nullptr},
        LimitCase{"name pool", pool_filler(), "", "Fatal-158"},
        // The collected text counts the sign: 97 digits make 98 characters.
        LimitCase{"97 digits", "DB " + std::string(97, '7'), "DB(0) INT(+" + std::string(97, '7') + ",10)", nullptr},
        LimitCase{"98 digits", "DB " + std::string(98, '7'), "", "Fatal-110 : Numeric constant out of range"},
        // Also a line far longer than one buffer block.
        LimitCase{"string", "DB \"" + std::string(65533, 'x') + "\"", "DB(0) STR(" + std::string(65533, 'x') + ")",
                  nullptr},
        LimitCase{"string too long", "DB \"" + std::string(65533, 'x') + "y\"", "", "Fatal-158"},
        LimitCase{"file name", "$INCLUDE \"" + std::string(259, 'f') + "\"",
                  "INCLUDE(0) STR(" + std::string(259, 'f') + ")", nullptr},
        LimitCase{"file name too long", "$INCLUDE \"" + std::string(260, 'f') + "\"", "", "Fatal-158"}));

}  // namespace koral::testing
