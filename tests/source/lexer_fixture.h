// Drives the lexer over small sources written to a temporary directory and
// records what it returns, line by line, with the diagnostics of each line.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "driver/assembly.h"
#include "driver/files.h"
#include "source/includes.h"
#include "source/lexer.h"
#include "symbols/symbol_table.h"

namespace koral::testing {

// One token as text: characters as themselves, NL for the line end, EOI for
// the end of input, names and constants with their values.
inline std::string describe(int token, const TokenValue& v);

struct LexedLine {
  std::string tokens;           // tokens separated by blanks, NL excluded
  std::vector<int> diagnostics; // codes reported while the line was read
  bool syntax_error = false;
  int32_t sign_count = 0;
  uint32_t file_index = 0;
  int32_t line_in_file = 0;
  int32_t listing_line = 0;
  int32_t included = -1;        // file index entered at the end of the line
};

class LexerFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes a file under the temporary directory; returns its full path.
  std::string write_file(const std::string& name, const std::string& text);

  // Makes `name` (written before) the main source and starts pass 1 on it.
  void open_source(const std::string& name);

  // Opens `text` as the main source.
  void open_text(const std::string& text) {
    write_file("main.asm", text);
    open_source("main.asm");
  }

  // Reads every line up to the end of input.  A line holding $INCLUDE and a
  // file name enters that file at its end, as the statement handler does.
  std::vector<LexedLine> lex_lines();

  // The tokens of a one-line source, or "" when the source gives no line.
  std::string tokens_of(const std::string& line);

  // The diagnostics of a one-line source.
  std::vector<int> diagnostics_of(const std::string& line);

  std::unique_ptr<Assembly> assembly;
  Assembly& a() { return *assembly; }
  std::filesystem::path dir;
};

// A one-line source and the diagnostics it gives.
struct DiagnosticsCase {
  const char* line;
  std::vector<int> diagnostics;
};

class LineDiagnostics : public LexerFixture, public ::testing::WithParamInterface<DiagnosticsCase> {};

namespace fixture_detail {

// Token classes shown by name with their value.
inline const char* class_name(int token) {
  static const std::pair<int, const char*> names[] = {
      {ALIGN, "ALIGN"}, {ORG, "ORG"}, {CTL_TITLE, "CTL_TITLE"}, {CTL_EJECT, "CTL_EJECT"},
      {CTL_LIST, "CTL_LIST"}, {CTL_NOLIST, "CTL_NOLIST"}, {CTL_SAVE, "CTL_SAVE"},
      {CTL_RESTORE, "CTL_RESTORE"}, {CONDITION, "COND"}, {MNEMONIC, "MN"}, {RESERVED_CONTROL, "RCTL"},
      {MODEL, "MODEL"}, {DEBUG_DIRECTIVE, "DEBUG"}, {DEBUG_TYPE, "DEBUG_TYPE"}, {DATA_DIRECTIVE, "DATA"},
      {SPACE_DIRECTIVE, "SPACE"}, {FILL_DIRECTIVE, "FILL"}, {FILL_BYTE_DIRECTIVE, "DFB"}, {ABS, "ABS"},
      {SIZEOF, "SIZEOF"}, {STARTOF, "STARTOF"}, {CTL_INCLUDE, "INCLUDE"}, {FLOAT_FUNCTION, "FFUNC"},
      {FDATAS, "FDATAS"}, {FDATAD, "FDATAD"}, {FDATAX, "FDATAX"}, {CODE_ADDR, "CODE_ADDR"},
      {REGISTER, "REG"}, {MODULE, "MODULE"}, {SECTION, "SECTION"}, {END, "END"}, {EQU, "EQU"},
      {PUBLIC, "PUBLIC"}, {EXTERN, "EXTERN"}, {DB, "DB"}};
  for (const auto& [value, name] : names)
    if (value == token) return name;
  return nullptr;
}

}  // namespace fixture_detail

