// The actions of the statement grammar: they build the expression trees, the
// items and the instruction data of the statement in hand, and collect its
// descriptor for the statement-end step.
#pragma once

#include <cstdint>
#include <span>

#include "expr/expression.h"
#include "source/lexer_state.h"
#include "source/statement_kinds.h"
#include "source/statement_record.h"

namespace koral {

struct Assembly;
struct Symbol;

// The parser's semantic value: a token (its row in the statement's token
// table), or what a rule built.  It is kept small because the parser copies
// it on every shift and reduction.
struct ParserValue {
  uint32_t token;
  ArenaRef tree;
  int32_t number;
};

// The next token for the parser, its value in a new row of the statement's
// token table; `stack` is the parser's value stack, whose rows are kept when
// a long statement makes the table shed the others.
int parser_next_token(Assembly& a, ParserValue& value, std::span<ParserValue> stack);

// Labels and statements.
void define_label(Assembly& a, const TokenValue& name, bool colon);
// A data or storage directive defines the variable named before it when the
// label action left it pending (a new name without a colon); returns the
// statement's label symbol, if any.
Symbol* define_data_label(Assembly& a);
void unlabelled_data(Assembly& a);
void section_statement(Assembly& a, const TokenValue& name, const TokenValue& type, int32_t model);
void section_abs(Assembly& a, ArenaRef address);
void section_align(Assembly& a, ArenaRef alignment, ArenaRef label_alignment);
void equ_statement(Assembly& a, const TokenValue& name, ArenaRef expression);
void module_statement(Assembly& a, const TokenValue& name);
void simple_directive(Assembly& a, int32_t kind);
void simple_control(Assembly& a, int32_t kind);
void include_control(Assembly& a, const TokenValue& file_name);
void title_control(Assembly& a, const TokenValue& title);
void expression_directive(Assembly& a, int32_t kind, ArenaRef expression);
void name_list_statement(Assembly& a, int32_t kind, int32_t model);
void list_directive(Assembly& a, int32_t kind);
void float_directive(Assembly& a, int32_t kind);
void enter_floating_data(Assembly& a);
void fill_directive(Assembly& a, int32_t kind, ArenaRef count, ArenaRef value);
void fill_byte_directive(Assembly& a, ArenaRef count, ArenaRef value);
void fill_byte_string(Assembly& a, ArenaRef count, const TokenValue& text);
void debug_directive(Assembly& a, int32_t kind, const TokenValue& text, int32_t first, int32_t second,
                     int32_t third);
void debug_type(Assembly& a, int32_t number, const TokenValue& type_name);
void type_number(Assembly& a, int32_t number);
void type_string(Assembly& a, const TokenValue& text);
int32_t signed_number(Assembly& a, const TokenValue& number, bool negative);

// List items.
void data_expression(Assembly& a, ArenaRef expression);
void data_string(Assembly& a, const TokenValue& text);
void name_item(Assembly& a, const TokenValue& name);
void float_item(Assembly& a, ArenaRef expression);

// Expressions.
ArenaRef number_leaf(Assembly& a, const TokenValue& number, bool floating_expression);
ArenaRef symbol_leaf(Assembly& a, const TokenValue& name);
ArenaRef section_leaf(Assembly& a, int32_t kind, const TokenValue& name);
ArenaRef float_function(Assembly& a, int32_t function, ArenaRef expression);
ArenaRef code_address(Assembly& a, ArenaRef expression);
ArenaRef operator_node(Assembly& a, int32_t op, ArenaRef left, ArenaRef right);

// Instructions.
void begin_instruction(Assembly& a, const TokenValue& mnemonic);
void operand(Assembly& a, int32_t syntax_class, int32_t reg, int32_t second_reg, ArenaRef expression,
             int32_t displacement_sign);
void indirect_operand(Assembly& a, int32_t reg);
void bit_suffix(Assembly& a, int32_t with_expression, ArenaRef expression, int32_t reg);

}  // namespace koral
