// The lexer: turns the lines of the source into the tokens of the parser.
#pragma once

#include "source/lexer_state.h"
#include "source/tokens.h"

namespace koral {

struct Assembly;

// The parser's lexer entry: the next token number (a character code 1..255
// or a TokenNumber), its semantic value left in `value`.  The first token of
// every line starts a new statement: the per-statement state is reset then,
// so the statement end of the previous line must already have run.
int next_token(Assembly& a, TokenValue& value);

// Resets the per-statement state of the lexer and the report marks.
void begin_lexer_statement(Assembly& a);

// Called by the END handler: from the next line on, any text other than a
// comment gives warning 507 and the line is skipped.
void set_after_end(Assembly& a);

}  // namespace koral
