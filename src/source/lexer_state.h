// The state of the lexer: the per-statement modes and pools, the value it
// hands the parser with every token, and what it keeps for the whole run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "expr/constants.h"

namespace koral {

struct Symbol;
struct Section;

// The semantic value of a token.
struct TokenValue {
  int32_t integer = 0;               // reserved word: its value
  uint32_t mode_mask = 0;            // mnemonic: its mode mask
  std::string_view name;             // IDENT, MODULE_NAME: per-statement pool or entry name
  const char* text = nullptr;        // STRING: the text, which may hold NUL bytes
  int32_t length = 0;                // STRING: its length
  int32_t include_form = 0;          // STRING after $INCLUDE: 0 "name", 1 <name>, -1 no name
  NumericConstant* number = nullptr; // INTEGER, FLOAT: valid until three more numbers are read
  Symbol* symbol = nullptr;          // IDENT naming a user symbol
  Section* section = nullptr;        // IDENT naming a section
};

// What the words of the statement have shown so far.
enum class StatementWords : uint8_t { none, first_word, instruction, other };

struct LexerState {
  static constexpr std::size_t name_pool_size = 65535;
  static constexpr std::size_t string_buffer_size = 65534;
  static constexpr std::size_t max_string = string_buffer_size - 1;
  static constexpr std::size_t max_identifier = 1024;  // characters that count
  static constexpr std::size_t max_file_name = 259;
  static constexpr std::size_t max_number_text = 101;  // characters collected
  static constexpr int32_t number_fatal_length = 99;
  static constexpr int number_slots = 4;

  // Per statement, reset when its first token is asked for.
  bool syntax_error = false;   // the statement is malformed: error 200 at its end
  int32_t sign_count = 0;      // signs directly after an operator: error 206 at the end
  StatementWords words = StatementWords::none;
  bool bit_suffix = false;     // a bit mnemonic: "reg.n" splits into reg "." n
  bool symbol_type = false;    // SYMBOL_T: condition names are plain identifiers
  bool escapes_off = false;    // debug directive: no escape sequences in strings
  bool file_name_mode = false; // $INCLUDE: the next token is a file name
  int32_t previous_token = '\n';
  std::size_t names_used = 0;
  // The values of the statement's tokens, in the order read; the parser
  // refers to them by row.  Cleared when the next statement's first token is
  // asked for, which the parser does only after the statement's last action.
  std::vector<TokenValue> tokens;
  // The parser found an error in the statement and discards the rest of it:
  // the tokens it reads share one row.
  bool discarding = false;
  // A statement this many tokens long has the rows that no parser value
  // refers to dropped (the stack is at most 10000 deep, so the table stays
  // small however long the statement).
  std::size_t shed_at = 1024;
  std::vector<uint32_t> row_map;  // scratch of the shedding

  // Per run.
  bool at_line_start = true;   // the next token begins a statement
  bool after_end = false;      // END was handled: later text gives warning 507
  bool finished = false;       // end of input was returned
  std::unique_ptr<char[]> names;    // per-statement identifier pool
  std::unique_ptr<char[]> strings;  // the last string constant
  NumericConstant numbers[number_slots];
  int next_number = 0;

  LexerState()
      : names(new char[name_pool_size]), strings(new char[string_buffer_size]) {}
};

}  // namespace koral
