#include "source/grammar_actions.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "expr/constants.h"
#include "expr/evaluate.h"
#include "source/lexer.h"
#include "source/token_file.h"
#include "symbols/cross_reference.h"
#include "symbols/hash.h"
#include "symbols/symbol_table.h"

namespace koral {

namespace {

constexpr int32_t register_a = 73;
constexpr int32_t register_sp = 191;

StatementState& statement(Assembly& a) { return a.statement; }

void mark_directive(Assembly& a, int32_t kind) {
  StatementState& s = statement(a);
  s.d.kind = kind;
  s.is_directive = true;
  s.has_content = true;
}

bool starts_like_a_name(std::string_view name) {
  if (name.empty()) return false;
  unsigned char c = static_cast<unsigned char>(name[0]);
  return std::isalpha(c) || c == '.' || c == '_';
}

// The symbol named `name`, entered as a forward reference when new.
Symbol* symbol_named(Assembly& a, std::string_view name, int32_t kind_when_new) {
  uint32_t hash = hash_name(name);
  if (Symbol* found = lookup_symbol(a, name, hash)) return found;
  return insert_name(a, name, kind_when_new).symbol;
}

// Labels: the symbol takes the current section and location counter and
// the position of the statement.
void place_label(Assembly& a, Symbol& symbol, bool colon) {
  StatementState& s = statement(a);
  Section* section = a.run.section;
  const SourceFile& file = a.sources.files[a.sources.current];
  symbol.section = section;
  symbol.value = static_cast<int32_t>(section->location);
  symbol.file_index = static_cast<int32_t>(a.sources.current);
  symbol.line_in_file = file.line_in_file;
  symbol.listing_line = file.listing_line;
  s.has_label = true;
  LabelRecord* record = a.token_file.item<LabelRecord>(record_header_size);
  record->kind = kind_byte(294);
  record->symbol = handle_of(&symbol);
  record->colon = colon ? 1 : 0;
}

void label_reported(Assembly& a, int code, std::string_view argument) {
  direct_report(a, code, argument);
  statement(a).label_diagnostic = true;
}

// Links a new item of type `Item` after the last one of the list.
template <typename Item>
void link_item(Assembly& a, uint32_t last, uint32_t at) {
  a.token_file.item<Item>(last)->next = static_cast<int32_t>(at - last);
  a.token_file.item<Item>(at)->previous = static_cast<int32_t>(last);
}

// The item that ends the statement's item list; the first one reserves the
// byte for the statement kind.  Data items and name items have the same
// size but keep their links in different words, hence the type.
template <typename Item>
uint32_t append_item(Assembly& a) {
  StatementDescriptor& d = statement(a).d;
  if (!d.first_item) d.kind_byte = alloc_body(a, 1);
  uint32_t at = alloc_body(a, sizeof(Item));
  if (!d.first_item)
    d.first_item = at;
  else
    link_item<Item>(a, d.last_item, at);
  d.last_item = at;
  ++d.item_count;
  return at;
}

ArenaRef text_copy(Assembly& a, const TokenValue& text) {
  if (!text.text) return 0;
  return arena_copy(a, text.text, static_cast<uint32_t>(text.length));
}

// The entry of a pending data label.  The name was new when the label was
// read, but the statement's own operands may have entered it since as a
// forward reference ("BUF DW BUF"): that entry becomes the label.
Symbol* data_label_entry(Assembly& a, std::string_view name) {
  Symbol* found = lookup_symbol(a, name, hash_name(name));
  if (!found) return insert_name(a, name, kind_label).symbol;
  found->kind = kind_label;
  return found;
}

uint32_t keep_name_handle(Assembly& a, std::string_view name) {
  StatementState& s = statement(a);
  s.kept_names.push_back(keep_name(a, name));
  return static_cast<uint32_t>(s.kept_names.size());
}

}  // namespace

namespace {

// Keeps the rows that values on the parser stack refer to, in their order,
// and renumbers those values.  A value of a rule (not of a token) may hold any
// number: keeping or renumbering its row does no harm, as it is never read.
void shed_rows(LexerState& lx, std::span<ParserValue> stack) {
  std::vector<TokenValue>& tokens = lx.tokens;
  std::vector<uint32_t>& map = lx.row_map;  // old row -> new row + 1, 0 when dropped
  map.assign(tokens.size(), 0);
  for (const ParserValue& v : stack)
    if (v.token < map.size()) map[v.token] = 1;
  uint32_t kept = 0;
  for (uint32_t row = 0; row < map.size(); ++row) {
    if (!map[row]) continue;
    tokens[kept] = tokens[row];
    map[row] = ++kept;
  }
  tokens.resize(kept);
  for (ParserValue& v : stack)
    if (v.token < map.size() && map[v.token]) v.token = map[v.token] - 1;
  lx.shed_at = std::max<std::size_t>(1024, 2 * std::size_t(kept));
}

}  // namespace

int parser_next_token(Assembly& a, ParserValue& value, std::span<ParserValue> stack) {
  LexerState& lx = a.lexer;
  std::vector<TokenValue>& tokens = lx.tokens;
  if (lx.at_line_start) {
    tokens.clear();
    lx.discarding = false;
  } else if (tokens.size() >= lx.shed_at) {
    shed_rows(lx, stack);
  }
  value.tree = 0;
  value.number = 0;
  if (lx.discarding && !tokens.empty()) {
    // A long bad line costs no memory per token.
    value.token = static_cast<uint32_t>(tokens.size() - 1);
    return next_token(a, tokens.back());
  }
  value.token = static_cast<uint32_t>(tokens.size());
  return next_token(a, tokens.emplace_back());
}

// --- labels ------------------------------------------------------------------------

void define_label(Assembly& a, const TokenValue& name, bool colon) {
  StatementState& s = statement(a);
  alloc_body(a, sizeof(LabelRecord));
  s.label_slot = true;
  if (colon) {
    s.has_content = true;
  } else {
    // A name without a colon only stands before a data statement.
    s.is_directive = true;
    s.has_content = true;
  }
  if (!a.run.section) {
    label_reported(a, 208, {});
    return;
  }
  if (name.section) {
    label_reported(a, 203, name.name);
    return;
  }
  Symbol* symbol = name.symbol ? name.symbol : lookup_symbol(a, name.name, hash_name(name.name));
  if (symbol) {
    switch (symbol->kind) {
      case kind_forward:
        symbol->kind = kind_label;
        break;
      case kind_public_undefined:
        symbol->kind = colon ? kind_public_label : kind_public_variable;
        break;
      case kind_external:
        symbol->kind = kind_label;
        --a.symbols.user_defined_count;
        break;
      case kind_location:
        label_reported(a, 208, {});
        return;
      default:
        label_reported(a, 203, name_of(*symbol));
        symbol->status |= status_multi_defined;
        return;
    }
    place_label(a, *symbol, colon);
    s.label = symbol;
    return;
  }
  if (name.name == "$" || !starts_like_a_name(name.name)) {
    label_reported(a, 208, {});
    return;
  }
  if (!colon) {
    s.pending_label = name.name;
    return;
  }
  Symbol* created = insert_name(a, name.name, kind_label).symbol;
  place_label(a, *created, true);
  s.label = created;
}

Symbol* define_data_label(Assembly& a) {
  StatementState& s = statement(a);
  if (s.pending_label.empty() || !a.run.section) return s.label;
  Symbol* created = data_label_entry(a, s.pending_label);
  s.pending_label = {};
  place_label(a, *created, false);
  s.label = created;
  return created;
}

void unlabelled_data(Assembly& a) {
  StatementState& s = statement(a);
  s.is_directive = true;
  s.has_content = true;
  s.label = nullptr;
}

// --- statements -----------------------------------------------------------------------

void section_statement(Assembly& a, const TokenValue& name, const TokenValue& type, int32_t model) {
  StatementDescriptor& d = statement(a).d;
  mark_directive(a, statement_section);
  d.name = name.name;
  d.model = model;
  std::string upper(type.name);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper == "CODE")
    d.type_code = 2;
  else if (upper == "DATA")
    d.type_code = 4;
  else if (upper == "ROMDATA")
    d.type_code = 8;
  else
    report_error(a, 216);
}

