/* The statement grammar of the assembler.  One statement per source line;
   the actions build the statement's expression trees, items and instruction
   data, and every line end runs the statement-end step.  The parser's own
   messages are never shown: a bad line is reported as error 200 by the
   statement-end step of the error production. */

%code requires {
#include "source/grammar_actions.h"
#include "source/statement.h"
}

%code {
#include "driver/assembly.h"

// The value of the token behind a grammar symbol.
#define TOKEN(symbol) (a.lexer.tokens[(symbol).token])

// The grown parser stacks belong to the run (see ParserStackMemory).
#define YYMALLOC(size) a.statement.parser_memory.allocate(size)
#define YYFREE(block) a.statement.parser_memory.release(block)
// The lexer is asked for each token with the parser's value stack at hand
// (the parser's own variables), so that the statement's token table can let
// go of rows that no value on the stack refers to any more.
#define yylex(value, assembly) koral::parser_next_token(assembly, *(value), {yyvs, yyvsp + 1})

namespace {
// After an error the parser only discards tokens up to the line end: their
// values need no rows of their own.
void yyerror(koral::Assembly& a, const char*) { a.lexer.discarding = true; }
}  // namespace
}

%define api.pure full
%define api.value.type {koral::ParserValue}
%define api.token.prefix {TOK_}
%param {koral::Assembly& a}

%token ALIGN 257 ORG 258 CTL_TITLE 259 CTL_EJECT 260 CTL_LIST 261 CTL_NOLIST 262
%token CTL_SAVE 265 CTL_RESTORE 266 CONDITION 269 MNEMONIC 270 RESERVED_CONTROL 271
%token MODEL 272 DEBUG_DIRECTIVE 273 DEBUG_TYPE 274 DATA_DIRECTIVE 275 SPACE_DIRECTIVE 276
%token FILL_DIRECTIVE 277 FILL_BYTE_DIRECTIVE 278 ABS 280 SIZEOF 282 STARTOF 283
%token CTL_INCLUDE 284 FLOAT_FUNCTION 286 FDATAS 289 FDATAD 290 FDATAX 291 CODE_ADDR 292
%token REGISTER 293 IDENT 294 MODULE_NAME 295 STRING 296 SHR 297 SHL 298 INTEGER 299
%token FLOAT 300 END_OF_INPUT 301 MODULE 302 SECTION 303 END 304 EQU 305 PUBLIC 306
%token EXTERN 307 DB 317

%left '|'
%left '^'
%left '&'
%left SHR SHL
%left '+' '-'
%left '*' '/' '%'
%precedence UNARY
%left ':'

%%

program
  : %empty
  | program statement '\n'                 { koral::end_statement(a, false); }
  | program statement END_OF_INPUT         { koral::end_statement(a, true); YYACCEPT; }
  | program error '\n'                     { koral::end_bad_statement(a, false); }
  | program error END_OF_INPUT             { koral::end_bad_statement(a, true); YYACCEPT; }
  ;

statement
  : %empty
  | colon_label
  | colon_label instruction
  | instruction
  | plain_label data_statement
  | data_statement                         { koral::unlabelled_data(a); }
  | IDENT SECTION IDENT section_model section_abs section_align
                                           { koral::section_statement(a, TOKEN($1), TOKEN($3), $4.number); }
  | IDENT EQU expr                         { koral::equ_statement(a, TOKEN($1), $3.tree); }
  | control
  | directive
  ;

colon_label
  : IDENT ':'                              { koral::define_label(a, TOKEN($1), true); }
  ;

plain_label
  : IDENT                                  { koral::define_label(a, TOKEN($1), false); }
  ;

section_model
  : %empty                                 { $$.number = 0; }
  | MODEL                                  { $$.number = TOKEN($1).integer; }
  ;

section_abs
  : %empty
  | ABS '=' expr                           { koral::section_abs(a, $3.tree); }
  ;

section_align
  : %empty
  | ALIGN '=' expr                         { koral::section_align(a, $3.tree, 0); }
  | ALIGN '=' expr ',' expr                { koral::section_align(a, $3.tree, $5.tree); }
  | ALIGN '=' ',' expr                     { koral::section_align(a, $4.tree, $4.tree); }
  ;

