#include "expression_tree.h"

#include <algorithm>
#include <bit>

namespace koraldump {

namespace {

// Operands of each operator byte; -1 for the bytes that form no tree here
// (the escape is handled apart).
int operator_arity(uint8_t code) {
  if (code == op_false || code == op_true) return 0;
  if (code >= op_abs && code <= op_not) return 1;
  if (code >= op_plus && code <= op_xor) return 2;
  if (code == op_extract) return 3;
  if (code == op_insert) return 4;
  return -1;
}

// One reading of the items; bit i of `two_operand` gives the i-th range
// function two operands instead of three.
bool try_build(const Expression& items, uint32_t two_operand, ExprTree& tree) {
  tree.nodes.clear();
  tree.root = -1;
  std::vector<int> stack;
  int escape = 0;
  for (const ExprItem& item : items) {
    if (item.kind != ExprItem::op) {
      ExprNode node{item.kind == ExprItem::number ? ExprNode::number : ExprNode::variable, item.code,
                    item.value};
      tree.nodes.push_back(node);
      stack.push_back(static_cast<int>(tree.nodes.size()) - 1);
      continue;
    }
    ExprNode node{ExprNode::op, item.code, 0};
    int arity = operator_arity(item.code);
    if (item.code == op_escape) {
      if (stack.empty() || tree.at(stack.back()).kind != ExprNode::number) return false;
      node.value = tree.at(stack.back()).value;
      stack.pop_back();
      if (node.value != function_inblock) return false;
      arity = (two_operand >> escape++) & 1 ? 2 : 3;
    }
    if (arity < 0 || stack.size() < static_cast<std::size_t>(arity)) return false;
    node.count = arity;
    for (int i = arity - 1; i >= 0; --i) {
      node.arg[i] = stack.back();
      stack.pop_back();
    }
    tree.nodes.push_back(node);
    stack.push_back(static_cast<int>(tree.nodes.size()) - 1);
  }
  if (stack.size() != 1) return false;
  tree.root = stack.back();
  return true;
}

// Bounds on the readings tried, so that a corrupted module cannot make the
// search long.
constexpr int max_escape_choices = 8;
constexpr std::size_t max_items_for_choices = 4096;

}  // namespace

bool build_tree(const Expression& items, ExprTree& tree) {
  int escapes = 0;
  for (const ExprItem& item : items)
    if (item.kind == ExprItem::op && item.code == op_escape) ++escapes;
  uint32_t readings = 1;
  if (escapes <= max_escape_choices && items.size() <= max_items_for_choices) readings = 1u << escapes;
  for (uint32_t choice = 0; choice < readings; ++choice)
    if (try_build(items, choice, tree)) return true;
  tree.nodes.clear();
  tree.root = -1;
  return false;
}

// --- item shapes ----------------------------------------------------------

namespace {

struct Matcher {
  const ExprTree& t;

  int arg(int i, int k) const { return t.at(i).arg[k]; }
  // P s, or P s less a number: the instruction address in a template.
  bool load_address(int i) const {
    if (i < 0) return false;
    if (t.at(i).kind == ExprNode::variable) return t.at(i).code == var_p;
    return t.is_op(i, op_minus, 2) && t.at(arg(i, 0)).kind == ExprNode::variable &&
           t.at(arg(i, 0)).code == var_p && t.at(arg(i, 1)).kind == ExprNode::number;
  }
  // (x - P) - k: the displacement part of the jump templates.
  bool displacement(int i, ItemShape& shape) const {
    if (!t.is_op(i, op_minus, 2)) return false;
    int inner = arg(i, 0), k = arg(i, 1);
    if (!t.is_op(inner, op_minus, 2) || t.at(k).kind != ExprNode::number) return false;
    if (!load_address(arg(inner, 1))) return false;
    shape.operand = arg(inner, 0);
    shape.adjustment = t.at(k).value;
    return true;
  }
  bool inblock(int i, uint32_t low, uint32_t high) const {
    return t.is_inblock(i, 3) && t.is_number(arg(i, 1), low) && t.is_number(arg(i, 2), high);
  }

