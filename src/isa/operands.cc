#include "isa/operands.h"

#include <limits>

#include "diag/diagnostics.h"
#include "driver/assembly.h"

namespace koral {

namespace {

OperandRecord* at_offset(void* from, int32_t offset) {
  return reinterpret_cast<OperandRecord*>(static_cast<char*>(from) + offset);
}

// The range check's verdict on a value outside the field.
RangeResult out_of_range(Assembly& a, int32_t mnemonic, bool report) {
  RangeResult result{true, true};
  if (!report || a.run.pass != pass_final) return result;
  if (mnemonic == mn_jrs || mnemonic == mn_jr) {
    report_error(a, 227);
    result.fits = false;
  } else if (!a.diag.warning_mark) {
    report_warning(a, 501);
  }
  return result;
}

bool is_stack_adjust(int32_t mnemonic, const OperandRecord& op) {
  return mnemonic == mn_ld && op.syntax_class == class_register_displacement;
}

// Whether a direct address fits a field of `bits` bits when the addressing
// mode is chosen: an overflow counts as not fitting.
bool direct_fits(Assembly& a, int32_t mnemonic, const OperandRecord& op, int bits) {
  uint32_t kind = op.value_kind;
  if (kind == V_INVALID) return true;
  if (is_relocatable(kind)) {
    if (bits == 8 && mnemonic == mn_ldw) return true;
    return relocatable_width_of(op, either_range) <= bits;
  }
  RangeResult r = range_check(a, mnemonic, op, bits, either_range, false);
  return r.fits && !r.overflow;
}

int32_t direct_mode(Assembly& a, int32_t mnemonic, const OperandRecord& op) {
  if (direct_fits(a, mnemonic, op, 8)) return mode_short_direct;
  if (!direct_fits(a, mnemonic, op, 16) && direct_fits(a, mnemonic, op, 24)) return mode_direct24;
  return mode_direct16;
}

int32_t indirect_mode(int32_t reg) {
  switch (reg) {
    case reg_de: return mode_de;
    case reg_hl: return mode_hl;
    case reg_ix: return mode_ix;
    case reg_iy: return mode_iy;
    default: return not_memory;
  }
}

int32_t indexed_mode(int32_t reg) {
  switch (reg) {
    case reg_hl: return mode_hl_d;
    case reg_sp: return mode_sp_d;
    case reg_ix: return mode_ix_d;
    case reg_iy: return mode_iy_d;
    case reg_iz: return mode_iz_d;
    default: return not_memory;
  }
}

int32_t pair_mode(int32_t reg, int32_t second) {
  if (reg == reg_hl && second == reg_c) return mode_hl_c;
  if (reg == reg_iz && second == reg_c) return mode_iz_c;
  if (reg == reg_pc && second == reg_a) return mode_pc_a;
  return not_memory;
}

}  // namespace

Instruction instruction_view(InstructionRecord& record) {
  Instruction ins;
  ins.record = &record;
  int32_t offset = record.first_operand;
  void* from = &record;
  while (offset != 0 && ins.count < 2) {
    OperandRecord* op = at_offset(from, offset);
    ins.operand[ins.count++] = op;
    from = op;
    offset = op->next;
  }
  return ins;
}

int32_t body_offset(const void* from, const void* to) {
  return static_cast<int32_t>(static_cast<const char*>(to) - static_cast<const char*>(from));
}

void store_widths(OperandRecord& op, int declared, int signed_width, int unsigned_width,
                  int either_width) {
  uint32_t word = static_cast<uint32_t>(declared & 0xFF) |
                  static_cast<uint32_t>(signed_width & 0xFF) << 8 |
                  static_cast<uint32_t>(unsigned_width & 0xFF) << 16 |
                  static_cast<uint32_t>(either_width & 0xFF) << 24;
  op.classification[0] = static_cast<int32_t>(word);
}

int declared_width_of(const OperandRecord& op) {
  return static_cast<int>(static_cast<uint32_t>(op.classification[0]) & 0xFF);
}

int relocatable_width_of(const OperandRecord& op, Signedness signedness) {
  int shift = signedness == signed_range ? 8 : signedness == unsigned_range ? 16 : 24;
  return static_cast<int>(static_cast<uint32_t>(op.classification[0]) >> shift & 0xFF);
}

void range_bounds(int bits, Signedness signedness, bool stack_adjust, int64_t& low, int64_t& high) {
  if (bits >= 32) {
    low = std::numeric_limits<int32_t>::min();
    high = std::numeric_limits<int32_t>::max();
    return;
  }
  int64_t span = int64_t{1} << bits;
  if (signedness == unsigned_range) {
    low = 0;
    high = span - 1;
  } else if (signedness == either_range && (bits == 8 || bits == 16 || bits == 24)) {
    low = stack_adjust && bits == 8 ? -(span - 1) : -span;
    high = span - 1;
  } else if (bits == 4) {  // a 4-bit field holds 0..15 whatever the signedness
    low = 0;
    high = span - 1;
  } else {
    low = -(span / 2);
    high = span / 2 - 1;
  }
}

RangeResult range_check(Assembly& a, int32_t mnemonic, const OperandRecord& op, int bits,
                        Signedness signedness, bool report) {
  uint32_t kind = op.value_kind;
  if (kind == V_INVALID) return {};
  if (is_relocatable(kind)) {
    if (bits == 4) {
      if (report && a.run.pass == pass_final && mnemonic == mn_ld) report_warning(a, 501);
      return {};
    }
    if (bits == 5) return {false, false};
    if (bits >= relocatable_width_of(op, signedness)) return {};
    return out_of_range(a, mnemonic, report);
  }
  int64_t low, high;
  range_bounds(bits, signedness, is_stack_adjust(mnemonic, op), low, high);
  if (op.value < low || op.value > high) return out_of_range(a, mnemonic, report);
  return {bits >= declared_width_of(op), false};
}

RangeResult range_check_value(Assembly& a, int32_t mnemonic, int32_t value, int bits,
                              Signedness signedness, bool report) {
  int64_t low, high;
  range_bounds(bits, signedness, false, low, high);
  if (value < low || value > high) return out_of_range(a, mnemonic, report);
  return {};
}

bool is_immediate(Assembly& a, int32_t mnemonic, const OperandRecord& op, int bits) {
  return op.syntax_class == class_value && range_check(a, mnemonic, op, bits, either_range, false).fits;
}

int32_t memory_mode(Assembly& a, int32_t mnemonic, const OperandRecord& op, bool destination) {
  int32_t mode = not_memory;
  switch (op.syntax_class) {
    case class_direct: mode = direct_mode(a, mnemonic, op); break;
    case class_indirect: mode = indirect_mode(op.reg); break;
    case class_indexed: mode = indexed_mode(op.reg); break;
    case class_register_pair: mode = pair_mode(op.reg, op.second_reg); break;
    case class_pop: mode = op.reg == reg_sp ? mode_pop : not_memory; break;
    case class_push: mode = op.reg == reg_sp ? mode_push : not_memory; break;
    default: break;
  }
  if (mode == not_memory || !destination) return mode;
  if (mode == mode_pop || mode == mode_push || mode == mode_pc_a) return mode;
  return mode + 1;
}

bool is_short_direct(Assembly& a, int32_t mnemonic, const OperandRecord& op) {
  return op.syntax_class == class_direct &&
         memory_mode(a, mnemonic, op, false) == mode_short_direct;
}

}  // namespace koral