void section_abs(Assembly& a, ArenaRef address) {
  statement(a).d.abs_given = true;
  statement(a).d.abs_address = address;
}

void section_align(Assembly& a, ArenaRef alignment, ArenaRef label_alignment) {
  StatementDescriptor& d = statement(a).d;
  d.alignment = alignment;
  d.label_alignment = label_alignment;
}

void equ_statement(Assembly& a, const TokenValue& name, ArenaRef expression) {
  StatementDescriptor& d = statement(a).d;
  mark_directive(a, statement_equ);
  d.name = name.name;
  d.expression = expression;
}

void module_statement(Assembly& a, const TokenValue& name) {
  mark_directive(a, statement_module);
  statement(a).d.name = name.name;
}

void simple_directive(Assembly& a, int32_t kind) { mark_directive(a, kind); }
void simple_control(Assembly& a, int32_t kind) { mark_directive(a, kind); }

void include_control(Assembly& a, const TokenValue& file_name) {
  StatementDescriptor& d = statement(a).d;
  mark_directive(a, statement_include);
  if (file_name.include_form < 0) {
    report_error(a, 218);
    return;
  }
  d.first_value = file_name.include_form;
  d.text = text_copy(a, file_name);
  d.text_length = file_name.length;
}

void title_control(Assembly& a, const TokenValue& title) {
  StatementDescriptor& d = statement(a).d;
  mark_directive(a, statement_title);
  d.text = text_copy(a, title);
  d.text_length = title.length;
}