  bool bit_number(int i, ItemShape& s) const {
    if (!t.is_op(i, op_plus, 2) || t.at(arg(i, 0)).kind != ExprNode::number) return false;
    if (!inblock(arg(i, 1), 0, 8)) return false;
    s = {ItemKind::bit_number, arg(arg(i, 1), 0), t.at(arg(i, 0)).value};
    return true;
  }
  bool short_jump(int i, ItemShape& s) const {
    if (!t.is_op(i, op_plus, 2) || t.at(arg(i, 1)).kind != ExprNode::number) return false;
    int masked = arg(i, 0);
    if (!t.is_op(masked, op_and, 2) || !t.is_number(arg(masked, 1), 0x1F)) return false;
    int less = arg(masked, 0);
    if (!t.is_op(less, op_minus, 2) || !t.is_number(arg(less, 1), 0x10)) return false;
    int block = arg(less, 0);
    if (!inblock(block, 0, 0x20)) return false;
    int plus = arg(block, 0);
    if (!t.is_op(plus, op_plus, 2) || !t.is_number(arg(plus, 1), 0x10)) return false;
    ItemShape found{ItemKind::short_jump};
    if (!displacement(arg(plus, 0), found)) return false;
    found.base = t.at(arg(i, 1)).value;
    s = found;
    return true;
  }
  bool vector(int i, ItemShape& s) const {
    if (!t.is_op(i, op_plus, 2) || !t.is_number(arg(i, 0), 0x70)) return false;
    int block = arg(i, 1);
    if (!inblock(block, 0, 0x10)) return false;
    int half = arg(block, 0);
    if (!t.is_op(half, op_divide, 2) || !t.is_number(arg(half, 1), 2)) return false;
    int less = arg(half, 0);
    if (!t.is_op(less, op_minus, 2) || t.at(arg(less, 1)).kind != ExprNode::number) return false;
    s = {ItemKind::vector, arg(less, 0), 0x70, 0, t.at(arg(less, 1)).value};
    return true;
  }
  bool stack_displacement(int i, ItemShape& s) const {
    if (!t.is_op(i, op_or, 2)) return false;
    int high = arg(i, 0), low = arg(i, 1);
    if (!t.is_op(high, op_or, 2) || !t.is_number(arg(high, 1), 0x37)) return false;
    int sign = arg(high, 0);
    if (!t.is_op(sign, op_divide, 2) || !t.is_number(arg(sign, 1), 0x100)) return false;
    int bit = arg(sign, 0);
    if (!t.is_op(bit, op_and, 2) || !t.is_number(arg(bit, 1), 0x800)) return false;
    if (!t.is_op(low, op_multiply, 2) || !t.is_number(arg(low, 1), 0x100)) return false;
    int block = arg(low, 0);
    if (!inblock(block, 0, 0x100) || !t.is_op(arg(block, 0), op_abs, 1)) return false;
    s = {ItemKind::stack_displacement, arg(bit, 0)};
    return true;
  }
  bool jump(int i, ItemShape& s) const {
    if (!t.is_op(i, op_minus, 2) || !t.is_number(arg(i, 1), 0x80)) return false;
    int block = arg(i, 0);
    if (!inblock(block, 0, 0x100)) return false;
    int plus = arg(block, 0);
    if (!t.is_op(plus, op_plus, 2) || !t.is_number(arg(plus, 1), 0x80)) return false;
    ItemShape found{ItemKind::jump};
    if (!displacement(arg(plus, 0), found)) return false;
    s = found;
    return true;
  }
};

}  // namespace

ItemShape item_shape(const ExprTree& tree, bool relative_bracket) {
  ItemShape s;
  s.operand = tree.root;
  if (tree.root < 0) return s;
  Matcher m{tree};
  if (relative_bracket) {
    if (m.jump(tree.root, s)) return s;
    ItemShape found{ItemKind::relative};
    if (m.displacement(tree.root, found)) return found;
    return s;
  }
  if (m.bit_number(tree.root, s) || m.short_jump(tree.root, s) || m.vector(tree.root, s) ||
      m.stack_displacement(tree.root, s))
    return s;
  return s;
}

const char* item_kind_name(ItemKind kind) {
  switch (kind) {
    case ItemKind::plain: return "value";
    case ItemKind::bit_number: return "bit number in the opcode";
    case ItemKind::short_jump: return "JRS displacement";
    case ItemKind::jump: return "JR displacement";
    case ItemKind::relative: return "relative field";
    case ItemKind::vector: return "CALLV vector";
    case ItemKind::stack_displacement: return "LD SP,SP+d displacement";
  }
  return "value";
}

// --- text -----------------------------------------------------------------

std::string number_text(uint32_t value) {
  if (value < 10) return std::to_string(value);
  return "0x" + hex(value);
}

namespace {

// Binding strength, as the grammar has it: | ^ & shifts +- */% unary :.
enum Precedence : int {
  prec_or = 1, prec_xor, prec_and, prec_shift, prec_add, prec_mul, prec_unary, prec_width, prec_atom,
};

struct Text {
  std::string s;
  int prec = prec_atom;
  bool signed_unary = false;  // begins with a unary + or -
};

const char* function_name(uint8_t code) {
  switch (code) {
    case op_false: return "@F";
    case op_true: return "@T";
    case op_abs: return "@ABS";
    case op_max: return "@MAX";
    case op_min: return "@MIN";
    case op_less: return "@LT";
    case op_greater: return "@GT";
    case op_equal: return "@EQ";
    case op_unequal: return "@NE";
    case op_extract: return "@EXT";
    case op_insert: return "@INS";
    case op_escape: return "@INBLOCK";
    default: return "@?";
  }
}

struct Infix {
  const ExprTree& t;
  Namer& namer;
  Syntax syntax;
  bool exact = true;

