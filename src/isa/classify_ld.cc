// The LD family: the rules are tried in a fixed order, first by what the
// first operand is.
#include "driver/assembly.h"
#include "isa/classify_rules.h"

namespace koral {

namespace {

// LD SP,SP+d and LD SP,SP-d: the sign of d (not the written operator)
// chooses the form; a relocatable d is left to the linker.
bool ld_stack_adjust(Rule& r, OperandRecord& d) {
  if (is_relocatable(d.value_kind)) return r.choose(27, field_implied, field_word);
  return r.choose(d.value >= 0 ? 8 : 9, field_register16, field_byte);
}

bool ld_register16_first(Rule& r, OperandRecord& x, OperandRecord& y) {
  if (x.reg == reg_sp && y.syntax_class == class_register_displacement && y.reg == reg_sp)
    return ld_stack_adjust(r, y);
  bool index = is_index_register(x.reg);
  if (r.immediate(y, index ? 24 : 16))
    return r.choose(11, field_register16, index ? field_long : field_word);
  if (is_register16_operand(y)) return r.choose(14, field_register16, field_register16);
  int32_t mode = r.source(y);
  if (is_source_mode(mode)) return r.choose(19, field_register16, r.memory(y, mode));
  return r.refuse();
}

bool ld_register8_first(Rule& r, OperandRecord& x, OperandRecord& y) {
  if (x.reg == reg_a) {
    if (is_hl_indirect(y)) return r.choose(3, field_implied, field_hl_implied);
    if (r.short_direct(y)) return r.choose(2, field_implied, field_byte);
    if (is_register8_operand(y)) return r.choose(6, field_implied, field_register8);
  }
  if (r.immediate(y, 8)) return r.choose(7, field_register8, field_byte);
  if (is_register(y, reg_a)) return r.choose(10, field_register8, field_implied);
  if (is_register8_operand(y)) return r.choose(13, field_register8, field_register8);
  int32_t mode = r.source(y);
  if (is_source_mode(mode)) return r.choose(18, field_register8, r.memory(y, mode));
  return r.refuse();
}

// LD CF,...: a bit of a register or of memory goes to the carry flag.
bool ld_carry_first(Rule& r, OperandRecord& y) {
  if (y.bit_designator == 2) {
    int32_t mode = r.source(y);
    if (mode != not_memory) return r.choose(25, field_implied, r.memory(y, mode));
    return r.refuse();
  }
  if (y.bit_designator == 1) {
    if (r.short_direct(y)) return r.choose(12, field_implied, field_byte);
    if (is_register8_operand(y)) return r.choose(15, field_implied, field_register8);
    int32_t mode = r.source(y);
    if (is_source_mode(mode)) return r.choose(20, field_implied, r.memory(y, mode));
  }
  return r.refuse();
}

bool ld_register_first(Rule& r, OperandRecord& x, OperandRecord& y) {
  bool no_bits = r.no_bits();
  if (x.reg == reg_psw && no_bits) {
    if (r.immediate(y, 8)) return r.choose(16, field_implied, field_byte);
    if (!r.a.diag.error_mark) report_error(r.a, 230);
    return false;
  }
  if (x.reg == reg_rbs && no_bits && r.a.settings.model_level >= 1) {
    RangeResult bit = range_check(r.a, r.mnemonic, y, 1, unsigned_range, false);
    if (is_value_operand(y) && bit.fits && !bit.overflow)
      return r.choose(y.value == 0 ? 28 : 29, field_implied, field_byte);
    return r.refuse();
  }
  if (is_register(y, reg_cf) && !has_bits(y) && is_register8(x.reg) && has_bits(x))
    return r.choose(17, field_register8, field_implied);
  if (is_register16(x.reg) && no_bits) return ld_register16_first(r, x, y);
  if (is_register8(x.reg) && no_bits) return ld_register8_first(r, x, y);
  if (x.reg == reg_cf && !has_bits(x)) return ld_carry_first(r, y);
  return r.refuse();
}

bool ld_memory_first(Rule& r, OperandRecord& x, OperandRecord& y) {
  bool no_bits = r.no_bits();
  bool carry = is_register(y, reg_cf) && !has_bits(y);
  if (x.bit_designator == 2) {
    int32_t mode = r.source(x);
    if (mode != not_memory && carry) return r.choose(26, r.memory(x, mode), field_implied);
    return r.refuse();
  }
  if (x.bit_designator == 3) return r.refuse();
  if (no_bits && is_register(y, reg_a)) {
    if (is_hl_indirect(x)) return r.choose(5, field_hl_implied, field_implied);
    if (r.short_direct(x)) return r.choose(4, field_byte, field_implied);
  }
  if (no_bits && r.immediate(y, 8)) {
    if (is_hl_indirect(x)) return r.choose(1, field_implied, field_byte);
    if (r.short_direct(x)) return r.choose(0, field_byte, field_byte);
  }
  if (has_bits(x) && carry) {
    int32_t mode = r.source(x);
    if (is_source_mode(mode)) return r.choose(23, r.memory(x, mode), field_implied);
    return r.refuse();
  }
  if (no_bits) {
    int32_t mode = r.destination(x);
    if (is_destination_mode(mode)) {
      if (r.immediate(y, 8)) return r.choose(24, r.memory(x, mode), field_byte);
      if (is_register8_operand(y)) return r.choose(22, r.memory(x, mode), field_register8);
      if (is_register16_operand(y)) return r.choose(21, r.memory(x, mode), field_register16);
    }
  }
  return r.refuse();
}

}  // namespace

bool classify_ld(Rule& r) {
  if (!r.count(2, 2)) return false;
  OperandRecord& x = r.first();
  OperandRecord& y = r.second();
  if (is_register_operand(x)) return ld_register_first(r, x, y);
  return ld_memory_first(r, x, y);
}

}  // namespace koral
