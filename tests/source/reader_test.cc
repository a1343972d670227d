// The source reader: line ends, end marks, long lines, block boundaries, the
// option lines at the head of the source, and character access.
#include "source/lexer_fixture.h"
#include "source/source_reader.h"

namespace koral::testing {

using SourceReader = LexerFixture;

namespace {

// A source and the tokens of every line it gives, separated by "|"; the
// line where the pre-scan stopped, and whether it saw option lines above it.
struct LinesCase {
  std::string text;
  const char* lines;
  int32_t first_statement_line = 0;
  bool option_lines_seen = false;
};

class SourceLines : public LexerFixture, public ::testing::WithParamInterface<LinesCase> {};

}  // namespace

TEST_P(SourceLines, GiveTheirTokensWithTheirNumbers) {
  const LinesCase& c = GetParam();
  open_text(c.text);
  a().run.option_lines_seen = c.option_lines_seen;
  a().run.first_statement_line = c.first_statement_line;
  std::string joined;
  int32_t number = 0;
  for (const LexedLine& line : lex_lines()) {
    joined += (number ? "|" : "") + line.tokens;
    EXPECT_EQ(line.line_in_file, ++number) << c.lines;
  }
  EXPECT_EQ(joined, c.lines) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    EndsAndOptionLines, SourceLines,
    ::testing::Values(
        LinesCase{"NOP\nDI", "MN(1000)|MN(1005)"},
        LinesCase{"NOP\nDI\x1A" "EI\nRET\n", "MN(1000)|MN(1005)"},  // Ctrl-Z ends the file
        LinesCase{"\x1A" "NOP\n", ""},
        LinesCase{"NOP\n\xFF" "DI\n", "MN(1000)"},                  // so does byte FF
        // Inside a comment the marks are skipped with it.
        LinesCase{"DB 1 ; \xFF\x1A x\nDB 2\n", "DB(0) INT(+1,10)|DB(0) INT(+2,10)"},
        // Option lines are empty statements; after the first statement line
        // an option line is a statement.
        LinesCase{"-l\n; comment\n  -g\nNOP\n-x\n", "|||MN(1000)|- ID(x)", 4, true},
        LinesCase{"-l\n-g", "|", 3, true},
        // The pre-scan stopped at line 2 but saw no option line.
        LinesCase{"; c\nNOP\n", "|MN(1000)", 2}));

// Where the lexer reads a Ctrl-Z or a byte FF inside a line, the line ends
// there and so does the text of the file: nothing after the mark is read (so
// the control character behind it does not mark the line).
TEST_F(SourceReader, AnEndMarkInsideALineEndsTheLineAndTheInput) {
  for (char mark : {'\x1A', '\xFF'}) {
    assembly = std::make_unique<Assembly>();
    open_text(std::string("DB 1") + mark + "2 \x01\nDB 3\n");
    TokenValue v;
    EXPECT_EQ(next_token(a(), v), DB);
    EXPECT_EQ(next_token(a(), v), INTEGER);
    EXPECT_EQ(next_token(a(), v), NEWLINE) << int(mark);
    EXPECT_FALSE(a().lexer.syntax_error) << int(mark);
    EXPECT_EQ(next_token(a(), v), END_OF_INPUT);
    EXPECT_EQ(a().sources.files[0].line_in_file, 1);
  }
}

TEST_F(SourceReader, MarksInACommentNeitherEndTheInputNorMarkTheLine) {
  open_text("DB 1 ; \xFF \x1A\nDB 2\n");
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_FALSE(lines[0].syntax_error);
  EXPECT_EQ(lines[1].tokens, "DB(0) INT(+2,10)");
}

TEST_F(SourceReader, EmptySourceIsEndOfInputAtOnce) {
  open_text("");
  TokenValue v;
  EXPECT_EQ(next_token(a(), v), END_OF_INPUT);
  EXPECT_EQ(next_token(a(), v), END_OF_INPUT);
  EXPECT_EQ(a().sources.files[0].line_in_file, 0);
}

TEST_F(SourceReader, LinesAcrossManyBlocksKeepTheirNumbers) {
  std::string text;
  for (int i = 1; i <= 6000; ++i) text += "L" + std::to_string(i) + ": DB " + std::to_string(i) + "\r\n";
  open_text(text);
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 6000u);
  for (int i = 1; i <= 6000; ++i) {
    const LexedLine& line = lines[static_cast<std::size_t>(i - 1)];
    std::string n = std::to_string(i);
    ASSERT_EQ(line.tokens, "ID(L" + n + ") : DB(0) INT(+" + n + ",10)");
    ASSERT_EQ(line.line_in_file, i);
    ASSERT_EQ(line.listing_line, i);
  }
}

TEST_F(SourceReader, ALineLongerThanTheBufferIsReadWhole) {
  std::string line = "DB 1";
  for (int i = 0; i < 12000; ++i) line += ",7";  // 24004 characters
  open_text("NOP\n" + line + "\nDI\n");
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].tokens.size(), std::string("DB(0) INT(+1,10)").size() + 12000 * std::string(" , INT(+7,10)").size());
  EXPECT_EQ(lines[2].tokens, "MN(1005)");
  EXPECT_EQ(lines[2].line_in_file, 3);
  EXPECT_GE(a().sources.buffer.capacity, 2 * SourceBuffer::block_size);
}

TEST_F(SourceReader, ALineEndingExactlyAtTheBlockEnd) {
  // The first block ends with the line feed of the second line.
  std::string first(100, ';');
  std::string second;
  std::vector<LexedLine> lines;
  second = "DB \"" + std::string(16384 - 100 - 1 - 5 - 1, 'x') + "\"";
  open_text(first + "\n" + second + "\nNOP\n");
  lines = lex_lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2].tokens, "MN(1000)");
  EXPECT_EQ(lines[2].line_in_file, 3);
}

TEST_F(SourceReader, EndOfInputBeforeTheFirstStatementLineIsFatal) {
  open_text("-l\n-g\n");
  a().run.option_lines_seen = true;
  a().run.first_statement_line = 4;
  ::testing::internal::CaptureStderr();
  EXPECT_THROW(lex_lines(), RunAborted);
  std::string printed = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(printed.find("Fatal-022 : Can't read \"" + (dir / "main.asm").string() + "\""),
            std::string::npos)
      << printed;
}

TEST_F(SourceReader, CharacterAccessWithinALine) {
  open_text("A\r\nB\n");
  ASSERT_TRUE(begin_source_line(a()));
  EXPECT_EQ(next_char(a()), 'A');
  EXPECT_EQ(next_char(a()), '\n');  // the carriage return is dropped
  unread_char(a());
  EXPECT_EQ(next_char(a()), '\n');
  EXPECT_EQ(next_char(a()), 'B');
  unread_char(a());
  unread_char(a());
  EXPECT_EQ(next_char(a()), '\n');
  EXPECT_EQ(skip_to_end_of_line(a()), '\n');
  EXPECT_EQ(next_char(a()), END_OF_INPUT);
}

TEST_F(SourceReader, SteppingBackBeforeTheTextIsFatal) {
  open_text("A\n");
  ASSERT_TRUE(begin_source_line(a()));
  ::testing::internal::CaptureStderr();
  EXPECT_THROW(unread_char(a()), RunAborted);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("152 : Illegal source file format"),
            std::string::npos);
}

}  // namespace koral::testing