directive
  : MODULE MODULE_NAME                     { koral::module_statement(a, TOKEN($2)); }
  | END                                    { koral::simple_directive(a, koral::statement_end); }
  | PUBLIC name_list                       { koral::name_list_statement(a, koral::statement_public, 0); }
  | EXTERN name_list                       { koral::name_list_statement(a, koral::statement_extern, 0); }
  | EXTERN MODEL name_list                 { koral::name_list_statement(a, koral::statement_extern, TOKEN($2).integer); }
  | ORG expr                               { koral::expression_directive(a, koral::statement_org, $2.tree); }
  | ALIGN expr                             { koral::expression_directive(a, koral::statement_align, $2.tree); }
  | DEBUG_DIRECTIVE STRING ',' signed ',' signed ',' signed
                                           { koral::debug_directive(a, TOKEN($1).integer, TOKEN($2),
                                                                    $4.number, $6.number, $8.number); }
  | DEBUG_TYPE signed ',' IDENT ',' type_list
                                           { koral::debug_type(a, $2.number, TOKEN($4)); }
  ;

type_list
  : signed                                 { koral::type_number(a, $1.number); }
  | STRING                                 { koral::type_string(a, TOKEN($1)); }
  | type_list ',' signed                   { koral::type_number(a, $3.number); }
  | type_list ',' STRING                   { koral::type_string(a, TOKEN($3)); }
  ;

control
  : CTL_EJECT                              { koral::simple_control(a, koral::statement_eject); }
  | CTL_INCLUDE STRING                     { koral::include_control(a, TOKEN($2)); }
  | CTL_LIST                               { koral::simple_control(a, koral::statement_list); }
  | CTL_NOLIST                             { koral::simple_control(a, koral::statement_nolist); }
  | CTL_SAVE                               { koral::simple_control(a, koral::statement_save); }
  | CTL_RESTORE                            { koral::simple_control(a, koral::statement_restore); }
  | CTL_TITLE STRING                       { koral::title_control(a, TOKEN($2)); }
  ;

signed
  : INTEGER                                { $$.number = koral::signed_number(a, TOKEN($1), false); }
  | '+' INTEGER                            { $$.number = koral::signed_number(a, TOKEN($2), false); }
  | '-' INTEGER                            { $$.number = koral::signed_number(a, TOKEN($2), true); }
  ;

data_statement
  : DB db_list                             { koral::list_directive(a, koral::statement_db); }
  | DATA_DIRECTIVE expr_list               { koral::list_directive(a, TOKEN($1).integer); }
  | FDATAS float_mode float_list           { koral::float_directive(a, koral::statement_fdatas); }
  | FDATAD float_mode float_list           { koral::float_directive(a, koral::statement_fdatad); }
  | FDATAX float_mode float_list           { koral::float_directive(a, koral::statement_fdatax); }
  | SPACE_DIRECTIVE expr                   { koral::expression_directive(a, TOKEN($1).integer, $2.tree); }
  | FILL_DIRECTIVE expr ',' expr           { koral::fill_directive(a, TOKEN($1).integer, $2.tree, $4.tree); }
  | FILL_BYTE_DIRECTIVE expr ',' expr      { koral::fill_byte_directive(a, $2.tree, $4.tree); }
  | FILL_BYTE_DIRECTIVE expr ',' STRING    { koral::fill_byte_string(a, $2.tree, TOKEN($4)); }
  ;

float_mode
  : %empty                                 { koral::enter_floating_data(a); }
  ;

db_list
  : expr                                   { koral::data_expression(a, $1.tree); }
  | STRING                                 { koral::data_string(a, TOKEN($1)); }
  | db_list ',' expr                       { koral::data_expression(a, $3.tree); }
  | db_list ',' STRING                     { koral::data_string(a, TOKEN($3)); }
  ;

expr_list
  : expr                                   { koral::data_expression(a, $1.tree); }
  | expr_list ',' expr                     { koral::data_expression(a, $3.tree); }
  ;

