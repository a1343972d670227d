#include "expr/evaluate.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "expr/constants.h"
#include "symbols/hash.h"
#include "symbols/symbol_table.h"

namespace koral {

namespace {

// Statement kinds the evaluator looks at.
constexpr int32_t kind_org = 258;
constexpr int32_t kind_equ_statement = 305;
constexpr int32_t kind_dfb = 322;
constexpr int32_t kind_dfw = 324;
constexpr int32_t kind_dfd = 326;
constexpr int32_t kind_dsb = 328;
constexpr int32_t kind_dsd = 331;
constexpr int32_t mnemonic_jrs = 1034;
constexpr int32_t mnemonic_jr = 1035;
constexpr int32_t mnemonic_callv = 1036;

struct Result {
  Value v;
  bool floating = false;  // carries a non-zero scaled decimal value
};

bool relocatable(uint32_t kind) { return (kind & relocatable_kinds) != 0; }
bool absolute(uint32_t kind) { return (kind & absolute_kinds) != 0; }

Result invalid() { return Result{Value{V_INVALID, 0, 0.0, 0}, false}; }

Result integer_result(uint32_t kind, int32_t value) {
  ScaledDecimal pair = scaled_of_integer(value);
  return Result{Value{kind, value, pair.mantissa, pair.exponent}, false};
}

// Mantissa x 10^exponent as a 32-bit integer: scaled one decimal place at a
// time, then truncated toward zero (low 32 bits beyond the range).
int32_t integer_of_pair(double mantissa, int32_t exponent) {
  if (mantissa == 0.0) return 0;
  for (int32_t e = exponent; e > 0; --e) mantissa *= 10.0;
  for (int32_t e = exponent; e < 0; ++e) mantissa /= 10.0;
  double truncated = std::trunc(mantissa);
  if (!(std::fabs(truncated) < 9.2e18)) return 0;
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(truncated)));
}

// Re-reads a mantissa through its "%+.15e" text, so that its exponent lands
// in the pair's exponent.
ScaledDecimal normalised(double mantissa) {
  char text[64];
  std::snprintf(text, sizeof text, "%+.*e", 15, mantissa);
  char* end = nullptr;
  double value = std::strtod(text, &end);
  if (end == text) return ScaledDecimal{0.0, 0};
  return ScaledDecimal{value, 0};
}

Section* current_section(Assembly& a) { return a.run.section; }
bool error_reported(const Assembly& a) { return a.diag.error_mark; }
bool warning_reported(const Assembly& a) { return a.diag.warning_mark; }
int32_t current_listing_line(const Assembly& a) {
  return a.sources.files.empty() ? 0 : a.sources.files[a.sources.current].listing_line;
}

bool section_named(Assembly& a, std::string_view name) {
  return lookup_section(a, name, hash_name(name)) != nullptr;
}

bool is_storage_statement(int32_t kind) { return kind >= kind_dsb && kind <= kind_dsd; }

// --- general evaluator: leaves ---------------------------------------------------

Result section_leaf(Assembly& a, const NameNode& node) {
  Section* section = section_from_handle(a, node.section);
  if (a.run.pass == pass_two) {
    if (!section || section->kind == kind_deleted) return invalid();
    if (section->kind == 0) {
      report_error(a, 232, name_of(*section));
      return invalid();
    }
  }
  return integer_result(V_EXPR, 0);
}

Result label_value(Assembly& a, const Symbol& symbol) {
  Section* own = symbol.section;
  Section* current = current_section(a);
  int32_t value = symbol.value;
  if (own != current) {
    bool other_absolute = own && (own->kind & section_absolute);
    return integer_result(other_absolute ? V_ABSOTHER : V_EXPR, value);
  }
  bool here_absolute = current && (current->kind & section_absolute);
  if (a.evaluation.forward_jump_target && a.run.pass == pass_two && a.run.iteration > 0 && current)
    value -= current->bytes_saved;
  return integer_result(here_absolute ? V_ABSADDR : V_LOCAL, value);
}