  bool source() const { return syntax == Syntax::source; }
  int arg(int i, int k) const { return t.at(i).arg[k]; }
  bool number(int i) const { return i >= 0 && t.at(i).kind == ExprNode::number; }
  bool variable(int i, uint8_t letter) const {
    return i >= 0 && t.at(i).kind == ExprNode::variable && t.at(i).code == letter;
  }

  // An operand in a position that must not start with a sign.
  std::string operand(const Text& x, int need) const {
    if (x.prec < need || x.signed_unary) return "(" + x.s + ")";
    return x.s;
  }
  Text binary(int left, int right, const char* op, int prec) {
    Text l = walk(left), r = walk(right);
    std::string ls = l.prec < prec ? "(" + l.s + ")" : l.s;
    Text out{ls + op + operand(r, prec + 1), prec};
    out.signed_unary = l.prec >= prec && l.signed_unary;
    return out;
  }
  Text unary(int x, const char* op) {
    Text v = walk(x);
    Text out{op + operand(v, prec_unary), prec_unary};
    out.signed_unary = op[0] == '-' || op[0] == '+';
    return out;
  }
  Text call(int i) {
    const ExprNode& n = t.at(i);
    std::string s = function_name(n.code);
    s += "(";
    for (int k = 0; k < n.count; ++k) s += (k ? "," : "") + walk(n.arg[k]).s;
    if (source()) exact = false;
    return {s + ")", prec_atom};
  }

  // The width pattern of `x:N`: INS(0, EXT(x, 0, N-1), 0, N-1).
  int width_operand(int i, uint32_t& n) const {
    if (!t.is_op(i, op_insert, 4) || !t.is_number(arg(i, 0), 0) || !t.is_number(arg(i, 2), 0)) return -1;
    int ext = arg(i, 1);
    if (!number(arg(i, 3)) || !t.is_op(ext, op_extract, 3) || !t.is_number(arg(ext, 1), 0)) return -1;
    if (!number(arg(ext, 2)) || t.at(arg(ext, 2)).value != t.at(arg(i, 3)).value) return -1;
    n = t.at(arg(i, 3)).value + 1;
    return arg(ext, 0);
  }

  bool source_pattern(int i, Text& out) {
    const ExprNode& n = t.at(i);
    // Section base plus an offset, and the field's load address.
    if (variable(i, var_r) || (t.is_op(i, op_plus, 2) && variable(arg(i, 0), var_r) && number(arg(i, 1)))) {
      bool alone = n.kind == ExprNode::variable;
      std::string s = namer.section_offset(alone ? n.value : t.at(arg(i, 0)).value,
                                           alone ? 0 : t.at(arg(i, 1)).value);
      if (!s.empty()) {
        out = {s, s.find_first_of("+-") == std::string::npos ? prec_atom : prec_add};
        return true;
      }
    }
    if (variable(i, var_p) || (t.is_op(i, op_minus, 2) && variable(arg(i, 0), var_p) && number(arg(i, 1)))) {
      bool alone = n.kind == ExprNode::variable;
      std::string s = namer.load_address(alone ? n.value : t.at(arg(i, 0)).value,
                                         alone ? 0 : t.at(arg(i, 1)).value);
      if (!s.empty()) {
        out = {s, s.find_first_of("+-") == std::string::npos ? prec_atom : prec_add};
        return true;
      }
    }
    if (n.kind != ExprNode::op) return false;
    // Unary plus and minus are written as 0 plus or minus the operand.
    if ((t.is_op(i, op_minus, 2) || t.is_op(i, op_plus, 2)) && t.is_number(arg(i, 0), 0)) {
      out = unary(arg(i, 1), n.code == op_minus ? "-" : "+");
      return true;
    }
    uint32_t width = 0;
    int x = width_operand(i, width);
    if (x < 0 && t.is_inblock(i, 3) && t.is_number(arg(i, 1), 0) && number(arg(i, 2))) {
      x = width_operand(arg(i, 0), width);
      if (x >= 0 && (width >= 32 || t.at(arg(i, 2)).value != (1u << width))) x = -1;
    }
    if (x >= 0) {
      out = {operand(walk(x), prec_width) + ":" + std::to_string(width), prec_width};
      return true;
    }
    // x << n: EXT(x, 0, 31) times 2^n.
    if (t.is_op(i, op_multiply, 2) && t.is_op(arg(i, 0), op_extract, 3) && number(arg(i, 1))) {
      int ext = arg(i, 0);
      uint32_t factor = t.at(arg(i, 1)).value;
      if (t.is_number(arg(ext, 1), 0) && t.is_number(arg(ext, 2), 31) &&
          (factor == 0 || (factor & (factor - 1)) == 0)) {
        int shift = factor == 0 ? 32 : std::countr_zero(factor);
        out = {operand(walk(arg(ext, 0)), prec_shift) + "<<" + std::to_string(shift), prec_shift};
        return true;
      }
    }
    // x >> n: EXT(x, n, h), the width h follows from the operand.
    if (t.is_op(i, op_extract, 3) && number(arg(i, 1)) && number(arg(i, 2))) {
      out = {operand(walk(arg(i, 0)), prec_shift) + ">>" + std::to_string(t.at(arg(i, 1)).value), prec_shift};
      return true;
    }
    // CODE_ADDR(x): INBLOCK(x, 0x10000) less 0x10000.
    if (t.is_op(i, op_minus, 2) && t.is_number(arg(i, 1), 0x10000) && t.is_inblock(arg(i, 0), 2) &&
        t.is_number(arg(arg(i, 0), 1), 0x10000)) {
      out = {"CODE_ADDR(" + walk(arg(arg(i, 0), 0)).s + ")", prec_atom};
      return true;
    }
    return false;
  }

