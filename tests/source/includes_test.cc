// Include files: search, nesting, self-inclusion, line counting, and the
// replay of include switches in the later passes.
#include "source/lexer_fixture.h"
#include "source/source_reader.h"

namespace koral::testing {

namespace {

struct Position {
  uint32_t file;
  int32_t line;
  int32_t listing;
  bool operator==(const Position&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Position& p) {
  return out << "(" << p.file << "," << p.line << "," << p.listing << ")";
}

std::vector<Position> positions(const std::vector<LexedLine>& lines) {
  std::vector<Position> result;
  for (const LexedLine& l : lines) result.push_back({l.file_index, l.line_in_file, l.listing_line});
  return result;
}

class Includes : public LexerFixture {
 protected:
  // Passes 2 and 3: the records of pass 1 replayed.  Returns the position of
  // every record.
  std::vector<Position> replay(const std::vector<LexedLine>& pass_one) {
    // The per-pass reset: line counters to 0, back to the main source.
    for (SourceFile& file : a().sources.files) file.line_in_file = file.listing_line = 0;
    reset_source_input(a());
    std::vector<Position> result;
    for (const LexedLine& record : pass_one) {
      count_replayed_line(a());
      result.push_back({a().sources.current, a().sources.current_line(),
                        a().sources.current_listing_line()});
      if (record.included >= 0) replay_include(a(), static_cast<uint32_t>(record.included));
      leave_finished_includes(a());
    }
    return result;
  }
};

}  // namespace

TEST_F(Includes, TheSameFileTwiceRestartsItsLinesAndKeepsItsRow) {
  write_file("inc.asm", "DI\nEI");
  open_text("$INCLUDE \"inc.asm\"\n$include \"inc.asm\"\nNOP\n");
  std::vector<LexedLine> lines = lex_lines();
  EXPECT_EQ(positions(lines), (std::vector<Position>{{0, 1, 1}, {1, 1, 2}, {1, 2, 3}, {0, 2, 4},
                                                      {1, 1, 5}, {1, 2, 6}, {0, 3, 7}}));
  EXPECT_EQ(a().sources.files.size(), 2u);
}

TEST_F(Includes, AFileIncludingItselfIsASyntaxErrorHoweverItIsNamed) {
  write_file("sub/x", "");
  write_file("inc.asm", "DI\n$INCLUDE \"inc.asm\"\n$INCLUDE \"sub/../inc.asm\"\n"
                        "$INCLUDE <inc.asm>\n$INCLUDE \"main.asm\"\nEI\n");
  open_text("$INCLUDE \"inc.asm\"\nNOP\n");
  a().settings.include_dirs.push_back(dir.string() + "/sub/../");
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 8u);
  for (std::size_t i = 2; i <= 5; ++i) {
    EXPECT_EQ(lines[i].diagnostics, std::vector<int>{200}) << i;
    EXPECT_EQ(lines[i].included, -1);
  }
  EXPECT_EQ(lines[6].tokens, "MN(1006)");
  EXPECT_EQ(lines[7].tokens, "MN(1000)");
  EXPECT_EQ(a().sources.files.size(), 2u);
}

// A Ctrl-Z or byte FF ends the text of the file that holds it, at the start
// of a line or inside one: the file that included it goes on.
TEST_F(Includes, AnEndMarkAtALineStartEndsTheIncludeFileOnly) {
  write_file("a.inc", "DB 1\r\n\x1A");        // the usual end of a file
  write_file("b.inc", "DB 2\n\xFF" "DB 9\n");  // nothing after the mark is read
  write_file("c.inc", "DB 3\x1A");              // the mark ends the last line
  write_file("d.inc", "DB 4\xFF" "9\nDB 9\n");   // inside a line too
  open_text("$INCLUDE \"a.inc\"\n$INCLUDE \"b.inc\"\n$INCLUDE \"c.inc\"\n$INCLUDE \"d.inc\"\nDB 5\n");
  std::string joined;
  for (const LexedLine& line : lex_lines()) joined += line.tokens + "|";
  EXPECT_EQ(joined, "INCLUDE(0) STR(a.inc)|DB(0) INT(+1,10)|INCLUDE(0) STR(b.inc)|DB(0) INT(+2,10)|"
                    "INCLUDE(0) STR(c.inc)|DB(0) INT(+3,10)|INCLUDE(0) STR(d.inc)|DB(0) INT(+4,10)|"
                    "DB(0) INT(+5,10)|");
}

TEST_F(Includes, ANinthLevelIsRefusedAndTheIncludingFileGoesOn) {
  for (int i = 1; i <= 8; ++i)
    write_file("n" + std::to_string(i) + ".asm",
               "$INCLUDE \"n" + std::to_string(i + 1) + ".asm\"\nDB " + std::to_string(i) + "\n");
  write_file("n9.asm", "DB 9\n");
  open_text("$INCLUDE \"n1.asm\"\nDB 0\n");
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 18u);
  EXPECT_EQ(lines[8].file_index, 8u);
  EXPECT_EQ(lines[8].diagnostics, std::vector<int>{234});
  EXPECT_EQ(lines[8].included, -1);
  for (int i = 8; i >= 0; --i)
    EXPECT_EQ(lines[static_cast<std::size_t>(17 - i)].tokens, "DB(0) INT(+" + std::to_string(i) + ",10)");
  EXPECT_EQ(a().sources.files.size(), 9u);
}