Result symbol_leaf(Assembly& a, const NameNode& node) {
  Symbol* symbol = symbol_from_handle(a, node.symbol);
  int32_t pass = a.run.pass;
  if (!symbol) {  // a section name written as a plain symbol
    return pass == pass_two ? invalid() : integer_result(V_EXPR, 0);
  }
  int32_t kind = symbol->kind;
  int32_t statement = a.run.statement_kind;
  bool undefined = kind == kind_forward || kind == kind_public_undefined;

  if ((pass == pass_two || pass == pass_final) && is_storage_statement(statement)) {
    if (undefined) {
      report_error(a, 226);
      return invalid();
    }
    if (symbol->listing_line > current_listing_line(a)) {
      report_error(a, 223);
      return invalid();
    }
  }
  if (pass == pass_one && statement == kind_org && kind == kind_forward) {
    report_error(a, 223);
    return invalid();
  }
  if (symbol->status & status_multi_defined) {
    if (pass == pass_two && !error_reported(a)) report_error(a, 220);
    return invalid();
  }
  switch (kind) {
    case kind_equ:
    case kind_public_equ:
      return integer_result(V_ABS, symbol->value);
    case kind_label:
    case kind_public_label:
    case kind_public_variable:
    case kind_late_public:
      return label_value(a, *symbol);
    case kind_external:
      return integer_result(V_EXPR, symbol->value);
    case kind_location: {
      Section* current = current_section(a);
      bool here_absolute = (current && (current->kind & section_absolute)) || statement == kind_org;
      int32_t value = (current && !error_reported(a)) ? static_cast<int32_t>(current->location) : 0;
      return integer_result(here_absolute ? V_ABSADDR : V_HERE, value);
    }
    case kind_forward:
    case kind_public_undefined:
      if (pass == pass_one) return integer_result(V_EXPR, 0);
      if (kind == kind_forward && !error_reported(a))
        report_error(a, section_named(a, name_of(*symbol)) ? 225 : 221);
      return invalid();
    default:
      if (section_named(a, name_of(*symbol))) report_error(a, 225);
      return invalid();
  }
}

Result evaluate_node(Assembly& a, ArenaRef ref, bool top);

Result name_leaf(Assembly& a, const NameNode& node) {
  Result r = node.kind == name_symbol ? symbol_leaf(a, node) : section_leaf(a, node);
  if (a.evaluation.floating_data && !warning_reported(a)) report_warning(a, 518);
  return r;
}

Result constant_leaf(const ConstantNode& node, bool top) {
  if (!node.floating) return integer_result(V_ABS, node.value);
  Result r{Value{V_ABS, 0, node.mantissa, node.exponent}, node.mantissa != 0.0};
  if (!top) r.v.value = integer_of_pair(node.mantissa, node.exponent);
  return r;
}

// --- general evaluator: operators ------------------------------------------------

uint32_t kind_of_sum(uint32_t l, uint32_t r) {
  if (relocatable(l) && relocatable(r)) return V_EXPR;
  if (relocatable(l)) return l;
  if (relocatable(r)) return r;
  return l;
}

// Two plain symbols defined in one section, neither external-sized.
bool same_section_symbols(Assembly& a, ArenaRef left, ArenaRef right) {
  if (a.arena.tag(left) != node_name || a.arena.tag(right) != node_name) return false;
  const NameNode& l = *a.arena.at<NameNode>(left);
  const NameNode& r = *a.arena.at<NameNode>(right);
  if (l.kind != name_symbol || r.kind != name_symbol) return false;
  Symbol* ls = symbol_from_handle(a, l.symbol);
  Symbol* rs = symbol_from_handle(a, r.symbol);
  if (!ls || !rs || !ls->section || ls->section != rs->section) return false;
  return ls->model == 0 && rs->model == 0;
}

uint32_t kind_of_difference(Assembly& a, const OperatorNode& node, uint32_t l, uint32_t r) {
  if (l == V_LOCAL || l == V_HERE) {
    if (r == V_EXPR) return V_EXPR;
    if (r == V_LOCAL || r == V_HERE) return V_ABSOTHER;
    return l;
  }
  if (l == V_EXPR) {
    if (relocatable(r) && same_section_symbols(a, node.left, node.right)) return V_ABS;
    return V_EXPR;
  }
  return relocatable(r) ? V_EXPR : l;
}

double as_double(const Result& r) { return r.floating ? r.v.mantissa : static_cast<double>(r.v.value); }
int32_t exponent_of(const Result& r) { return r.floating ? r.v.exponent : 0; }