  Text walk(int i) {
    const ExprNode& n = t.at(i);
    if (n.kind == ExprNode::number) return {number_text(n.value)};
    Text special;
    if (source() && source_pattern(i, special)) return special;
    if (n.kind == ExprNode::variable) return {namer.variable(n.code, n.value)};
    switch (n.code) {
      case op_plus:
        // A large constant added is a small one subtracted.
        if (number(arg(i, 1)) && t.at(arg(i, 1)).value >= 0x80000000u) {
          Text l = walk(arg(i, 0));
          std::string ls = l.prec < prec_add ? "(" + l.s + ")" : l.s;
          return {ls + "-" + number_text(0u - t.at(arg(i, 1)).value), prec_add, l.signed_unary};
        }
        return binary(arg(i, 0), arg(i, 1), "+", prec_add);
      case op_minus: return binary(arg(i, 0), arg(i, 1), "-", prec_add);
      case op_multiply: return binary(arg(i, 0), arg(i, 1), "*", prec_mul);
      case op_divide: return binary(arg(i, 0), arg(i, 1), "/", prec_mul);
      case op_mod: return binary(arg(i, 0), arg(i, 1), "%", prec_mul);
      case op_and: return binary(arg(i, 0), arg(i, 1), "&", prec_and);
      case op_or: return binary(arg(i, 0), arg(i, 1), "|", prec_or);
      case op_xor: return binary(arg(i, 0), arg(i, 1), "^", prec_xor);
      case op_not: return unary(arg(i, 0), "~");
      case op_negate: return unary(arg(i, 0), "-");
      default: return call(i);
    }
  }
};

const char* operator_text(uint8_t code) {
  switch (code) {
    case op_plus: return "+";
    case op_minus: return "-";
    case op_multiply: return "*";
    case op_divide: return "/";
    case op_mod: return "@MOD";
    case op_and: return "@AND";
    case op_or: return "@OR";
    case op_xor: return "@XOR";
    case op_not: return "@NOT";
    case op_negate: return "@NEG";
    case op_escape: return "@ESCAPE";
    default: return function_name(code);
  }
}

}  // namespace

std::string render(const ExprTree& tree, int node, Namer& namer, Syntax syntax, bool* exact) {
  if (node < 0) return {};
  Infix infix{tree, namer, syntax};
  std::string s = infix.walk(node).s;
  if (exact) *exact = infix.exact;
  return s;
}

std::string render_postfix(const Expression& items, Namer& namer) {
  std::string s;
  for (const ExprItem& item : items) {
    if (!s.empty()) s += ' ';
    switch (item.kind) {
      case ExprItem::number: s += number_text(item.value); break;
      case ExprItem::variable: s += namer.variable(item.code, item.value); break;
      case ExprItem::op:
        if (item.code >= 0xA0 && item.code <= 0xB9) s += operator_text(item.code);
        else s += "@" + hex(item.code, 2);
        break;
    }
  }
  return s;
}

}  // namespace koraldump