void expression_directive(Assembly& a, int32_t kind, ArenaRef expression) {
  mark_directive(a, kind);
  statement(a).d.expression = expression;
}

void name_list_statement(Assembly& a, int32_t kind, int32_t model) {
  mark_directive(a, kind);
  statement(a).d.model = model;
}

void list_directive(Assembly& a, int32_t kind) { statement(a).d.kind = kind; }

void float_directive(Assembly& a, int32_t kind) {
  StatementDescriptor& d = statement(a).d;
  d.kind = kind;
  d.type_code = kind == statement_fdatas ? 32 : kind == statement_fdatad ? 64 : 80;
}

void enter_floating_data(Assembly& a) { a.evaluation.floating_data = true; }

void fill_directive(Assembly& a, int32_t kind, ArenaRef count, ArenaRef value) {
  StatementDescriptor& d = statement(a).d;
  d.kind = kind;
  d.count = count;
  d.expression = value;
}

void fill_byte_directive(Assembly& a, ArenaRef count, ArenaRef value) {
  data_expression(a, value);
  StatementDescriptor& d = statement(a).d;
  d.kind = statement_dfb;
  d.count = count;
}

void fill_byte_string(Assembly& a, ArenaRef count, const TokenValue& text) {
  data_string(a, text);
  StatementDescriptor& d = statement(a).d;
  d.kind = statement_dfb;
  d.count = count;
}

void debug_directive(Assembly& a, int32_t kind, const TokenValue& text, int32_t first, int32_t second,
                     int32_t third) {
  StatementState& s = statement(a);
  mark_directive(a, kind);
  s.own_debug_directives = true;
  s.d.text = text_copy(a, text);
  s.d.text_length = text.length;
  s.d.numbers[0] = first;
  s.d.numbers[1] = second;
  s.d.numbers[2] = third;
  if (kind == statement_line) {
    s.d.first_value = second;
    s.d.second_value = third;
  }
}

void debug_type(Assembly& a, int32_t number, const TokenValue& type_name) {
  StatementDescriptor& d = statement(a).d;
  mark_directive(a, statement_symbol_t);
  d.first_value = number;
  d.name = keep_name(a, type_name.name);
  d.type_list.insert(d.type_list.begin(), DebugTypeNode{294, 0, d.name});
}

void type_number(Assembly& a, int32_t number) {
  statement(a).d.type_list.push_back(DebugTypeNode{299, number, {}});
}

void type_string(Assembly& a, const TokenValue& text) {
  std::string_view kept = keep_name(a, std::string_view(text.text, static_cast<std::size_t>(text.length)));
  statement(a).d.type_list.push_back(DebugTypeNode{296, 0, kept});
}

int32_t signed_number(Assembly& a, const TokenValue& number, bool negative) {
  int32_t value = number.number ? integer_constant_value(a, *number.number, a.statement.end_seen) : 0;
  return negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(value)) : value;
}

// --- list items ----------------------------------------------------------------------

void data_expression(Assembly& a, ArenaRef expression) {
  uint32_t at = append_item<DataItem>(a);
  DataItem* item = a.token_file.item<DataItem>(at);
  item->expression = expression;
  item->type = 1;
}

void data_string(Assembly& a, const TokenValue& text) {
  ArenaRef copy = text_copy(a, text);
  uint32_t at = append_item<DataItem>(a);
  DataItem* item = a.token_file.item<DataItem>(at);
  item->text = copy;
  item->length = text.length;
  item->type = 0;
}

void name_item(Assembly& a, const TokenValue& name) {
  uint32_t handle = keep_name_handle(a, name.name);
  uint32_t at = append_item<NameItem>(a);
  a.token_file.item<NameItem>(at)->name = handle;
}

void float_item(Assembly& a, ArenaRef expression) {
  uint32_t at = append_item<FloatItem>(a);
  a.token_file.item<FloatItem>(at)->expression = expression;
}

// --- expressions ---------------------------------------------------------------------

ArenaRef number_leaf(Assembly& a, const TokenValue& number, bool floating_expression) {
  if (!number.number) return make_integer_leaf(a, 0);
  const NumericConstant& constant = *number.number;
  bool floating_data = a.evaluation.floating_data;
  bool is_float = constant.token_class == 300;
  if (!is_float && !floating_data)
    return make_integer_leaf(a, integer_constant_value(a, constant, a.statement.end_seen));
  ScaledDecimal pair{0.0, 0};
  floating_constant_value(a, constant, floating_data, pair);
  ArenaRef leaf = make_floating_leaf(a, pair.mantissa, pair.exponent, 0);
  if (is_float && !floating_data && !floating_expression) {
    // A floating constant where an integer is built: its integer part, with warning 501.
    a.arena.at<ConstantNode>(leaf)->value = integer_constant_value(a, constant, a.statement.end_seen);
  }
  return leaf;
}

