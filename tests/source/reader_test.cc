// The source reader: line ends, end marks, long lines, block boundaries, the
// option lines at the head of the source, and character access.
#include "source/lexer_fixture.h"
#include "source/source_reader.h"

namespace koral::testing {

using SourceReader = LexerFixture;

TEST_F(SourceReader, LastLineWithoutLineFeedIsStillALine) {
  open_text("NOP\nDI");
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].tokens, "MN(1005)");
  EXPECT_EQ(lines[1].line_in_file, 2);
}

TEST_F(SourceReader, CtrlZEndsTheFile) {
  open_text("NOP\nDI\x1A" "EI\nRET\n");
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].tokens, "MN(1005)");

  assembly = std::make_unique<Assembly>();
  open_text("\x1A" "NOP\n");
  EXPECT_TRUE(lex_lines().empty());
}

TEST_F(SourceReader, ByteFFEndsTheFile) {
  open_text("NOP\n\xFF" "DI\n");
  EXPECT_EQ(lex_lines().size(), 1u);
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

TEST_F(SourceReader, OptionLinesAreEmptyStatements) {
  open_text("-l\n; comment\n  -g\nNOP\n-x\n");
  a().run.option_lines_seen = true;
  a().run.first_statement_line = 4;
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 5u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(lines[static_cast<std::size_t>(i)].tokens, "");
    EXPECT_EQ(lines[static_cast<std::size_t>(i)].line_in_file, i + 1);
  }
  EXPECT_EQ(lines[3].tokens, "MN(1000)");
  // After the first statement line an option line is a statement.
  EXPECT_EQ(lines[4].tokens, "- ID(x)");
}

TEST_F(SourceReader, WithoutOptionLinesNothingIsSkipped) {
  open_text("; c\nNOP\n");
  a().run.first_statement_line = 2;  // the pre-scan stopped there, but saw no option
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].tokens, "MN(1000)");
}

TEST_F(SourceReader, SourceOfOnlyOptionLinesEndsNormally) {
  open_text("-l\n-g");
  a().run.option_lines_seen = true;
  a().run.first_statement_line = 3;
  std::vector<LexedLine> lines = lex_lines();
  EXPECT_EQ(lines.size(), 2u);
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

TEST_F(SourceReader, ListingLinesKeepTheirOwnLineEnds) {
  open_text("NOP\r\nDI\nEI");
  EXPECT_EQ(read_listing_line(a()), "NOP\r\n");
  EXPECT_EQ(read_listing_line(a()), "DI\n");
  EXPECT_EQ(read_listing_line(a()), "EI\r\n");
  EXPECT_EQ(read_listing_line(a()), "");
  EXPECT_EQ(a().sources.files[0].line_in_file, 0);  // the listing does not count lines
}

}  // namespace koral::testing