name_list
  : IDENT                                  { koral::name_item(a, TOKEN($1)); }
  | name_list ',' IDENT                    { koral::name_item(a, TOKEN($3)); }
  ;

float_list
  : fexpr                                  { koral::float_item(a, $1.tree); }
  | float_list ',' fexpr                   { koral::float_item(a, $3.tree); }
  ;

fexpr
  : INTEGER                                { $$.tree = koral::number_leaf(a, TOKEN($1), true); }
  | FLOAT                                  { $$.tree = koral::number_leaf(a, TOKEN($1), true); }
  | IDENT                                  { $$.tree = koral::symbol_leaf(a, TOKEN($1)); }
  | SIZEOF '(' IDENT ')'                   { $$.tree = koral::section_leaf(a, koral::name_sizeof, TOKEN($3)); }
  | SIZEOF IDENT                           { $$.tree = koral::section_leaf(a, koral::name_sizeof, TOKEN($2)); }
  | STARTOF '(' IDENT ')'                  { $$.tree = koral::section_leaf(a, koral::name_startof, TOKEN($3)); }
  | STARTOF IDENT                          { $$.tree = koral::section_leaf(a, koral::name_startof, TOKEN($2)); }
  | '(' fexpr ')'                          { $$.tree = $2.tree; }
  | fexpr '+' fexpr                        { $$.tree = koral::operator_node(a, koral::op_add, $1.tree, $3.tree); }
  | fexpr '-' fexpr                        { $$.tree = koral::operator_node(a, koral::op_subtract, $1.tree, $3.tree); }
  | fexpr '*' fexpr                        { $$.tree = koral::operator_node(a, koral::op_multiply, $1.tree, $3.tree); }
  | fexpr '/' fexpr                        { $$.tree = koral::operator_node(a, koral::op_divide, $1.tree, $3.tree); }
  | '+' fexpr %prec UNARY                  { $$.tree = koral::operator_node(a, koral::op_plus, $2.tree, 0); }
  | '-' fexpr %prec UNARY                  { $$.tree = koral::operator_node(a, koral::op_negate, $2.tree, 0); }
  ;

expr
  : INTEGER                                { $$.tree = koral::number_leaf(a, TOKEN($1), false); }
  | FLOAT                                  { $$.tree = koral::number_leaf(a, TOKEN($1), false); }
  | IDENT                                  { $$.tree = koral::symbol_leaf(a, TOKEN($1)); }
  | SIZEOF '(' IDENT ')'                   { $$.tree = koral::section_leaf(a, koral::name_sizeof, TOKEN($3)); }
  | SIZEOF IDENT                           { $$.tree = koral::section_leaf(a, koral::name_sizeof, TOKEN($2)); }
  | STARTOF '(' IDENT ')'                  { $$.tree = koral::section_leaf(a, koral::name_startof, TOKEN($3)); }
  | STARTOF IDENT                          { $$.tree = koral::section_leaf(a, koral::name_startof, TOKEN($2)); }
  | FLOAT_FUNCTION '(' fexpr ')'           { $$.tree = koral::float_function(a, TOKEN($1).integer, $3.tree); }
  | '(' expr ')'                           { $$.tree = $2.tree; }
  | expr '+' expr                          { $$.tree = koral::operator_node(a, koral::op_add, $1.tree, $3.tree); }
  | expr '-' expr                          { $$.tree = koral::operator_node(a, koral::op_subtract, $1.tree, $3.tree); }
  | expr '*' expr                          { $$.tree = koral::operator_node(a, koral::op_multiply, $1.tree, $3.tree); }
  | expr '/' expr                          { $$.tree = koral::operator_node(a, koral::op_divide, $1.tree, $3.tree); }
  | expr '%' expr                          { $$.tree = koral::operator_node(a, koral::op_remainder, $1.tree, $3.tree); }
  | expr '&' expr                          { $$.tree = koral::operator_node(a, koral::op_and, $1.tree, $3.tree); }
  | expr '|' expr                          { $$.tree = koral::operator_node(a, koral::op_or, $1.tree, $3.tree); }
  | expr '^' expr                          { $$.tree = koral::operator_node(a, koral::op_xor, $1.tree, $3.tree); }
  | expr SHR expr                          { $$.tree = koral::operator_node(a, koral::op_shift_right, $1.tree, $3.tree); }
  | expr SHL expr                          { $$.tree = koral::operator_node(a, koral::op_shift_left, $1.tree, $3.tree); }
  | expr ':' expr                          { $$.tree = koral::operator_node(a, koral::op_width, $1.tree, $3.tree); }
  | '+' expr %prec UNARY                   { $$.tree = koral::operator_node(a, koral::op_plus, $2.tree, 0); }
  | '-' expr %prec UNARY                   { $$.tree = koral::operator_node(a, koral::op_negate, $2.tree, 0); }
  | '~' expr %prec UNARY                   { $$.tree = koral::operator_node(a, koral::op_complement, $2.tree, 0); }
  | CODE_ADDR '(' expr ')'                 { $$.tree = koral::code_address(a, $3.tree); }
  ;

