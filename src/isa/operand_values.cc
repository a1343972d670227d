#include "isa/operand_values.h"

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "expr/constants.h"

namespace koral {

namespace {

// The evaluator leaves the integer of a floating leaf at the top of a tree
// to its caller.
Value evaluate_operand_tree(Assembly& a, ArenaRef tree) {
  Value v = evaluate(a, tree);
  if ((v.kind & absolute_kinds) && v.value == 0 && v.mantissa != 0.0)
    v.value = integer_of_scaled(a, ScaledDecimal{v.mantissa, v.exponent});
  if (a.run.pass == pass_one && v.kind == V_INVALID) v.kind = V_EXPR;
  return v;
}

void evaluate_bit(Assembly& a, OperandRecord& op) {
  Value v = evaluate_operand_tree(a, op.bit_expression);
  op.bit_value_kind = v.kind;
  op.bit_number = v.value;
  if ((v.kind & absolute_kinds) && (v.value < 0 || v.value > 7)) {
    op.bit_number = v.value & 7;
    if (a.run.pass == pass_final) report_warning(a, 501);
  }
}

bool carries_value(const OperandRecord& op) {
  switch (op.syntax_class) {
    case class_value: case class_indexed: case class_direct: case class_register_displacement:
      return true;
    default:
      return false;
  }
}

void evaluate_value(Assembly& a, OperandRecord& op) {
  if (!op.expression) {  // [SP] stands for [SP+0]
    op.value = 0;
    op.value_kind = V_ABS;
    op.mantissa = 0.0;
    op.exponent = 0;
    store_widths(op, 0, 0, 0, 0);
    return;
  }
  Value v = evaluate_operand_tree(a, op.expression);
  op.value = v.value;
  op.mantissa = v.mantissa;
  op.exponent = v.exponent;
  op.value_kind = v.kind;
  int declared = declared_width(a, op.expression);
  if (is_relocatable(v.kind)) {
    store_widths(op, declared, relocatable_width(a, op.expression, signed_range),
                 relocatable_width(a, op.expression, unsigned_range),
                 relocatable_width(a, op.expression, either_range));
  } else {
    store_widths(op, declared, 0, 0, 0);
  }
}

}  // namespace

void evaluate_operand_value(Assembly& a, const Instruction& ins, OperandRecord& op) {
  a.evaluation.mnemonic = ins.mnemonic();
  Value v = evaluate_operand_tree(a, op.expression);
  op.value = v.value;
  op.mantissa = v.mantissa;
  op.exponent = v.exponent;
  op.value_kind = v.kind;
}

void evaluate_operands(Assembly& a, Instruction& ins) {
  a.evaluation.mnemonic = ins.mnemonic();  // CODE_ADDR keeps bit 16 for JRS, JR and CALLV
  for (int i = 0; i < ins.count; ++i) {
    OperandRecord& op = *ins.operand[i];
    if (op.bit_designator == 1) evaluate_bit(a, op);
    if (carries_value(op)) evaluate_value(a, op);
  }
}

}  // namespace koral