// Where an included file is found: files written under the test folder,
// the include folders in order ("{dir}" is the test folder), the main
// source, and the tokens of the lines read from included files.
struct SearchCase {
  std::vector<std::pair<std::string, std::string>> files;
  std::vector<std::string> include_dirs;
  std::string main;
  std::vector<std::string> included_tokens;
};

class IncludeSearch : public Includes, public ::testing::WithParamInterface<SearchCase> {};

std::string in_dir(std::string text, const std::string& dir) {
  std::size_t at = text.find("{dir}");
  return at == std::string::npos ? text : text.replace(at, 5, dir);
}

TEST_P(IncludeSearch, FindsTheFile) {
  const SearchCase& c = GetParam();
  for (const auto& [name, text] : c.files) write_file(name, text);
  open_text(in_dir(c.main, dir.string()));
  for (const std::string& d : c.include_dirs) a().settings.include_dirs.push_back(in_dir(d, dir.string()));
  std::vector<std::string> tokens;
  for (const LexedLine& line : lex_lines())
    if (line.file_index != 0) tokens.push_back(line.tokens);
  EXPECT_EQ(tokens, c.included_tokens) << c.main;
}

INSTANTIATE_TEST_SUITE_P(
    Folders, IncludeSearch,
    ::testing::Values(
        // The bracket form skips the source's folder.
        SearchCase{{{"a.inc", "DI\n"}, {"lib/a.inc", "EI\n"}}, {"{dir}/lib/"},
                   "$INCLUDE <a.inc>\n$INCLUDE \"a.inc\"\n", {"MN(1006)", "MN(1005)"}},
        // Later folders are searched in order.
        SearchCase{{{"one/b.inc", "DI\n"}, {"two/b.inc", "EI\n"}, {"two/c.inc", "RET\n"}},
                   {"{dir}/one/", "{dir}/two/"}, "$INCLUDE \"b.inc\"\n$INCLUDE \"c.inc\"\n",
                   {"MN(1005)", "MN(1002)"}},
        // An absolute name is used as it is.
        SearchCase{{{"elsewhere/abs.inc", "SWI\n"}}, {}, "$INCLUDE \"{dir}/elsewhere/abs.inc\"\n", {"MN(1003)"}}));

TEST_F(Includes, AMissingFileIsFatal) {
  open_text("$INCLUDE \"missing.inc\"\n");
  ::testing::internal::CaptureStderr();
  EXPECT_THROW(lex_lines(), RunAborted);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("Fatal-020 : Can't open \"missing.inc\""),
            std::string::npos);
}

TEST_F(Includes, ADeviceNameIsRefused) {
  open_text("$INCLUDE \"sub/nul.inc\"\n$INCLUDE <Com1>\nNOP\n");
  std::vector<LexedLine> lines = lex_lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].diagnostics, std::vector<int>{236});
  EXPECT_EQ(lines[1].diagnostics, std::vector<int>{236});
}

TEST_F(Includes, AnEmptyIncludeFileGivesNoLine) {
  write_file("empty.inc", "");
  open_text("$INCLUDE \"empty.inc\"\nNOP\n");
  std::vector<LexedLine> lines = lex_lines();
  EXPECT_EQ(positions(lines), (std::vector<Position>{{0, 1, 1}, {0, 2, 2}}));
  EXPECT_EQ(a().sources.files[1].saved_lines, 0);
}

TEST_F(Includes, MoreThanOneHundredFilesIsFatal) {
  std::string main;
  for (int i = 1; i <= 100; ++i) {
    write_file("f" + std::to_string(i) + ".inc", "NOP\n");
    main += "$INCLUDE \"f" + std::to_string(i) + ".inc\"\n";
  }
  open_text(main);
  ::testing::internal::CaptureStderr();
  EXPECT_THROW(lex_lines(), RunAborted);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("161 : Out of memory"), std::string::npos);
  EXPECT_EQ(a().sources.files.size(), 100u);
}

TEST_F(Includes, LaterPassesReplayTheSwitchesWithTheSameLineNumbers) {
  write_file("a.asm", "DI\n$INCLUDE \"b.asm\"\n");
  write_file("b.asm", "EI\nNOP\n");
  write_file("c.asm", "");
  open_text("NOP\n$INCLUDE \"a.asm\"\n$INCLUDE \"c.asm\"\nRET\n$INCLUDE \"a.asm\"\n"
            "$INCLUDE \"a.asm\" ; twice\nSWI\n");
  std::vector<LexedLine> pass_one = lex_lines();
  ASSERT_EQ(pass_one.size(), 19u);
  a().run.pass = pass_two;
  EXPECT_EQ(replay(pass_one), positions(pass_one));
  EXPECT_EQ(a().sources.depth, 0);
  EXPECT_EQ(a().sources.current, 0u);
}

TEST_F(Includes, ARejectedIncludeIsNotReplayed) {
  write_file("inc.asm", "$INCLUDE \"inc.asm\"\nDI\n");
  open_text("$INCLUDE \"inc.asm\"\nNOP\n");
  std::vector<LexedLine> pass_one = lex_lines();
  ASSERT_EQ(pass_one.size(), 4u);
  a().run.pass = pass_two;
  EXPECT_EQ(replay(pass_one), positions(pass_one));
}

}  // namespace koral::testing
