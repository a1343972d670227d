// What the parts of the lexer share: character classes, cursor steps over
// the current line (which always ends in a line feed), and the scanners of
// constants and literals.
#pragma once

#include <array>
#include <cstdint>

#include "source/lexer_state.h"

namespace koral {

struct Assembly;

namespace lex {

enum CharClass : uint8_t {
  blank = 0x01,        // white space other than the line feed
  word_start = 0x02,   // starts an identifier: letter . : $ _
  word_part = 0x04,    // continues one: letter digit _ ' .
  digit = 0x08,
  hex_digit = 0x10,
  malformed = 0x20,    // 0..8, 14..31, 128..255: a syntax error without -J
  letter = 0x40,
};

constexpr std::array<uint8_t, 256> make_classes() {
  std::array<uint8_t, 256> t{};
  for (int c = 0; c < 256; ++c) {
    uint8_t k = 0;
    bool is_letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    bool is_digit = c >= '0' && c <= '9';
    if (c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r') k |= blank;
    if (is_letter || c == '.' || c == ':' || c == '$' || c == '_') k |= word_start;
    if (is_letter || is_digit || c == '_' || c == '\'' || c == '.') k |= word_part;
    if (is_digit) k |= digit;
    if (is_digit || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')) k |= hex_digit;
    if (c <= 8 || (c >= 14 && c <= 31) || c >= 128) k |= malformed;
    if (is_letter) k |= letter;
    t[c] = k;
  }
  return t;
}

inline constexpr std::array<uint8_t, 256> classes = make_classes();

inline bool is(int c, CharClass k) { return (classes[static_cast<unsigned char>(c)] & k) != 0; }

// The character at `p` as the reader delivers it: a carriage return is
// dropped and the character after it taken instead.
inline int peek(const char* p) {
  unsigned char c = static_cast<unsigned char>(p[0]);
  return c == '\r' ? static_cast<unsigned char>(p[1]) : c;
}

// The position after the character that peek(p) delivers.
inline char* skip(char* p) { return p + (*p == '\r' ? 2 : 1); }

// Scanners.  Each starts at the first character of its token, leaves `p`
// after it and returns the token number.
int scan_number(Assembly& a, TokenValue& v, char*& p);
int scan_character_constant(Assembly& a, TokenValue& v, char*& p);
int scan_string(Assembly& a, TokenValue& v, char*& p);
int scan_file_name(Assembly& a, TokenValue& v, char*& p);

// After the backslash of an escape sequence: its value, or -1 when it
// contributes nothing (after its diagnostic).
int scan_escape(Assembly& a, char*& p);

// Operand pre-scan over [from, line_end).  At the start of a statement:
// error 205 for unbalanced parentheses or a "," inside them.  After a
// mnemonic: every operand that is one parenthesised group and nothing else
// is rewritten in place into brackets.
void check_parentheses(Assembly& a, const char* from, const char* line_end);
void bracket_memory_operands(char* from, char* line_end);

}  // namespace lex
}  // namespace koral