instruction
  : MNEMONIC                               { koral::begin_instruction(a, TOKEN($1)); }
    operands
  ;

operands
  : %empty
  | form
  | form bit
  | form ',' form
  | form bit ',' form
  | form ',' form bit
  | form bit ',' form bit
  ;

bit
  : '.' expr                               { koral::bit_suffix(a, 1, $2.tree, -1); }
  | '.' REGISTER                           { koral::bit_suffix(a, 0, 0, TOKEN($2).integer); }
  ;

form
  : REGISTER                               { koral::operand(a, koral::class_register, TOKEN($1).integer, -1, 0, 0); }
  | expr                                   { koral::operand(a, koral::class_value, -1, -1, $1.tree, 0); }
  | CONDITION                              { koral::operand(a, koral::class_condition, TOKEN($1).integer, -1, 0, 0); }
  | '-' REGISTER                           { koral::operand(a, koral::class_minus_register, TOKEN($2).integer, -1, 0, 0); }
  | REGISTER '+'                           { koral::operand(a, koral::class_register_plus, TOKEN($1).integer, -1, 0, 0); }
  | REGISTER '+' expr                      { koral::operand(a, koral::class_register_displacement, TOKEN($1).integer, -1, $3.tree, 1); }
  | REGISTER '-' expr                      { koral::operand(a, koral::class_register_displacement, TOKEN($1).integer, -1,
                                                            koral::operator_node(a, koral::op_negate, $3.tree, 0), -1); }
  | REGISTER '+' REGISTER                  { koral::operand(a, koral::class_register_plus_register, TOKEN($1).integer, TOKEN($3).integer, 0, 0); }
  | '[' REGISTER ']'                       { koral::indirect_operand(a, TOKEN($2).integer); }
  | '[' '-' REGISTER ']'                   { koral::operand(a, koral::class_pre_decrement, TOKEN($3).integer, -1, 0, 0); }
  | '[' REGISTER '-' ']'                   { koral::operand(a, koral::class_push, TOKEN($2).integer, -1, 0, 0); }
  | '[' REGISTER '+' ']'                   { koral::operand(a, koral::class_post_increment, TOKEN($2).integer, -1, 0, 0); }
  | '[' '+' REGISTER ']'                   { koral::operand(a, koral::class_pop, TOKEN($3).integer, -1, 0, 0); }
  | '[' REGISTER '-' expr ']'              { koral::operand(a, koral::class_indexed, TOKEN($2).integer, -1,
                                                            koral::operator_node(a, koral::op_negate, $4.tree, 0), -1); }
  | '[' REGISTER '+' expr ']'              { koral::operand(a, koral::class_indexed, TOKEN($2).integer, -1, $4.tree, 1); }
  | '[' REGISTER '+' REGISTER ']'          { koral::operand(a, koral::class_register_pair, TOKEN($2).integer, TOKEN($4).integer, 0, 0); }
  | '[' expr ']'                           { koral::operand(a, koral::class_direct, -1, -1, $2.tree, 0); }
  ;

%%