ScaledDecimal pair_of(const Result& r) { return ScaledDecimal{as_double(r), exponent_of(r)}; }

Result floating_result(uint32_t kind, ScaledDecimal pair) {
  return Result{Value{kind, integer_of_pair(pair.mantissa, pair.exponent), pair.mantissa, pair.exponent},
                pair.mantissa != 0.0};
}

Result divide(Assembly& a, uint32_t kind, const Result& l, const Result& r, uint32_t right_kind) {
  bool floating = l.floating || r.floating;
  if (!floating && r.v.value == 0) {
    if (a.run.pass == pass_final && right_kind == V_ABS) report_error(a, 201);
    return integer_result(kind, 0);
  }
  if (floating) {
    double divisor = as_double(r);
    if (divisor == 0.0) {
      if (a.run.pass == pass_one && right_kind == V_ABS) report_error(a, 201);
      return integer_result(kind, 0);
    }
    return floating_result(kind, scaled_arithmetic(op_divide, pair_of(l), pair_of(r)));
  }
  if (l.v.value == INT32_MIN && r.v.value == -1) return integer_result(kind, INT32_MIN);
  return integer_result(kind, l.v.value / r.v.value);
}

Result operator_node(Assembly& a, const OperatorNode& node) {
  bool unary = node.op == op_plus || node.op == op_negate || node.op == op_complement ||
               node.op == op_code_address;
  Result l = evaluate_node(a, node.left, false);
  if (l.v.kind == V_INVALID) return invalid();
  Result r;
  if (node.right) {
    r = evaluate_node(a, node.right, false);
    if (r.v.kind == V_INVALID) return invalid();
  } else if (!unary) {
    return invalid();
  }
  uint32_t lk = l.v.kind, rk = r.v.kind;
  bool floating = l.floating || r.floating;
  int32_t lv = l.v.value, rv = r.v.value;
  auto wrap = [](int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); };

  switch (node.op) {
    case op_add:
    case op_subtract: {
      uint32_t kind = node.op == op_add ? kind_of_sum(lk, rk) : kind_of_difference(a, node, lk, rk);
      if (kind == V_EXPR) return integer_result(kind, 0);
      if (floating) return floating_result(kind, scaled_arithmetic(node.op, pair_of(l), pair_of(r)));
      return integer_result(kind, node.op == op_add ? wrap(int64_t(lv) + rv) : wrap(int64_t(lv) - rv));
    }
    case op_multiply:
    case op_divide:
    case op_remainder:
    case op_and:
    case op_or:
    case op_xor: {
      uint32_t kind = (absolute(lk) && absolute(rk)) ? (rk == V_ABS ? lk : rk) : V_EXPR;
      switch (node.op) {
        case op_and: return integer_result(kind, lv & rv);
        case op_or: return integer_result(kind, lv | rv);
        case op_xor: return integer_result(kind, lv ^ rv);
        default: break;
      }
      if (kind == V_EXPR) return integer_result(kind, 0);
      if (node.op == op_multiply) {
        if (floating) return floating_result(kind, scaled_arithmetic(op_multiply, pair_of(l), pair_of(r)));
        return integer_result(kind, wrap(int64_t(lv) * rv));
      }
      if (node.op == op_divide) return divide(a, kind, l, r, rk);
      if (rv == 0) {
        if (a.run.pass == pass_final && rk == V_ABS) report_error(a, 201);
        return integer_result(kind, 0);
      }
      if (lv == INT32_MIN && rv == -1) return integer_result(kind, 0);
      return integer_result(kind, lv % rv);
    }
    case op_plus:
    case op_negate:
    case op_complement: {
      bool unresolved = (lk & unresolved_kinds) != 0;
      if (unresolved && lk != V_LOCAL) return integer_result(lk, 0);
      if (node.op == op_plus) return l;
      if (node.op == op_complement) return integer_result(lk, ~lv);
      if (l.floating) return Result{Value{lk, wrap(-int64_t(lv)), -l.v.mantissa, l.v.exponent}, true};
      return integer_result(lk, wrap(-int64_t(lv)));
    }
    case op_shift_right:
    case op_shift_left: {
      if (relocatable(rk)) {
        if (a.run.pass == pass_final) {
          if (rk != V_HERE) report_error(a, 204);
          return invalid();
        }
        return integer_result(V_EXPR, rv);
      }
      if (!absolute(lk)) return integer_result(V_EXPR, rv);
      return integer_result(lk, shifted(lv, rv, node.op == op_shift_right));
    }
    case op_width: {
      if (rk != V_ABS || rv < 1 || rv > 32) {
        report_error(a, 206);
        return integer_result(V_EXPR, 0);
      }
      if ((lk & unresolved_kinds) != 0) return integer_result(lk, lv);
      uint32_t mask = rv == 32 ? 0xFFFFFFFFu : ((1u << rv) - 1u);
      uint32_t kept = static_cast<uint32_t>(lv) & mask;
      if (kept != static_cast<uint32_t>(lv) && !warning_reported(a)) report_warning(a, 501);
      return integer_result(lk, static_cast<int32_t>(kept));
    }
    case op_code_address: {
      if (l.floating) return invalid();
      if (lk == V_LOCAL) return l;
      if (absolute(lk) && (lv < 0x10000 || lv > 0x1FFFF)) report_error(a, 206);
      int32_t m = a.evaluation.mnemonic;
      bool keep_bit = m == mnemonic_jrs || m == mnemonic_jr || m == mnemonic_callv;
      return integer_result(lk, keep_bit ? lv : (lv & ~0x10000));
    }
    default:
      return invalid();
  }
}

