// Numeric constants: the default notation (0 octal, 0x hexadecimal, 0y
// binary, decimal and floating) and the suffix notation of option -H.
#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "source/lexer_internal.h"
#include "source/tokens.h"

namespace koral::lex {

namespace {

// The normalised text of the constant being scanned: "+", then the digits,
// point, exponent letter and exponent sign as written.
struct NumberText {
  Assembly& a;
  NumericConstant& constant;
  bool excess_reported = false;
  bool malformed = false;  // error 202, reported once when the constant ends

  void put(int c) {
    if (constant.length < static_cast<int32_t>(LexerState::max_number_text)) {
      constant.text[constant.length++] = static_cast<char>(c);
    } else if (!excess_reported) {
      report_warning(a, 500);
      excess_reported = true;
    }
  }
  void restart() { constant.length = 1; }
};

bool is_binary(int c) { return c == '0' || c == '1'; }
bool is_octal(int c) { return c >= '0' && c <= '7'; }

template <typename Accept>
int collect(NumberText& t, char*& p, Accept accept) {
  int count = 0;
  for (int c = peek(p); accept(c); c = peek(p)) {
    t.put(c);
    p = skip(p);
    ++count;
  }
  return count;
}

int collect_digits(NumberText& t, char*& p) {
  return collect(t, p, [](int c) { return is(c, digit); });
}

// Digits, an optional fraction and an optional exponent; true when a point
// or an exponent makes the constant floating.
bool scan_decimal(NumberText& t, char*& p) {
  bool floating = false;
  collect_digits(t, p);
  if (peek(p) == '.') {
    floating = true;
    t.put('.');
    p = skip(p);
    collect_digits(t, p);
  }
  int c = peek(p);
  if (c == 'e' || c == 'E') {
    floating = true;
    t.put(c);
    p = skip(p);
    c = peek(p);
    if (c == '+' || c == '-') {
      t.put(c);
      p = skip(p);
    }
    if (collect_digits(t, p) == 0) t.malformed = true;
  }
  return floating;
}

// A character that may not follow a constant of the default notation.
bool is_stray_suffix(int c) {
  switch (c) {
    case '.': case 'B': case 'D': case 'H': case 'O': case 'Q':
    case 'b': case 'd': case 'h': case 'o': case 'q':
      return true;
    default:
      return false;
  }
}

bool is_float_suffix(int c) { return c == 'F' || c == 'f' || c == 'L' || c == 'l'; }

int32_t float_format_of_suffix(int c) { return (c == 'F' || c == 'f') ? float_single : float_extended; }

// 0 followed by a digit, 0x or 0y: an integer in a radix other than ten.
// False when the constant is not one of these.
bool scan_prefixed(NumberText& t, char*& p) {
  if (peek(p) != '0') return false;
  char* q = skip(p);
  int marker = peek(q);
  NumericConstant& n = t.constant;
  if (is(marker, digit)) {
    p = q;
    n.radix = 8;
    collect(t, p, is_octal);
    int c = peek(p);
    if (c == '8' || c == '9') t.malformed = true;
  } else if (marker == 'x' || marker == 'X') {
    p = skip(q);
    n.radix = 16;
    if (collect(t, p, [](int c) { return is(c, hex_digit); }) == 0) t.malformed = true;
  } else if (marker == 'y' || marker == 'Y') {
    p = skip(q);
    n.radix = 2;
    if (collect(t, p, is_binary) == 0) t.malformed = true;
  } else {
    return false;
  }
  n.token_class = INTEGER;
  // A floating suffix has no meaning on these radixes.
  int c = peek(p);
  if (is_stray_suffix(c) || is_float_suffix(c)) t.malformed = true;
  return true;
}

void scan_default_notation(NumberText& t, char*& p) {
  if (scan_prefixed(t, p)) return;
  NumericConstant& n = t.constant;
  bool floating = scan_decimal(t, p);
  int c = peek(p);
  if (is_float_suffix(c)) {
    floating = true;
    n.radix = float_format_of_suffix(c);
    p = skip(p);
    c = peek(p);
  } else {
    n.radix = floating ? float_double : 10;
  }
  n.token_class = floating ? FLOAT : INTEGER;
  if (is_stray_suffix(c)) t.malformed = true;
}

// Hexadecimal digits ended by H; otherwise decimal or floating with an
// optional radix or format suffix.
void scan_suffix_notation(NumberText& t, char*& p) {
  NumericConstant& n = t.constant;
  char* start = p;
  collect(t, p, [](int c) { return is(c, hex_digit); });
  int c = peek(p);
  if (c == 'H' || c == 'h') {
    p = skip(p);
    n.radix = 16;
    n.token_class = INTEGER;
  } else {
    p = start;
    t.restart();
    bool floating = scan_decimal(t, p);
    c = peek(p);
    int32_t radix = 0;
    switch (c) {
      case 'B': case 'b': radix = 2; break;
      case 'D': case 'd': radix = 10; break;
      case 'O': case 'o': case 'Q': case 'q': radix = 8; break;
      default: break;
    }
    if (radix != 0) {
      if (floating) t.malformed = true;
      p = skip(p);
      n.radix = floating ? float_double : radix;
    } else if (is_float_suffix(c)) {
      floating = true;
      n.radix = float_format_of_suffix(c);
      p = skip(p);
    } else {
      n.radix = floating ? float_double : 10;
    }
    n.token_class = floating ? FLOAT : INTEGER;
  }
  c = peek(p);
  if (is(c, letter) || is(c, digit) || c == '.') t.malformed = true;
}

// Warning 518 when the constant does not have the floating format that the
// last reserved word asked for.
void check_float_format(Assembly& a, const NumericConstant& n) {
  int32_t wanted = a.symbols.float_format;
  if (wanted == 0 || wanted == n.radix) return;
  if (a.diag.error_mark || a.diag.warning_mark || a.diag.direct_mark) return;
  if (n.length == 2 && n.text[1] == '0') return;
  report_warning(a, 518);
}

}  // namespace

int scan_number(Assembly& a, TokenValue& v, char*& p) {
  LexerState& lx = a.lexer;
  NumericConstant& n = lx.numbers[lx.next_number];
  lx.next_number = (lx.next_number + 1) % LexerState::number_slots;
  n.length = 0;
  n.integer_word = 0;
  NumberText t{a, n};
  t.put('+');
  if (a.option(opt_suffix_numbers))
    scan_suffix_notation(t, p);
  else
    scan_default_notation(t, p);
  n.text[n.length] = '\0';
  if (t.malformed) report_error(a, 202);
  if (n.length >= LexerState::number_fatal_length) report_fatal(a, 110);
  if (n.token_class == FLOAT) {
    check_float_constant_text(a, static_cast<FloatFormat>(n.radix), n);
    n.text[n.length] = '\0';
  }
  check_float_format(a, n);
  v.number = &n;
  return n.token_class;
}

}  // namespace koral::lex
