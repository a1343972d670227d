#include "object/object_expression.h"

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "expr/evaluate.h"
#include "object/object_loads.h"
#include "object/object_writer.h"

namespace koral {

namespace {

constexpr int32_t mnemonic_jrs = 1034;
constexpr int32_t mnemonic_jr = 1035;
constexpr int32_t mnemonic_callv = 1036;

// The code space the CODE_ADDR conversion maps into 16-bit addresses.
constexpr const char* code_space_check = "10000,@INBLOCK,10000,-,";

// A subtree either folds into a constant (and has written nothing yet) or
// has appended its postfix text.  A constant that carries a non-zero floating
// value keeps its scaled decimal pair for the arithmetic of the nodes above;
// its number is the pair converted to an integer.
struct Operand {
  bool constant = false;
  int32_t value = 0;
  bool floating = false;
  ScaledDecimal pair{0.0, 0};
};

Operand constant(int32_t value) { return Operand{true, value, false, ScaledDecimal{0.0, 0}}; }
Operand variable() { return Operand{}; }
Operand floating_constant(ScaledDecimal pair) {
  return Operand{true, integer_of_pair(pair), pair.mantissa != 0.0, pair};
}
ScaledDecimal pair_of(const Operand& o) {
  return o.floating ? o.pair : ScaledDecimal{static_cast<double>(o.value), 0};
}

uint32_t power_of_two(int32_t n) { return n >= 32 ? 0u : 1u << (n & 31); }

bool keeps_code_bit(const Assembly& a) {
  const int32_t m = a.evaluation.mnemonic;
  return m == mnemonic_jrs || m == mnemonic_jr || m == mnemonic_callv;
}

// Constant folding with the evaluator's integer rules (wrap-around, a zero
// divisor gives 0).
int32_t fold(const Assembly& a, int32_t op, int32_t l, int32_t r) {
  int32_t value = 0;
  if (integer_arithmetic(op, l, r, value)) return value;
  const uint32_t ul = static_cast<uint32_t>(l);
  switch (op) {
    case op_shift_right: return shifted(l, r, true);
    case op_shift_left: return shifted(l, r, false);
    case op_width:
      if (r < 1 || r > 32) return l;
      return r == 32 ? l : static_cast<int32_t>(ul & ((1u << r) - 1u));
    case op_code_address: return keeps_code_bit(a) ? l : (l & ~0x10000);
    default: return l;
  }
}

class Encoder {
 public:
  Encoder(Assembly& a, std::string& text) : a_(a), text_(text) {}

  Operand node(ArenaRef ref) {
    if (!ref) return constant(0);
    switch (a_.arena.tag(ref)) {
      case node_constant: {
        const ConstantNode& c = *a_.arena.at<ConstantNode>(ref);
        return c.floating ? floating_constant(ScaledDecimal{c.mantissa, c.exponent}) : constant(c.value);
      }
      case node_name: return name(*a_.arena.at<NameNode>(ref));
      case node_operator: return operation(ref, *a_.arena.at<OperatorNode>(ref));
      default: return constant(0);
    }
  }

  void finish(const Operand& whole) {
    if (whole.constant) number(static_cast<uint32_t>(whole.value));
  }

 private:
  void number(uint32_t value) { append_number(text_, value); }

  static void append_number(std::string& out, uint32_t value) {
    char digits[8];
    int n = 0;
    do {
      digits[n++] = "0123456789ABCDEF"[value & 15];
      value >>= 4;
    } while (value);
    while (n) out.push_back(digits[--n]);
    out.push_back(',');
  }

  Operand variable_token(char letter, uint32_t index) {
    text_.push_back(letter);
    number(index);
    return variable();
  }

  // Section base plus the label's offset.
  Operand section_offset(const Symbol& s) {
    variable_token('R', object_section_index(s.section));
    number(static_cast<uint32_t>(s.value));
    text_ += "+,";
    return variable();
  }

  Operand section_leaf(const NameNode& n) {
    Section* section = section_from_handle(a_, n.section);
    if (!section || section->kind == 0 || section->kind == kind_deleted) {
      if (section) report_error(a_, 232, name_of(*section));
      return variable();  // gives no text
    }
    return variable_token(n.kind == name_sizeof ? 'S' : 'L', object_section_index(section));
  }

