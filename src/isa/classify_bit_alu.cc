// The bit family (CLR, SET, CPL, TEST) and the arithmetic and logic family
// (ADDC to CMP, with XOR's carry-flag forms).
#include "driver/assembly.h"
#include "isa/classify_rules.h"

namespace koral {

namespace {

bool alu_xor_carry(Rule& r, OperandRecord& y) {
  if (is_register8_operand(y)) return r.choose(8, field_implied, field_register8);
  int32_t mode = r.source(y);
  if (is_source_mode(mode)) return r.choose(9, field_implied, r.memory(y, mode));
  return r.refuse();
}

bool alu_memory_first(Rule& r, OperandRecord& x, OperandRecord& y) {
  int32_t mode = r.source(x);
  if (!is_source_mode(mode) || !r.immediate(y, 8)) return r.refuse();
  if (r.mnemonic == mn_cmp && r.short_direct(x)) return r.choose(8, field_byte, field_byte);
  return r.choose(6, r.memory(x, mode), field_byte);
}

bool alu_register8_first(Rule& r, OperandRecord& x, OperandRecord& y) {
  if (r.immediate(y, 8)) {
    if (x.reg == reg_a) return r.choose(0, field_implied, field_byte);
    return r.choose(2, field_register8, field_byte);
  }
  if (is_register8_operand(y)) return r.choose(1, field_register8_x8, field_register8);
  int32_t mode = r.source(y);
  if (is_source_mode(mode)) return r.choose(5, field_register8_x8, r.memory(y, mode));
  return r.refuse();
}

bool alu_register16_first(Rule& r, OperandRecord& x, OperandRecord& y) {
  bool index = is_index_register(x.reg);
  if (r.immediate(y, index ? 24 : 16))
    return r.choose(3, field_register16, index ? field_long : field_word);
  if (is_register16_operand(y)) return r.choose(4, field_register16_x8, field_register16);
  int32_t mode = r.source(y);
  if (is_source_mode(mode)) return r.choose(7, field_register16_x8, r.memory(y, mode));
  return r.refuse();
}

}  // namespace

bool classify_bit(Rule& r) {
  if (!r.count(1, 1)) return false;
  OperandRecord& x = r.first();
  bool clear_or_set = r.mnemonic == mn_clr || r.mnemonic == mn_set;
  if (is_register_operand(x)) {
    if (x.reg == reg_cf && !has_bits(x) && r.mnemonic != mn_test) return r.choose(0);
    if (is_register8(x.reg) && has_bits(x)) return r.choose(clear_or_set ? 2 : 1, field_register8);
    return r.refuse();
  }
  if (x.bit_designator == 2) {
    int32_t mode = r.source(x);
    if (mode != not_memory) return r.choose(clear_or_set ? 4 : 3, r.memory(x, mode));
    return r.refuse();
  }
  if (x.bit_designator == 3) return r.refuse();
  if (!has_bits(x)) return r.refuse();
  if (r.mnemonic != mn_cpl && r.short_direct(x)) return r.choose(clear_or_set ? 1 : 0, field_byte);
  int32_t mode = r.source(x);
  if (is_source_mode(mode)) return r.choose(clear_or_set ? 3 : 2, r.memory(x, mode));
  return r.refuse();
}

bool classify_alu(Rule& r) {
  if (!r.count(2, 2)) return false;
  OperandRecord& x = r.first();
  OperandRecord& y = r.second();
  bool xor_carry = r.mnemonic == mn_xor && is_register(x, reg_cf);
  if (xor_carry) {
    if (has_bits(x) || y.bit_designator != 1) return r.refuse();
    return alu_xor_carry(r, y);
  }
  if (!r.no_bits()) return r.refuse();
  if (!is_register_operand(x)) return alu_memory_first(r, x, y);
  if (is_register8(x.reg)) return alu_register8_first(r, x, y);
  if (is_register16(x.reg)) return alu_register16_first(r, x, y);
  return r.refuse();
}

}  // namespace koral
