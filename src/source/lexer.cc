#include "source/lexer.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "source/lexer_internal.h"
#include "source/source_reader.h"
#include "symbols/symbol_table.h"

namespace koral {

using namespace lex;

namespace {

bool is_operator_token(int token) {
  switch (token) {
    case '+': case '-': case '*': case '/': case '%':
    case '&': case '|': case '^': case '~': case SHL: case SHR:
      return true;
    default:
      return false;
  }
}

// Every token leaves through here: a sign right after an operator is counted
// (error 206 at the end of the statement), and the token is remembered.
int deliver(LexerState& lx, int token) {
  if ((token == '+' || token == '-') && is_operator_token(lx.previous_token)) ++lx.sign_count;
  lx.previous_token = token;
  return token;
}

// Consumes the rest of the line with its line feed.
int end_line(Assembly& a) {
  SourceBuffer& b = a.sources.buffer;
  b.pos = b.line_end + 1;
  a.lexer.at_line_start = true;
  return NEWLINE;
}

bool has_malformed_characters(const char* from, const char* to) {
#if defined(__SSE2__)
  // Sixteen characters at a time: as signed bytes, the malformed ones are
  // those below 9 (8-bit characters included) and those from 14 to 31.
  const __m128i nine = _mm_set1_epi8(9), thirteen = _mm_set1_epi8(13), space = _mm_set1_epi8(32);
  for (; to - from >= 16; from += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    __m128i low = _mm_cmplt_epi8(v, nine);
    __m128i control = _mm_and_si128(_mm_cmpgt_epi8(v, thirteen), _mm_cmplt_epi8(v, space));
    if (_mm_movemask_epi8(_mm_or_si128(low, control))) return true;
  }
#endif
  uint8_t seen = 0;
  for (; from < to; ++from) seen |= classes[static_cast<unsigned char>(*from)];
  return (seen & malformed) != 0;
}

// A Ctrl-Z or a byte 0xFF is read as the end of the input, not as a
// malformed character, and what follows it is never read.  Only lines that
// hold some character of the class are looked at one by one.
bool is_malformed_line(const char* from, const char* to) {
  if (!has_malformed_characters(from, to)) return false;
  for (; from < to && !is_end_mark(*from); ++from)
    if (is(*from, malformed)) return true;
  return false;
}

// Lines before the first statement line are option lines or comments that
// the pre-scan has read already.
bool in_option_head(const Assembly& a) {
  const SourceFiles& s = a.sources;
  return a.run.option_lines_seen && s.depth == 0 &&
         s.files[0].line_in_file < a.run.first_statement_line;
}

// Starts a statement at the first token of a line.  Returns 0 to go on
// scanning the line, or the token that the line gives as a whole.
int begin_statement_line(Assembly& a) {
  LexerState& lx = a.lexer;
  begin_lexer_statement(a);
  if (!begin_source_line(a)) {
    const SourceFiles& s = a.sources;
    if (a.run.option_lines_seen && s.files[0].line_in_file + 1 < a.run.first_statement_line)
      report_fatal(a, 22, s.files[0].name);
    lx.finished = true;
    return END_OF_INPUT;
  }
  lx.at_line_start = false;
  if (in_option_head(a)) return end_line(a);

  SourceBuffer& b = a.sources.buffer;
  if (lx.after_end) {
    const char* p = b.pos;
    while (is(*p, blank)) ++p;
    if (*p != ';' && *p != '\n' && !is_end_mark(*p)) {
      report_warning(a, 507);
      return end_line(a);
    }
  }
  if (!a.option(opt_any_characters) && is_malformed_line(b.line_start, b.line_end))
    lx.syntax_error = true;
  if (!a.diag.error_mark) check_parentheses(a, b.pos, b.line_end);
  return 0;
}

// A copy of a name in the per-statement pool.
std::string_view keep_statement_name(Assembly& a, std::string_view name) {
  LexerState& lx = a.lexer;
  if (lx.names_used + name.size() + 1 > LexerState::name_pool_size) report_fatal(a, 158);
  char* copy = lx.names.get() + lx.names_used;
  std::memmove(copy, name.data(), name.size());  // the name may already lie there
  copy[name.size()] = '\0';
  lx.names_used += name.size() + 1;
  return {copy, name.size()};
}

// The position `count` characters (as the reader delivers them) after `p`.
char* advance(char* p, std::size_t count) {
  while (count--) p = skip(p);
  return p;
}

void note_plain_word(LexerState& lx) {
  if (lx.words == StatementWords::none)
    lx.words = StatementWords::first_word;
  else if (lx.words == StatementWords::first_word)
    lx.words = StatementWords::other;
}

int plain_identifier(Assembly& a, TokenValue& v, std::string_view name) {
  note_plain_word(a.lexer);
  v.name = name;
  return IDENT;
}

// A reserved word: its token class and value, and the modes it switches on.
// `p` is already after the word.
int reserved_token(Assembly& a, TokenValue& v, const ReservedWord& word, std::string_view written,
                   char* p) {
  LexerState& lx = a.lexer;
  if (word.token_class == CONDITION && lx.symbol_type)
    return plain_identifier(a, v, keep_statement_name(a, written));
  v.integer = word.value;
  v.mode_mask = word.mode_mask;
  bool first_reserved =
      lx.words == StatementWords::none || lx.words == StatementWords::first_word;
  if (first_reserved)
    lx.words = word.token_class == MNEMONIC ? StatementWords::instruction : StatementWords::other;
  switch (word.token_class) {
    case MNEMONIC:
      if (first_reserved) {
        if (takes_bit_suffix(word)) lx.bit_suffix = true;
        if (!a.diag.error_mark) bracket_memory_operands(p, a.sources.buffer.line_end);
      }
      break;
    case DEBUG_DIRECTIVE: lx.escapes_off = true; break;
    case DEBUG_TYPE: lx.symbol_type = true; break;
    case CTL_INCLUDE: lx.file_name_mode = true; break;
    default: break;
  }
  return word.token_class;
}

bool continues_word(int c, bool module_name) {
  return is(c, word_part) || (module_name && c == '-');
}

// Identifiers, reserved words, and the characters ":" "$" "." that start
// words without being names.
int scan_identifier(Assembly& a, TokenValue& v, char*& p) {
  LexerState& lx = a.lexer;
  bool after_module = lx.previous_token == MODULE;
  char* start = p;
  char* q = p + 1;
  while (continues_word(*q, after_module)) ++q;
  std::string_view word;
  if (*q == '\r' && continues_word(static_cast<unsigned char>(q[1]), after_module)) {
    // A carriage return inside the word is dropped: gather the word apart.
    char* scratch = lx.names.get() + lx.names_used;
    std::size_t room = LexerState::name_pool_size - lx.names_used;
    std::size_t length = 0;
    q = start;
    int c = peek(q);
    do {
      if (length < LexerState::max_identifier) {
        if (length + 1 >= room) report_fatal(a, 158);
        scratch[length++] = static_cast<char>(c);
      }
      q = skip(q);
      c = peek(q);
    } while (continues_word(c, after_module));
    word = std::string_view(scratch, length);
  } else {
    std::size_t length = static_cast<std::size_t>(q - start);
    if (length > LexerState::max_identifier) length = LexerState::max_identifier;
    word = std::string_view(start, length);
  }
  char* after_word = q;

  if (lx.bit_suffix) {
    std::size_t dot = word.find('.');
    if (dot != std::string_view::npos && dot > 0) {
      const ReservedWord* reg = lookup_reserved(a, word.substr(0, dot));
      if (reg && reg->token_class == REGISTER) {
        p = advance(start, dot);
        return reserved_token(a, v, *reg, word.substr(0, dot), p);
      }
    }
  }
  if (word == "$") {
    p = after_word;
    return plain_identifier(a, v, "$");
  }
  unsigned char first = static_cast<unsigned char>(word[0]);
  bool named = is(first, letter) || first == '.' || first == '_';
  if (after_module && named) {
    p = after_word;
    v.name = keep_statement_name(a, word);
    return MODULE_NAME;
  }
  if (lx.bit_suffix && first == '.' &&
      (lx.previous_token == REGISTER || lx.previous_token == ']')) {
    p = advance(start, 1);
    return '.';
  }
  if (!named) {
    // Only reserved words begin with "$"; no name begins with ":".
    if (const ReservedWord* word_found = lookup_reserved(a, word)) {
      p = after_word;
      return reserved_token(a, v, *word_found, word, p);
    }
    p = advance(start, 1);
    return first;
  }
  NameLookup found = lookup_any(a, word);
  p = after_word;
  if (found.reserved) return reserved_token(a, v, *found.reserved, word, p);
  if (found.section) {
    v.section = found.section;
    return plain_identifier(a, v, name_of(*found.section));
  }
  if (found.symbol) {
    v.symbol = found.symbol;
    return plain_identifier(a, v, name_of(*found.symbol));
  }
  return plain_identifier(a, v, keep_statement_name(a, word));
}

// After an error the rest of a line with a constant is not scanned.
void after_constant(Assembly& a, char*& p) {
  if (a.diag.error_mark) p = a.sources.buffer.line_end;
}

}  // namespace

void begin_lexer_statement(Assembly& a) {
  LexerState& lx = a.lexer;
  lx.syntax_error = false;
  lx.sign_count = 0;
  lx.words = StatementWords::none;
  lx.bit_suffix = false;
  lx.symbol_type = false;
  lx.escapes_off = false;
  lx.file_name_mode = false;
  lx.previous_token = NEWLINE;
  lx.names_used = 0;
  begin_statement_marks(a);
}

void set_after_end(Assembly& a) { a.lexer.after_end = true; }

int next_token(Assembly& a, TokenValue& v) {
  LexerState& lx = a.lexer;
  v = TokenValue{};
  if (lx.finished) return END_OF_INPUT;
  if (lx.at_line_start) {
    if (int token = begin_statement_line(a)) return deliver(lx, token);
  }
  SourceBuffer& b = a.sources.buffer;
  char* p = b.pos;
  while (is(*p, blank)) ++p;

  int token;
  if (lx.file_name_mode) {
    token = scan_file_name(a, v, p);
  } else {
    unsigned char c = static_cast<unsigned char>(*p);
    if (is(c, word_start)) {
      token = scan_identifier(a, v, p);
    } else if (is(c, digit)) {
      token = scan_number(a, v, p);
      after_constant(a, p);
    } else if (c == '\'') {
      token = scan_character_constant(a, v, p);
      after_constant(a, p);
    } else {
      switch (c) {
        case '"':
          token = scan_string(a, v, p);
          break;
        case ';':
        case '\n':
          return deliver(lx, end_line(a));
        case '<':
        case '>':
          if (peek(p + 1) == c) {
            p = skip(p + 1);
            token = c == '<' ? SHL : SHR;
          } else {
            ++p;
            token = c;
          }
          break;
        case 26:
        case 0xFF:
          // A Ctrl-Z or a byte 0xFF ends the line and the text of the file.
          end_line(a);
          end_file_text(a);
          return deliver(lx, NEWLINE);
        case 0:
          b.pos = p;
          lx.finished = true;
          return deliver(lx, END_OF_INPUT);
        default:
          ++p;
          token = c;
          break;
      }
    }
  }
  b.pos = p;
  return deliver(lx, token);
}

}  // namespace koral