Result evaluate_node(Assembly& a, ArenaRef ref, bool top) {
  if (!ref) return invalid();
  switch (a.arena.tag(ref)) {
    case node_operator: return operator_node(a, *a.arena.at<OperatorNode>(ref));
    case node_constant: return constant_leaf(*a.arena.at<ConstantNode>(ref), top);
    case node_name: return name_leaf(a, *a.arena.at<NameNode>(ref));
    default: return invalid();
  }
}

// --- absolute evaluator -------------------------------------------------------------

Value absolute_invalid() { return Value{V_INVALID, 0, 0.0, 0}; }
Value absolute_value(int32_t v) { return Value{V_ABS, v, 0.0, 0}; }

bool line_check_statement(int32_t kind) {
  return kind == kind_equ_statement || kind == kind_org || kind == kind_dfb ||
         (kind >= kind_dfw && kind <= kind_dfd);
}

Value absolute_symbol(Assembly& a, const NameNode& node) {
  if (node.kind != name_symbol) return Value{V_LOCAL, 0, 0.0, 0};
  Symbol* symbol = symbol_from_handle(a, node.symbol);
  if (!symbol) {
    report_error(a, 225);
    return absolute_invalid();
  }
  int32_t pass = a.run.pass;
  int32_t kind = symbol->kind;
  int32_t statement = a.run.statement_kind;
  bool undefined = kind == kind_forward || kind == kind_public_undefined;
  if (kind == kind_location) {
    report_error(a, 226);
    return absolute_invalid();
  }
  if (pass == pass_two && statement == kind_equ_statement && kind == kind_forward) {
    report_error(a, 221);
    return absolute_invalid();
  }
  if ((pass == pass_two || pass == pass_final) && line_check_statement(statement)) {
    if (undefined) {
      report_error(a, 226);
      return absolute_invalid();
    }
    if (symbol->listing_line >= current_listing_line(a)) {
      report_error(a, 223);
      return absolute_invalid();
    }
  }
  if (symbol->status & status_multi_defined) {
    report_error(a, 220);
    return absolute_invalid();
  }
  switch (kind) {
    case kind_equ:
    case kind_public_equ:
      return absolute_value(symbol->value);
    case kind_label:
    case kind_public_label:
    case kind_public_variable:
    case kind_late_public:
      if ((symbol->section && (symbol->section->kind & section_absolute)) ||
          symbol->section == current_section(a))
        return absolute_value(symbol->value);
      report_error(a, 226);
      return absolute_invalid();
    case kind_forward:
    case kind_public_undefined:
      if (pass == pass_one) return absolute_invalid();
      report_error(a, section_named(a, name_of(*symbol)) ? 225 : 221);
      return absolute_invalid();
    default:
      report_error(a, 226);
      return absolute_invalid();
  }
}