  Operand label(const Symbol& s) {
    const Section* home = s.section;
    if (!home || absolute_section(home)) return constant(s.value);
    if (s.kind != kind_label) return variable_token('I', static_cast<uint32_t>(s.object_index));
    const bool numbered = a_.option(opt_debug) || a_.option(opt_debug_second_form);
    if (numbered && (s.attributes & attribute_debug_described) == 0)
      return variable_token('N', static_cast<uint32_t>(s.object_index));
    return section_offset(s);
  }

  Operand name(const NameNode& n) {
    if (n.kind != name_symbol) return section_leaf(n);
    const Symbol* s = symbol_from_handle(a_, n.symbol);
    if (!s) return constant(0);
    const Section* current = a_.run.section;
    switch (s->kind) {
      case kind_external:
        return variable_token('X', static_cast<uint32_t>(s->object_index));
      case kind_location:
        if (!current || absolute_section(current))
          return constant(current ? static_cast<int32_t>(current->location) : 0);
        return variable_token('P', object_section_index(current));
      case kind_label:
      case kind_public_label:
      case kind_public_variable:
      case kind_late_public:
        return label(*s);
      default:  // EQU names, and what the evaluator has already refused
        return constant(s->value);
    }
  }

  // A constant node: + - * / with a floating operand in scaled decimal, unary
  // + and - keeping and negating the pair, everything else on the integers.
  Operand folded(int32_t op, const Operand& left, const Operand& right) const {
    if (left.floating || right.floating) {
      switch (op) {
        case op_add:
        case op_subtract:
        case op_multiply:
        case op_divide:
          return floating_constant(scaled_arithmetic(op, pair_of(left), pair_of(right)));
        case op_plus:
          return left;
        case op_negate:
          return floating_constant(ScaledDecimal{-left.pair.mantissa, left.pair.exponent});
        default:
          break;
      }
    }
    return constant(fold(a_, op, left.value, right.value));
  }

  // Writes a constant operand's number at `at` (before the other operand's text).
  void place(const Operand& operand, std::size_t at) {
    if (!operand.constant) return;
    std::string digits;
    append_number(digits, static_cast<uint32_t>(operand.value));
    text_.insert(at, digits);
  }

  Operand operation(ArenaRef ref, const OperatorNode& op_node) {
    if (++operators_ > max_expression_operators) report_fatal(a_, 155);
    const int32_t op = op_node.op;
    const bool unary =
        op == op_plus || op == op_negate || op == op_complement || op == op_code_address;
    const std::size_t start = text_.size();
    const Operand left = node(op_node.left);
    const std::size_t middle = text_.size();
    const Operand right = unary ? constant(0) : node(op_node.right);
    if (left.constant && right.constant) return folded(op, left, right);

    switch (op) {
      case op_plus:
      case op_negate:
        text_.insert(start, "0,");
        text_ += op == op_plus ? "+," : "-,";
        return variable();
      case op_complement:
        text_ += "@NOT,";
        return variable();
      case op_code_address:
        if (!keeps_code_bit(a_)) text_ += code_space_check;
        return variable();
      case op_shift_right: return shift_right(ref, left, right, start);
      case op_shift_left: return shift_left(left, right, start, middle);
      case op_width: return width(left, right, start, middle);
      default: break;
    }
    place(left, start);
    place(right, text_.size());
    static const char* const signs[] = {"", "+,", "-,", "*,", "/,", "@MOD,", "@AND,", "@OR,", "@XOR,"};
    if (op >= op_add && op <= op_xor) text_ += signs[op];
    return variable();
  }

  // left, n, h, @EXT: n the count clamped to 0..32, h the highest bit kept
  // by the width of the node.
  Operand shift_right(ArenaRef ref, const Operand& left, const Operand& right, std::size_t start) {
    place(left, start);
    if (right.constant) number(static_cast<uint32_t>(right.value < 0 ? 0 : right.value > 32 ? 32 : right.value));
    const int width = relocatable_width(a_, ref, either_range);
    number(width < 9 ? 7 : width > 16 ? 31 : 15);
    text_ += "@EXT,";
    return variable();
  }

