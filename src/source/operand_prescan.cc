// The operand pre-scan: a look over the rest of the line, without consuming
// it, that checks the parentheses of a statement and turns operands written
// as one parenthesised group into bracketed memory operands.
#include <cstring>

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "source/lexer_internal.h"

namespace koral::lex {

namespace {

// Follows string and character literals, in which a backslash escapes the
// next character.  A "'" right after a word character belongs to the word.
struct LiteralTracker {
  char quote = 0;
  unsigned char previous = ' ';

  // True when `c` (at `p`) is inside a literal or opens or closes one.
  template <typename Char>
  bool consume(Char*& p, Char* line_end) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (quote) {
      if (c == '\\') {
        if (p + 1 < line_end) ++p;
      } else if (c == static_cast<unsigned char>(quote)) {
        quote = 0;
      }
      previous = c;
      return true;
    }
    if (c == '"' || (c == '\'' && !is(previous, word_part))) {
      quote = static_cast<char>(c);
      previous = c;
      return true;
    }
    return false;
  }
};

bool holds(const char* from, const char* line_end, char c) {
  return from < line_end && std::memchr(from, c, static_cast<std::size_t>(line_end - from)) != nullptr;
}

}  // namespace

void check_parentheses(Assembly& a, const char* from, const char* line_end) {
  // Most lines hold no parenthesis at all, not even in a literal or comment.
  if (!holds(from, line_end, '(') && !holds(from, line_end, ')')) return;
  LiteralTracker literals;
  int depth = 0;
  for (const char* p = from; p < line_end; ++p) {
    if (literals.consume(p, line_end)) continue;
    unsigned char c = static_cast<unsigned char>(*p);
    literals.previous = c;
    if (c == ';') break;
    if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (depth == 0) {
        report_error(a, 205);
        return;
      }
      --depth;
    } else if (c == ',' && depth > 0) {
      report_error(a, 205);
      return;
    }
  }
  if (depth > 0) report_error(a, 205);
}

void bracket_memory_operands(char* from, char* line_end) {
  if (!holds(from, line_end, '(')) return;
  // What the operand in hand looks like so far.
  enum class Shape { empty, group_open, group_closed, other, bit_part };
  Shape shape = Shape::empty;
  char* open = nullptr;
  char* close = nullptr;
  int depth = 0;
  LiteralTracker literals;
  auto finish_operand = [&] {
    if (shape == Shape::group_closed) {
      *open = '[';
      *close = ']';
    }
  };
  for (char* p = from; p < line_end; ++p) {
    bool opens_literal = literals.quote == 0;
    if (literals.consume(p, line_end)) {
      if (opens_literal && depth == 0 && shape != Shape::bit_part) shape = Shape::other;
      continue;
    }
    unsigned char c = static_cast<unsigned char>(*p);
    literals.previous = c;
    if (c == ';') break;
    bool counts = shape != Shape::bit_part;
    if (c == '(') {
      if (depth == 0 && shape == Shape::empty) {
        shape = Shape::group_open;
        open = p;
      } else if (depth == 0 && counts) {
        shape = Shape::other;
      }
      ++depth;
    } else if (c == ')') {
      if (depth > 0) {
        --depth;
        if (depth == 0 && shape == Shape::group_open) {
          shape = Shape::group_closed;
          close = p;
        }
      } else if (counts) {
        shape = Shape::other;
      }
    } else if (depth == 0) {
      if (c == ',') {
        finish_operand();
        shape = Shape::empty;
      } else if (c == '.') {
        finish_operand();  // the bit number follows; it is not an operand of its own
        shape = Shape::bit_part;
      } else if (!is(c, blank) && counts) {
        shape = Shape::other;
      }
    }
  }
  finish_operand();
}

}  // namespace koral::lex