Value absolute_node(Assembly& a, ArenaRef ref) {
  if (!ref) return absolute_invalid();
  int32_t tag = a.arena.tag(ref);
  if (tag == node_constant) {
    const ConstantNode& c = *a.arena.at<ConstantNode>(ref);
    if (!c.floating) return absolute_value(c.value);
    return absolute_value(integer_of_scaled(a, ScaledDecimal{c.mantissa, c.exponent}));
  }
  if (tag == node_name) return absolute_symbol(a, *a.arena.at<NameNode>(ref));
  if (tag != node_operator) return absolute_invalid();
  const OperatorNode& node = *a.arena.at<OperatorNode>(ref);
  if (node.op == op_code_address) return absolute_invalid();
  Value l = absolute_node(a, node.left);
  if (l.kind != V_ABS) return l.kind == V_LOCAL ? absolute_invalid() : l;
  bool unary = node.op == op_plus || node.op == op_negate || node.op == op_complement ||
               node.op == op_width || node.op == 15;
  Value r = absolute_value(0);
  if (node.right) {
    r = absolute_node(a, node.right);
    if (r.kind != V_ABS) return r.kind == V_LOCAL ? absolute_invalid() : r;
  } else if (!unary) {
    return absolute_invalid();
  }
  int32_t lv = l.value, rv = r.value;
  if ((node.op == op_divide || node.op == op_remainder) && rv == 0) report_error(a, 201);
  int32_t value = 0;
  if (integer_arithmetic(node.op, lv, rv, value)) return absolute_value(value);
  switch (node.op) {
    case op_shift_right:
    case op_shift_left:
      if (rv > 255 || rv < -255) return absolute_value(0);
      return absolute_value(shifted(lv, rv & 31, node.op == op_shift_right));
    case op_width: return absolute_value(0);
    default: return absolute_invalid();
  }
}

// The value of a subtree made only of integer constants and EQU symbols,
// folded without any diagnostic (a zero divisor gives 0); false for anything
// else.
bool quiet_constant(Assembly& a, ArenaRef ref, int32_t& value) {
  if (!ref) return false;
  int32_t tag = a.arena.tag(ref);
  if (tag == node_constant) {
    const ConstantNode& c = *a.arena.at<ConstantNode>(ref);
    if (c.floating) return false;
    value = c.value;
    return true;
  }
  if (tag == node_name) {
    const NameNode& n = *a.arena.at<NameNode>(ref);
    Symbol* s = n.kind == name_symbol ? symbol_from_handle(a, n.symbol) : nullptr;
    if (!s || (s->kind != kind_equ && s->kind != kind_public_equ)) return false;
    value = s->value;
    return true;
  }
  const OperatorNode& node = *a.arena.at<OperatorNode>(ref);
  int32_t l = 0, r = 0;
  if (!quiet_constant(a, node.left, l)) return false;
  if (node.right && !quiet_constant(a, node.right, r)) return false;
  if (node.op == op_shift_right || node.op == op_shift_left) {
    value = shifted(l, r, node.op == op_shift_right);
    return true;
  }
  return integer_arithmetic(node.op, l, r, value);
}

bool width_operand(Assembly& a, const OperatorNode& node, int32_t& width) {
  return quiet_constant(a, node.right, width) && width >= 1 && width <= 32;
}

int symbol_width(Assembly& a, const NameNode& node, Signedness s) {
  if (node.kind != name_symbol) return 16;
  Symbol* symbol = symbol_from_handle(a, node.symbol);
  if (!symbol) return a.run.pass == pass_one ? 8 : 16;
  if (symbol->kind == kind_location) {
    Section* current = current_section(a);
    if (current && !(current->kind & section_absolute)) return current->size_attribute;
    return bits_needed(symbol->value, s);
  }
  if (symbol->kind == kind_external && symbol->model) return symbol->model;
  if (symbol->section) {
    if (symbol->section->kind & section_absolute) return bits_needed(symbol->value, s);
    return symbol->section->size_attribute;
  }
  if (symbol->kind == kind_equ || symbol->kind == kind_public_equ) return bits_needed(symbol->value, s);
  return a.run.pass == pass_one ? 8 : 16;
}

}  // namespace

int32_t shifted(int32_t value, int32_t count, bool right) {
  if (count > 31) return 0;
  unsigned amount = static_cast<unsigned>(count) & 31u;
  if (right) return value >> amount;
  return static_cast<int32_t>(static_cast<uint32_t>(value) << amount);
}

