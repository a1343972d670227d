// Postfix object expressions as trees, the shapes of the relocated items
// that instructions write (so that a disassembler finds the operand inside
// a bit-number, jump or vector item), and their text: either the dump's
// form, with every variable named by letter, index and name, or the
// assembler's own source syntax.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "object_records.h"

namespace koraldump {

// Operator bytes of object expressions.
enum OperatorByte : uint8_t {
  op_false = 0xA0, op_true = 0xA1, op_abs = 0xA2, op_negate = 0xA3, op_not = 0xA4, op_plus = 0xA5,
  op_minus = 0xA6, op_divide = 0xA7, op_multiply = 0xA8, op_max = 0xA9, op_min = 0xAA, op_mod = 0xAB,
  op_less = 0xAC, op_greater = 0xAD, op_equal = 0xAE, op_unequal = 0xAF, op_and = 0xB0, op_or = 0xB1,
  op_xor = 0xB2, op_extract = 0xB3, op_insert = 0xB4, op_escape = 0xB9,
};
constexpr uint32_t function_inblock = 4;

// Variable letter bytes.
enum VariableLetter : uint8_t {
  var_i = 0xC9, var_l = 0xCC, var_n = 0xCE, var_p = 0xD0, var_r = 0xD2, var_s = 0xD3, var_w = 0xD7,
  var_x = 0xD8,
};

struct ExprNode {
  enum Kind : uint8_t { number, variable, op };
  Kind kind;
  uint8_t code;    // variable letter or operator byte
  uint32_t value;  // number, variable index, or escape function number
  int arg[4] = {-1, -1, -1, -1};
  int count = 0;   // operands of an operator
};

struct ExprTree {
  std::vector<ExprNode> nodes;
  int root = -1;

  const ExprNode& at(int i) const { return nodes[static_cast<std::size_t>(i)]; }
  bool is_number(int i, uint32_t value) const {
    return i >= 0 && at(i).kind == ExprNode::number && at(i).value == value;
  }
  bool is_op(int i, uint8_t code, int count) const {
    return i >= 0 && at(i).kind == ExprNode::op && at(i).code == code && at(i).count == count;
  }
  bool is_inblock(int i, int count) const {
    return is_op(i, op_escape, count) && at(i).value == function_inblock;
  }
};

// Builds the tree; false when the items do not form one expression (an
// operator without enough operands, operands left over, an escape without
// a known function).  The range function takes three operands, or two in
// the code-address form; the first reading that forms one tree wins.
bool build_tree(const Expression& items, ExprTree& tree);

// The relocated items that instruction fields use, found by their shape.
enum class ItemKind : uint8_t { plain, bit_number, short_jump, jump, relative, vector, stack_displacement };

struct ItemShape {
  ItemKind kind = ItemKind::plain;
  int operand = -1;          // the node of the operand's own expression
  uint32_t base = 0;         // opcode byte of bit-number and JRS items
  uint32_t adjustment = 0;   // k of jump and relative items
  uint32_t vector_table = 0; // V of CALLV items
};

ItemShape item_shape(const ExprTree& tree, bool relative_bracket);

const char* item_kind_name(ItemKind kind);

// How variables become text.
class Namer {
 public:
  virtual ~Namer() = default;
  // The text of a variable leaf.
  virtual std::string variable(uint8_t letter, uint32_t index) = 0;
  // Source form only: section base plus a constant offset (R s, k +), and
  // the load address of the field less a constant (P s, n -).  Empty when
  // the namer has no better text than the generic one.
  virtual std::string section_offset(uint32_t, uint32_t) { return {}; }
  virtual std::string load_address(uint32_t, uint32_t) { return {}; }
};

enum class Syntax : uint8_t { dump, source };

// Infix text of a tree.  In the source syntax `exact` is cleared when some
// part has no source form (the text then shows it as a function call).
std::string render(const ExprTree& tree, int node, Namer& namer, Syntax syntax, bool* exact = nullptr);

// The items one after another, for expressions that form no tree.
std::string render_postfix(const Expression& items, Namer& namer);

// A number as text: small values in decimal, others in hexadecimal.
std::string number_text(uint32_t value);

}  // namespace koraldump
