// Character constants, string constants with their escape sequences, and
// the file name of $INCLUDE.
#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "source/lexer_internal.h"
#include "source/tokens.h"

namespace koral::lex {

namespace {

int hex_value(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return c - 'a' + 10;
}

int simple_escape(int c) {
  switch (c) {
    case 'a': return 7;
    case 'b': return 8;
    case 'f': return 12;
    case 'n': return 10;
    case 'r': return 13;
    case 't': return 9;
    case 'v': return 11;
    case '"': case '\'': case '?': case '\\': return c;
    case '0': return 0;  // digits after it are ordinary characters
    default: return -1;
  }
}

}  // namespace

int scan_escape(Assembly& a, char*& p) {
  int c = peek(p);
  if (c == '\n') {  // the line end stays for the lexer
    report_warning(a, 516);
    return -1;
  }
  p = skip(p);
  int value = simple_escape(c);
  if (value >= 0) return value;
  if (c >= '1' && c <= '7') {
    value = c - '0';
    for (int i = 0; i < 2 && peek(p) >= '0' && peek(p) <= '7'; ++i) {
      value = value * 8 + (peek(p) - '0');
      p = skip(p);
    }
    if (value > 255) {
      report_warning(a, 516);
      value &= 0xFF;
    }
    return value;
  }
  if (c == 'x' || c == 'X') {
    int digits = 0;
    value = 0;
    while (digits < 2 && is(peek(p), hex_digit)) {
      value = value * 16 + hex_value(peek(p));
      p = skip(p);
      ++digits;
    }
    if (digits == 0) {
      report_error(a, 202);
      return -1;
    }
    return value;
  }
  report_warning(a, 516);
  return -1;
}

int scan_character_constant(Assembly& a, TokenValue& v, char*& p) {
  LexerState& lx = a.lexer;
  bool escapes = !a.option(opt_no_escapes);
  unsigned char bytes[4];
  int count = 0;
  bool excess_reported = false;
  p = skip(p);
  for (;;) {
    int c = peek(p);
    if (c == '\n') {
      lx.syntax_error = true;
      break;
    }
    p = skip(p);
    if (c == '\'') break;
    if (c == '\\' && escapes) {
      c = scan_escape(a, p);
      if (c < 0) continue;
    }
    if (count == 4) {
      // Only the last four characters count.
      if (!excess_reported) report_warning(a, 500);
      excess_reported = true;
      bytes[0] = bytes[1];
      bytes[1] = bytes[2];
      bytes[2] = bytes[3];
      bytes[3] = static_cast<unsigned char>(c);
    } else {
      bytes[count++] = static_cast<unsigned char>(c);
    }
  }
  NumericConstant& n = lx.numbers[lx.next_number];
  lx.next_number = (lx.next_number + 1) % LexerState::number_slots;
  static constexpr char hex[] = "0123456789ABCDEF";
  n.length = 0;
  for (int i = 0; i < count; ++i) {
    n.text[n.length++] = hex[bytes[i] >> 4];
    n.text[n.length++] = hex[bytes[i] & 0xF];
  }
  n.text[n.length] = '\0';
  n.token_class = INTEGER;
  n.integer_word = 0;
  n.radix = 16;
  v.number = &n;
  return INTEGER;
}

int scan_string(Assembly& a, TokenValue& v, char*& p) {
  LexerState& lx = a.lexer;
  bool escapes = !a.option(opt_no_escapes) && !lx.escapes_off;
  char* text = lx.strings.get();
  std::size_t length = 0;
  p = skip(p);
  for (;;) {
    int c = peek(p);
    if (c == '\n') {
      report_error(a, 209);
      break;
    }
    p = skip(p);
    if (c == '"') break;
    if (c == '\\' && escapes) {
      c = scan_escape(a, p);
      if (c < 0) continue;
    }
    if (length == LexerState::max_string) report_fatal(a, 158);
    text[length++] = static_cast<char>(c);
  }
  text[length] = '\0';
  v.text = text;
  v.length = static_cast<int32_t>(length);
  return STRING;
}

int scan_file_name(Assembly& a, TokenValue& v, char*& p) {
  LexerState& lx = a.lexer;
  lx.file_name_mode = false;
  char* text = lx.strings.get();
  std::size_t length = 0;
  v.text = text;
  int c = peek(p);
  if (c != '"' && c != '<') {
    // Not a file name; the statement reports error 218.
    if (c != '\n') p = skip(p);
    text[0] = '\0';
    v.include_form = -1;
    return STRING;
  }
  int closing = c == '"' ? '"' : '>';
  v.include_form = c == '"' ? 0 : 1;
  p = skip(p);
  bool closed = false;
  for (;;) {
    c = peek(p);
    if (c == '\n') break;
    p = skip(p);
    if (c == closing) {
      closed = true;
      break;
    }
    if (length == LexerState::max_file_name) report_fatal(a, 158);
    text[length++] = static_cast<char>(c);
  }
  text[length] = '\0';
  v.length = static_cast<int32_t>(length);
  if (!closed)
    report_error(a, 209);
  else if (length == 0)
    report_error(a, 204);
  return STRING;
}

}  // namespace koral::lex