inline std::string describe(int token, const TokenValue& v) {
  switch (token) {
    case NEWLINE: return "NL";
    case END_OF_INPUT: return "EOI";
    case IDENT: return "ID(" + std::string(v.name) + ")";
    case MODULE_NAME: return "MOD(" + std::string(v.name) + ")";
    case STRING: return "STR(" + std::string(v.text, static_cast<std::size_t>(v.length)) + ")";
    case SHL: return "<<";
    case SHR: return ">>";
    case INTEGER:
    case FLOAT:
      return std::string(token == INTEGER ? "INT(" : "FLT(") + v.number->text + "," +
             std::to_string(v.number->radix) + ")";
    default: break;
  }
  if (const char* name = fixture_detail::class_name(token)) return std::string(name) + "(" + std::to_string(v.integer) + ")";
  if (token > 0 && token < 256) return std::string(1, static_cast<char>(token));
  return "?" + std::to_string(token);
}

inline void LexerFixture::SetUp() {
  char pattern[] = "/tmp/koral-lexer-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  dir = pattern;
  assembly = std::make_unique<Assembly>();
}

inline void LexerFixture::TearDown() {
  assembly.reset();
  std::filesystem::remove_all(dir);
}

inline std::string LexerFixture::write_file(const std::string& name, const std::string& text) {
  std::filesystem::path path = dir / name;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << text;
  return path.string();
}

inline void LexerFixture::open_source(const std::string& name) {
  a().settings.source_name = (dir / name).string();
  open_source_and_token_file(a());
  a().run.pass = pass_final;  // diagnostics stay in the pending list
  reset_source_input(a());
}

inline std::vector<LexedLine> LexerFixture::lex_lines() {
  std::vector<LexedLine> lines;
  LexedLine line;
  bool line_started = false;
  bool include_seen = false;
  std::string include_name;
  int include_form = -1;
  std::size_t pending_seen = 0;
  TokenValue v;
  for (int guard = 0; guard < 1000000; ++guard) {
    int token = next_token(a(), v);
    if (!line_started) {
      line_started = true;
      line.file_index = a().sources.current;
      line.line_in_file = a().sources.current_line();
      line.listing_line = a().sources.current_listing_line();
    }
    if (token == CTL_INCLUDE) include_seen = true;
    if (token == STRING && include_seen && include_name.empty()) {
      include_name.assign(v.text, static_cast<std::size_t>(v.length));
      include_form = v.include_form;
    }
    if (token != NEWLINE && token != END_OF_INPUT) {
      if (!line.tokens.empty()) line.tokens += ' ';
      line.tokens += describe(token, v);
      continue;
    }
    for (; pending_seen < a().diag.pending.size(); ++pending_seen)
      line.diagnostics.push_back(a().diag.pending[pending_seen].code);
    line.syntax_error = a().lexer.syntax_error;
    line.sign_count = a().lexer.sign_count;
    bool at_end = token == END_OF_INPUT;
    if (!at_end || !line.tokens.empty() || !line.diagnostics.empty()) lines.push_back(line);
    if (at_end) break;
    if (include_seen && include_form >= 0 && !include_name.empty())
      lines.back().included = push_include(a(), include_name, include_form == 1);
    for (; pending_seen < a().diag.pending.size(); ++pending_seen)
      lines.back().diagnostics.push_back(a().diag.pending[pending_seen].code);
    a().diag.pending.clear();
    pending_seen = 0;
    line = LexedLine{};
    line_started = false;
    include_seen = false;
    include_name.clear();
    include_form = -1;
  }
  return lines;
}

inline std::string LexerFixture::tokens_of(const std::string& text) {
  open_text(text + "\n");
  std::vector<LexedLine> lines = lex_lines();
  return lines.empty() ? std::string() : lines[0].tokens;
}

inline std::vector<int> LexerFixture::diagnostics_of(const std::string& text) {
  open_text(text + "\n");
  std::vector<LexedLine> lines = lex_lines();
  return lines.empty() ? std::vector<int>() : lines[0].diagnostics;
}

}  // namespace koral::testing
