#include "isa/classify.h"

#include "driver/assembly.h"
#include "isa/classify_rules.h"

namespace koral {

namespace {

bool counts_in_every_pass(int32_t family) {
  switch (family) {
    case family_no_operand: case family_one_register: case family_mul: case family_div:
    case family_stack: case family_ldw: case family_shift: case family_neg:
      return true;
    default:
      return false;
  }
}

bool classify_no_operand(Rule& r) {
  if (!r.count(0, 0)) return false;
  return r.choose(0);
}

bool classify_one_register(Rule& r) {
  if (!r.count(1, 1)) return false;
  if (!is_register8_operand(r.first()) || !r.no_bits()) return r.refuse();
  return r.choose(0, field_register8);
}

bool classify_mul(Rule& r) {
  if (!r.count(2, 2)) return false;
  OperandRecord& x = r.first();
  OperandRecord& y = r.second();
  if (!r.no_bits() || !is_register8_operand(x) || !is_register8_operand(y)) return r.refuse();
  constexpr int32_t pairs[][2] = {{reg_w, reg_a}, {reg_b, reg_c}, {reg_d, reg_e}, {reg_h, reg_l}};
  for (int32_t form = 0; form < 4; ++form)
    if (x.reg == pairs[form][0] && y.reg == pairs[form][1]) return r.choose(form);
  return r.refuse();
}

bool classify_div(Rule& r) {
  if (!r.count(2, 2)) return false;
  OperandRecord& x = r.first();
  if (!r.no_bits() || !is_register(r.second(), reg_c)) return r.refuse();
  if (!is_register(x, reg_wa) && !is_register(x, reg_de) && !is_register(x, reg_hl)) return r.refuse();
  return r.choose(0, field_register16);
}

// PUSH r and POP r of an 8-bit register become LD [SP-],r and LD r,[+SP]:
// the stack operand is a new operand record in the body of the statement
// record, linked in place, so every later pass reads an ordinary LD.
bool rewrite_as_ld(Rule& r, OperandAllocator allocate) {
  if (!allocate) report_fatal(r.a, 150);
  bool push = r.mnemonic == mn_push;
  OperandRecord& reg = r.first();
  OperandRecord* stack = allocate(r.a);
  *stack = OperandRecord{};
  stack->syntax_class = push ? class_push : class_pop;
  stack->value_kind = V_ABS;
  stack->reg = reg_sp;
  stack->second_reg = no_register;
  stack->field_type = field_memory;
  stack->addressing_mode = push ? mode_push : mode_pop;
  reg.field_type = field_register8;

  InstructionRecord& record = *r.ins.record;
  if (push) {
    record.first_operand = body_offset(&record, stack);
    stack->next = body_offset(stack, &reg);
    reg.next = 0;
    r.ins.operand[0] = stack;
    r.ins.operand[1] = &reg;
  } else {
    reg.next = body_offset(&reg, stack);
    r.ins.operand[1] = stack;
  }
  r.ins.count = 2;
  record.mnemonic = mn_ld;
  record.form = push ? 22 : 18;
  return true;
}

bool classify_stack(Rule& r, OperandAllocator allocate) {
  if (!r.count(1, 1)) return false;
  OperandRecord& x = r.first();
  if (!is_register_operand(x) || has_bits(x)) return r.refuse();
  if (x.reg == reg_psw) return r.choose(2);
  if (is_register8(x.reg)) return rewrite_as_ld(r, allocate);
  if (!is_register16(x.reg) || x.reg == reg_sp) return r.refuse();
  return r.choose(is_index_register(x.reg) ? 1 : 0, field_register16);
}

bool classify_inc_dec(Rule& r) {
  if (!r.count(1, 1)) return false;
  OperandRecord& x = r.first();
  if (has_bits(x)) return r.refuse();
  if (is_register16_operand(x)) return r.choose(1, field_register16);
  if (is_register8_operand(x)) return r.choose(0, field_register8);
  int32_t mode = r.source(x);
  if (is_source_mode(mode)) return r.choose(2, r.memory(x, mode));
  return r.refuse();
}

bool classify_ldw(Rule& r) {
  if (!r.count(2, 2)) return false;
  OperandRecord& x = r.first();
  if (!r.no_bits() || !r.immediate(r.second(), 16)) return r.refuse();
  if (is_hl_indirect(x)) return r.choose(1, field_implied, field_word);
  if (r.short_direct(x)) return r.choose(0, field_byte, field_word);
  return r.refuse();
}

// JRS and JR: the target passes in pass 1 whatever its value; later it
// becomes a displacement whose range is checked when the field is emitted.
bool classify_relative_jump(Rule& r) {
  if (!r.count(1, 2)) return false;
  OperandRecord& x = r.first();
  if (!r.no_bits()) return r.refuse();
  if (r.ins.count == 1) {
    if (r.mnemonic == mn_jr && is_value_operand(x)) return r.choose(2, field_relative8);
    return r.refuse();
  }
  if (!is_condition_operand(x) || !is_value_operand(r.second())) return r.refuse();
  if (r.mnemonic == mn_jrs) {
    if (x.reg == cond_t) return r.choose(0, field_implied, field_relative5);
    if (x.reg == cond_f) return r.choose(1, field_implied, field_relative5);
    return r.refuse();
  }
  if (!is_condition(x.reg)) return r.refuse();
  return r.choose(is_short_condition(x.reg) ? 0 : 1, field_condition, field_relative8);
}

// CALLV: pass 1 only refuses a bit number; later passes turn the operand into
// its vector number.  An invalid vector keeps the form (error 300).
bool classify_callv(Rule& r) {
  if (!r.count(1, 1)) return false;
  OperandRecord& x = r.first();
  if (has_bits(x)) return r.refuse();
  if (r.a.run.pass == pass_one) return true;
  r.choose(0, field_immediate4);
  if (!callv_vector(r.a, x)) report_error(r.a, 300);
  return true;
}

bool classify_call_jump(Rule& r) {
  if (!r.count(1, 1)) return false;
  OperandRecord& x = r.first();
  if (has_bits(x)) return r.refuse();
  if (is_value_operand(x) && range_check(r.a, r.mnemonic, x, 24, either_range, false).fits)
    return r.choose(0, field_long);
  if (is_register16_operand(x)) return r.choose(1, field_register16);
  int32_t mode = r.source(x);
  if (is_source_mode(mode)) return r.choose(2, r.memory(x, mode));
  return r.refuse();
}

bool classify_rotate_digit(Rule& r) {
  if (!r.count(2, 2)) return false;
  OperandRecord& y = r.second();
  if (!r.no_bits() || !is_register(r.first(), reg_a) || is_register(y, reg_a)) return r.refuse();
  int32_t mode = r.source(y);
  if (is_source_mode(mode)) return r.choose(0, field_implied, r.memory(y, mode));
  return r.refuse();
}

bool classify_xch(Rule& r) {
  if (!r.count(2, 2)) return false;
  OperandRecord& x = r.first();
  OperandRecord& y = r.second();
  if (!r.no_bits() || !is_register_operand(x)) return r.refuse();
  int32_t mode = r.source(y);
  if (is_register8(x.reg)) {
    if (is_register8_operand(y)) return r.choose(0, field_register8, field_register8);
    if (is_source_mode(mode)) return r.choose(2, field_register8, r.memory(y, mode));
  } else if (is_register16(x.reg)) {
    if (is_register16_operand(y)) return r.choose(1, field_register16, field_register16);
    if (is_source_mode(mode)) return r.choose(3, field_register16, r.memory(y, mode));
  }
  return r.refuse();
}

// SHLC, SHRC, SHLCA, SHRCA: a count the register cannot take keeps the form
// (error 290).
bool classify_shift(Rule& r) {
  if (!r.count(2, 2)) return false;
  OperandRecord& x = r.first();
  OperandRecord& y = r.second();
  if (has_bits(x) || !r.immediate(y, 8)) return r.refuse();
  bool pair = r.mnemonic == mn_shlca || r.mnemonic == mn_shrca;
  int32_t limit;
  if (pair) {
    if (!is_register16_operand(x)) return r.refuse();
    limit = is_index_register(x.reg) ? 23 : 15;
    r.choose(0, field_register16, field_byte);
  } else {
    if (!is_register8_operand(x)) return r.refuse();
    limit = 7;
    r.choose(0, field_register8, field_byte);
  }
  if ((y.value_kind & absolute_kinds) && (y.value < 0 || y.value > limit)) report_error(r.a, 290);
  return true;
}

bool classify_neg(Rule& r) {
  if (!r.count(2, 2)) return false;
  OperandRecord& x = r.first();
  if (!r.no_bits() || !is_condition_operand(x) || x.reg != cond_cs ||
      !is_register16_operand(r.second()))
    return r.refuse();
  return r.choose(0, field_implied, field_register16);
}

}  // namespace

bool Rule::count(int low, int high) {
  if (ins.count >= low && ins.count <= high) return true;
  if (a.run.pass == pass_one || counts_in_every_pass(family)) report_error(a, 231);
  return false;
}

bool Rule::choose(int32_t form, int32_t type0, int32_t type1) {
  ins.record->form = form;
  if (ins.operand[0]) ins.operand[0]->field_type = type0;
  if (ins.operand[1]) ins.operand[1]->field_type = type1;
  return true;
}

bool reclassified_in_pass_two(int32_t family) {
  switch (family) {
    case family_bit: case family_ld: case family_inc_dec: case family_alu:
    case family_relative_jump: case family_callv: case family_call_jump:
    case family_rotate_digit: case family_xch:
      return true;
    default:
      return false;
  }
}

bool callv_vector(const Assembly& a, OperandRecord& op) {
  if (!is_value_operand(op)) return false;
  int32_t level = a.settings.model_level;
  uint32_t kind = op.value_kind;
  if (kind == V_INVALID) return true;  // its error has been reported
  if (is_relocatable(kind)) {
    int width = relocatable_width_of(op, unsigned_range);
    return width >= 8 && width <= (level >= 2 ? 24 : 16);
  }
  int32_t v = op.value;
  if (v >= 0 && v <= 15) return true;
  if (v & 1) return false;
  int32_t table = callv_vector_table(level);
  for (int32_t start : {table, 0xC0}) {
    if (v >= start && v <= start + 0x1E) {
      op.value = (v - start) / 2 % 16;
      return true;
    }
  }
  return false;
}

bool classify_instruction(Assembly& a, Instruction& ins, OperandAllocator allocate) {
  const MnemonicEntry* entry = find_mnemonic(ins.mnemonic());
  if (!entry) report_fatal(a, 150);
  Rule r{a, ins, ins.mnemonic(), entry->family};
  switch (entry->family) {
    case family_no_operand: return classify_no_operand(r);
    case family_one_register: return classify_one_register(r);
    case family_mul: return classify_mul(r);
    case family_div: return classify_div(r);
    case family_stack: return classify_stack(r, allocate);
    case family_bit: return classify_bit(r);
    case family_ld: return classify_ld(r);
    case family_inc_dec: return classify_inc_dec(r);
    case family_ldw: return classify_ldw(r);
    case family_alu: return classify_alu(r);
    case family_relative_jump: return classify_relative_jump(r);
    case family_callv: return classify_callv(r);
    case family_call_jump: return classify_call_jump(r);
    case family_rotate_digit: return classify_rotate_digit(r);
    case family_xch: return classify_xch(r);
    case family_shift: return classify_shift(r);
    case family_neg: return classify_neg(r);
    default: report_fatal(a, 150);  // J and CAL go to the jump optimisation
  }
}

}  // namespace koral
