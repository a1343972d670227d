// The working set shared by the classification rules of the families.
#pragma once

#include <cstdint>

#include "diag/diagnostics.h"
#include "isa/operands.h"

namespace koral {

struct Assembly;

struct Rule {
  Assembly& a;
  Instruction& ins;
  int32_t mnemonic;
  int32_t family;

  OperandRecord& first() { return *ins.operand[0]; }
  OperandRecord& second() { return *ins.operand[1]; }

  // The operand count lies in low..high, else error 231 (in pass 1, and in
  // every pass for the families that always check their count).
  bool count(int low, int high);

  // Error 230; the rule fails.
  bool refuse() {
    report_error(a, 230);
    return false;
  }

  // The form is chosen; the field types go to the operands present.
  bool choose(int32_t form, int32_t type0 = field_implied, int32_t type1 = field_implied);

  // Field type of a memory operand whose addressing mode is `mode`.
  int32_t memory(OperandRecord& op, int32_t mode) {
    op.addressing_mode = mode;
    return field_memory;
  }

  bool immediate(const OperandRecord& op, int bits) { return is_immediate(a, mnemonic, op, bits); }
  bool short_direct(const OperandRecord& op) { return is_short_direct(a, mnemonic, op); }
  int32_t source(const OperandRecord& op) { return memory_mode(a, mnemonic, op, false); }
  int32_t destination(const OperandRecord& op) { return memory_mode(a, mnemonic, op, true); }
  bool no_bits() {
    for (int i = 0; i < ins.count; ++i)
      if (has_bits(*ins.operand[i])) return false;
    return true;
  }
};

bool classify_ld(Rule& r);
bool classify_bit(Rule& r);
bool classify_alu(Rule& r);

}  // namespace koral