bool integer_arithmetic(int32_t op, int32_t l, int32_t r, int32_t& value) {
  auto wrap = [](int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); };
  switch (op) {
    case op_add: value = wrap(int64_t(l) + r); return true;
    case op_subtract: value = wrap(int64_t(l) - r); return true;
    case op_multiply: value = wrap(int64_t(l) * r); return true;
    case op_divide: value = r == 0 ? 0 : (l == INT32_MIN && r == -1) ? INT32_MIN : l / r; return true;
    case op_remainder: value = (r == 0 || r == -1) ? 0 : l % r; return true;
    case op_and: value = l & r; return true;
    case op_or: value = l | r; return true;
    case op_xor: value = l ^ r; return true;
    case op_plus: value = l; return true;
    case op_negate: value = wrap(-int64_t(l)); return true;
    case op_complement: value = ~l; return true;
    default: return false;
  }
}

ScaledDecimal scaled_arithmetic(int32_t op, ScaledDecimal l, ScaledDecimal r) {
  switch (op) {
    case op_add:
    case op_subtract: {
      // The smaller exponent's mantissa is scaled down to the larger exponent.
      for (; l.exponent < r.exponent; ++l.exponent) l.mantissa /= 10.0;
      for (; r.exponent < l.exponent; ++r.exponent) r.mantissa /= 10.0;
      return ScaledDecimal{op == op_add ? l.mantissa + r.mantissa : l.mantissa - r.mantissa, l.exponent};
    }
    case op_multiply:
      return ScaledDecimal{l.mantissa * r.mantissa, l.exponent + r.exponent};
    case op_divide: {
      if (r.mantissa == 0.0) return ScaledDecimal{0.0, 0};
      ScaledDecimal pair{l.mantissa / r.mantissa, l.exponent - r.exponent};
      return pair.exponent == 0 ? normalised(pair.mantissa) : pair;
    }
    default:
      return l;
  }
}

int32_t integer_of_pair(ScaledDecimal pair) { return integer_of_pair(pair.mantissa, pair.exponent); }

Value evaluate(Assembly& a, ArenaRef tree) {
  if (!tree) {
    if (!error_reported(a)) report_error(a, 206);
    return absolute_invalid();
  }
  return evaluate_node(a, tree, true).v;
}

Value evaluate_absolute(Assembly& a, ArenaRef tree) {
  if (!tree) return absolute_invalid();
  return absolute_node(a, tree);
}

int bits_needed(int32_t value, Signedness signedness) {
  uint32_t bits = static_cast<uint32_t>(value);
  if (signedness != unsigned_range && value < 0) bits = ~bits;
  int count = 0;
  while (bits) {
    ++count;
    bits >>= 1;
  }
  if (signedness == signed_range && count < 32) ++count;
  return count;
}

int relocatable_width(Assembly& a, ArenaRef tree, Signedness signedness) {
  if (!tree) return 0;
  switch (a.arena.tag(tree)) {
    case node_constant: {
      const ConstantNode& c = *a.arena.at<ConstantNode>(tree);
      return bits_needed(c.floating ? integer_of_pair(c.mantissa, c.exponent) : c.value, signedness);
    }
    case node_name:
      return symbol_width(a, *a.arena.at<NameNode>(tree), signedness);
    case node_operator: {
      const OperatorNode& node = *a.arena.at<OperatorNode>(tree);
      if (node.op == op_width) {
        int32_t width = 0;
        return width_operand(a, node, width) ? width : 0;
      }
      int left = relocatable_width(a, node.left, signedness);
      if (node.op == op_code_address) return left < 16 ? left : 16;
      int right = relocatable_width(a, node.right, signedness);
      return left > right ? left : right;
    }
    default:
      return 0;
  }
}

int declared_width(Assembly& a, ArenaRef tree) {
  if (!tree || a.arena.tag(tree) != node_operator) return 0;
  const OperatorNode& node = *a.arena.at<OperatorNode>(tree);
  int widest = 0;
  int32_t width = 0;
  if (node.op == op_width && width_operand(a, node, width)) widest = width;
  int left = declared_width(a, node.left);
  int right = declared_width(a, node.right);
  if (left > widest) widest = left;
  if (right > widest) widest = right;
  return widest;
}

}  // namespace koral