  // left, 0, 31, @EXT, 2^n, *
  Operand shift_left(const Operand& left, const Operand& right, std::size_t start, std::size_t middle) {
    if (!right.constant) {
      std::string count = text_.substr(middle);
      text_.resize(middle);
      place(left, start);
      text_ += "0,1F,@EXT,";
      text_ += count;
    } else {
      text_ += "0,1F,@EXT,";
      number(power_of_two(right.value));
    }
    text_ += "*,";
    return variable();
  }

  // 0, left, 0, N-1, @EXT, 0, N-1, @INS, and below 32 bits 0, 2^N, @INBLOCK.
  Operand width(const Operand& left, const Operand& right, std::size_t start, std::size_t middle) {
    text_.resize(middle);
    place(left, start);
    if (!right.constant || right.value < 1 || right.value > 32) return variable();
    const uint32_t top = static_cast<uint32_t>(right.value - 1);
    text_.insert(start, "0,");
    text_ += "0,";
    number(top);
    text_ += "@EXT,0,";
    number(top);
    text_ += "@INS,";
    if (right.value < 32) {
      text_ += "0,";
      number(power_of_two(right.value));
      text_ += "@INBLOCK,";
    }
    return variable();
  }

  Assembly& a_;
  std::string& text_;
  int operators_ = 0;
};

struct NamedOperator {
  std::string_view name;
  uint8_t bytes[2];
  uint8_t length;
};

constexpr NamedOperator named_operators[] = {
    {"NEG", {operator_negate}, 1},   {"NOT", {operator_not}, 1},
    {"MOD", {operator_mod}, 1},      {"AND", {operator_and}, 1},
    {"OR", {operator_or}, 1},        {"XOR", {operator_xor}, 1},
    {"EXT", {operator_extract}, 1},  {"INS", {operator_insert}, 1},
    {"INBLOCK", {function_inblock, operator_escape}, 2},
};

bool is_hex_digit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

uint32_t hex_value(char c) {
  if (c <= '9') return static_cast<uint32_t>(c - '0');
  return static_cast<uint32_t>((c | 0x20) - 'a' + 10);
}

// Reads a run of hexadecimal digits at `i` as one number.
uint32_t read_number(std::string_view text, std::size_t& i) {
  uint32_t value = 0;
  while (i < text.size() && is_hex_digit(text[i])) value = value * 16 + hex_value(text[i++]);
  return value;
}

}  // namespace

void encode_expression(Assembly& a, ArenaRef tree, std::string& text) {
  text.clear();
  Encoder encoder(a, text);
  encoder.finish(encoder.node(tree));
}

void convert_expression(std::string_view text, uint32_t field_offset, ObjectBytes& out) {
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (is_hex_digit(c)) {
      put_number(out, read_number(text, i));
      continue;
    }
    ++i;
    switch (c) {
      case 'R': case 'I': case 'N': case 'X': case 'S': case 'L':
        put_byte(out, letter(c));
        break;
      case 'P':
        put_byte(out, letter('P'));
        put_number(out, read_number(text, i));
        if (field_offset != 0) {
          put_number(out, field_offset);
          put_byte(out, operator_minus);
        }
        break;
      case '+': put_byte(out, operator_plus); break;
      case '-': put_byte(out, operator_minus); break;
      case '*': put_byte(out, operator_multiply); break;
      case '/': put_byte(out, operator_divide); break;
      case '@': {
        const std::size_t end = text.find(',', i);
        const std::string_view name = text.substr(i, end == std::string_view::npos ? text.npos : end - i);
        i = end == std::string_view::npos ? text.size() : end;
        for (const NamedOperator& op : named_operators)
          if (op.name == name) put_bytes(out, op.bytes, op.length);
        break;
      }
      default:  // commas and anything else separate tokens
        break;
    }
  }
}

void put_expression(Assembly& a, ArenaRef tree, uint32_t field_offset, ObjectBytes& out) {
  std::string& text = a.object.expression_text;
  encode_expression(a, tree, text);
  convert_expression(text, field_offset, out);
}

}  // namespace koral