ArenaRef symbol_leaf(Assembly& a, const TokenValue& name) {
  Symbol* symbol = symbol_named(a, name.name, kind_forward);
  record_reference(a, symbol, nullptr);
  return make_name_leaf(a, name_symbol, handle_of(symbol), 0);
}

ArenaRef section_leaf(Assembly& a, int32_t kind, const TokenValue& name) {
  uint32_t hash = hash_name(name.name);
  if (lookup_symbol(a, name.name, hash)) {
    report_error(a, 232, name.name);
    return 0;
  }
  Section* section = lookup_section(a, name.name, hash);
  if (!section) section = insert_name(a, name.name, 0).section;
  record_reference(a, nullptr, section);
  return make_name_leaf(a, kind, 0, handle_of(section));
}

ArenaRef float_function(Assembly& a, int32_t function, ArenaRef expression) {
  bool was_floating = a.evaluation.floating_data;
  a.evaluation.floating_data = true;
  Value v = evaluate(a, expression);
  a.evaluation.floating_data = was_floating;
  int32_t result = 0;
  if (v.kind & (relocatable_kinds | V_INVALID)) {
    report_error(a, 206);
  } else {
    ScaledDecimal pair{v.mantissa, v.exponent};
    if (pair.mantissa == 0.0 && v.value != 0) pair = scaled_of_integer(v.value);
    result = static_cast<int32_t>(float_function_value(a, static_cast<FloatFunction>(function), pair));
  }
  if (was_floating) {
    ScaledDecimal pair = scaled_of_integer(result);
    return make_floating_leaf(a, pair.mantissa, pair.exponent, 0);
  }
  return make_integer_leaf(a, result);
}

ArenaRef code_address(Assembly& a, ArenaRef expression) {
  if (a.settings.model_level < 2) report_error(a, 206);
  return make_operator(a, op_code_address, expression, 0);
}

ArenaRef operator_node(Assembly& a, int32_t op, ArenaRef left, ArenaRef right) {
  return make_operator(a, op, left, right);
}

// --- instructions --------------------------------------------------------------------

void begin_instruction(Assembly& a, const TokenValue& mnemonic) {
  StatementState& s = statement(a);
  s.is_instruction = true;
  s.has_content = true;
  s.d.kind = statement_instruction;
  if (!a.run.section) report_error(a, 215);
  s.instruction = alloc_body(a, sizeof(InstructionRecord));
  InstructionRecord* record = a.token_file.item<InstructionRecord>(s.instruction);
  record->mnemonic = mnemonic.integer;
  record->mode_mask = mnemonic.mode_mask;
}

void operand(Assembly& a, int32_t syntax_class, int32_t reg, int32_t second_reg, ArenaRef expression,
             int32_t displacement_sign) {
  StatementState& s = statement(a);
  if (s.operand_count >= 2) return;
  uint32_t at = alloc_body(a, sizeof(OperandRecord));
  OperandRecord* record = a.token_file.item<OperandRecord>(at);
  record->syntax_class = syntax_class;
  record->expression = expression;
  record->field_type = field_implied;
  record->reg = reg;
  record->second_reg = second_reg;
  record->displacement_sign = displacement_sign;
  if (s.operand_count == 0)
    a.token_file.item<InstructionRecord>(s.instruction)->first_operand =
        static_cast<int32_t>(at - s.instruction);
  else
    a.token_file.item<OperandRecord>(s.operands[0])->next = static_cast<int32_t>(at - s.operands[0]);
  s.operands[s.operand_count++] = at;
}

void indirect_operand(Assembly& a, int32_t reg) {
  if (reg == register_sp)  // [SP] is [SP+0]
    operand(a, class_indexed, reg, no_register, make_integer_leaf(a, 0), 1);
  else
    operand(a, class_indirect, reg, no_register, 0, 0);
}

void bit_suffix(Assembly& a, int32_t with_expression, ArenaRef expression, int32_t reg) {
  StatementState& s = statement(a);
  if (s.operand_count == 0) return;
  OperandRecord* record = a.token_file.item<OperandRecord>(s.operands[s.operand_count - 1]);
  if (with_expression) {
    record->bit_designator = 1;
    record->bit_expression = expression;
    return;
  }
  constexpr int32_t register_suffix_classes =
      class_indirect | class_indexed | class_register_pair | class_pop | class_direct;
  if (!(record->syntax_class & register_suffix_classes)) {
    a.lexer.syntax_error = true;
    return;
  }
  record->bit_designator = reg == register_a ? 2 : 3;
}

}  // namespace koral
