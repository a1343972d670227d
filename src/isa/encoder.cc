#include "isa/encoder.h"

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "isa/relative.h"

namespace koral {

namespace {

const Form& chosen_form(Assembly& a, const Instruction& ins) {
  const Form* form = find_form(ins.mnemonic(), ins.form());
  if (!form) report_fatal(a, 150);
  return *form;
}

// One instruction being laid out.
class Layout {
 public:
  Layout(Assembly& a, const Instruction& ins)
      : a_(a), ins_(ins), form_(chosen_form(a, ins)), code_(a.code), state_(a.isa) {}

  void run();

 private:
  void emit(uint8_t byte) {
    if (!code_.append(byte)) report_fatal(a_, 150);
  }
  // A merged field: OR-ed into the byte emitted just before.
  void merge(uint8_t bits) {
    if (code_.count == 0) emit(bits);
    else code_.bytes[code_.count - 1] |= bits;
  }
  void opcode1() { emit(form_.opcode1); }
  void opcode2() {
    if (form_.opcode_bytes == 2) emit(form_.opcode2);
  }
  void emit_little_endian(int32_t value, int size) {
    uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < size; ++i) emit(static_cast<uint8_t>(bits >> (8 * i)));
  }
  void relocate(uint32_t offset, uint32_t size, FieldTemplate kind, ArenaRef expression,
                int32_t base, int32_t adjustment);

  void field(int index);
  void bit_mark(int index);
  void immediate(OperandRecord& op, int size);
  void vector(OperandRecord& op);
  void relative(OperandRecord& op, int bits);
  void memory(OperandRecord& op);
  uint8_t register8(const OperandRecord& op) {
    if (!is_register8(op.reg)) report_fatal(a_, 150);
    return static_cast<uint8_t>(register8_code(op.reg));
  }
  uint8_t register16(const OperandRecord& op) {
    if (!is_register16(op.reg)) report_fatal(a_, 150);
    return static_cast<uint8_t>(register16_code(op.reg));
  }
  uint8_t condition(const OperandRecord& op) {
    if (!is_condition(op.reg)) report_fatal(a_, 150);
    return static_cast<uint8_t>(condition_code(op.reg));
  }
  bool first_is_condition() const {
    return ins_.operand[0] && is_condition_operand(*ins_.operand[0]);
  }
  bool first_has_bits() const { return ins_.operand[0] && has_bits(*ins_.operand[0]); }

  Assembly& a_;
  const Instruction& ins_;
  const Form& form_;
  CodeBuffer& code_;
  IsaState& state_;
};

void Layout::run() {
  switch (form_.encoder) {
    case 0: case 5: case 11: case 12: opcode1(); opcode2(); break;
    case 1: opcode1(); field(0); opcode2(); break;
    case 2: opcode1(); opcode2(); field(0); break;
    case 3: opcode1(); bit_mark(0); opcode2(); field(0); break;
    case 4: opcode1(); field(0); opcode2(); bit_mark(0); break;
    case 6:
      opcode1(); field(0); opcode2();
      if (first_has_bits()) bit_mark(0);
      break;
    case 7: opcode1(); field(0); opcode2(); field(1); break;
    case 8: opcode1(); field(1); opcode2(); field(0); break;
    case 9:
      opcode1(); field(0); opcode2();
      if (first_is_condition()) field(1);
      break;
    case 10: opcode1(); bit_mark(1); opcode2(); field(1); break;
    case 13: opcode1(); field(0); opcode2(); bit_mark(0); field(1); break;
    case 14: opcode1(); field(1); opcode2(); bit_mark(1); field(0); break;
    case 15: opcode1(); opcode2(); field(1); break;
    case 16:
      opcode1(); field(0);
      if (ins_.form() == 7) emit(0x04);
      opcode2(); field(1);
      break;
    case 17:
      opcode1(); opcode2(); field(0);
      if (ins_.form() == 8) {
        emit(0x04);
        emit(0xFE);
      }
      field(1);
      break;
    case 18: field(1); break;
    case 19: opcode1(); field(1); break;
    default: report_fatal(a_, 150);
  }
}

// Fields are kept in byte order, as the object writer takes them.
void Layout::relocate(uint32_t offset, uint32_t size, FieldTemplate kind, ArenaRef expression,
                      int32_t base, int32_t adjustment) {
  if (state_.field_count == IsaState::max_fields) report_fatal(a_, 150);
  int at = state_.field_count++;
  while (at > 0 && state_.fields[at - 1].offset > offset) {
    state_.fields[at] = state_.fields[at - 1];
    --at;
  }
  state_.fields[at] = RelocatedField{offset, size, kind, expression, base, adjustment};
}

void Layout::field(int index) {
  OperandRecord* op = ins_.operand[index];
  if (!op) return;
  bool has_bytes = true;
  switch (op->field_type) {
    case field_register8: merge(register8(*op)); break;
    case field_register8_x8: merge(static_cast<uint8_t>(register8(*op) * 8)); break;
    case field_register16: merge(register16(*op)); break;
    case field_register16_x8: merge(static_cast<uint8_t>(register16(*op) * 8)); break;
    case field_relative5: relative(*op, 5); break;
    case field_relative8: relative(*op, 8); break;
    case field_immediate4: vector(*op); break;
    case field_byte: immediate(*op, 1); break;
    case field_word: immediate(*op, 2); break;
    case field_long: immediate(*op, 3); break;
    case field_condition: merge(condition(*op)); break;
    case field_memory: memory(*op); break;
    default: has_bytes = false; break;  // implied operands and [HL] of the one-byte LD
  }
  if (has_bytes && code_.count > 0) state_.last_byte[index] = static_cast<int32_t>(code_.count) - 1;
}

// ORs the operand's bit number into the byte emitted last; a relocatable bit
// number makes that byte a relocated item based on the opcode.
void Layout::bit_mark(int index) {
  OperandRecord* op = ins_.operand[index];
  if (!op || code_.count == 0) return;
  uint8_t& byte = code_.bytes[code_.count - 1];
  if (op->bit_designator == 1 && is_relocatable(op->bit_value_kind)) {
    if (a_.run.pass == pass_final) report_warning(a_, 501);
    relocate(code_.count - 1, 1, FieldTemplate::bit_number, op->bit_expression, byte, 0);
    return;
  }
  byte |= static_cast<uint8_t>(op->bit_number & 7);
}

void Layout::immediate(OperandRecord& op, int size) {
  int32_t mnemonic = ins_.mnemonic();
  range_check(a_, mnemonic, op, size * 8, either_range, true);
  if (is_relocatable(op.value_kind)) {
    FieldTemplate kind = mnemonic == mn_ld && ins_.form() == 27 ? FieldTemplate::stack_displacement
                                                                 : FieldTemplate::plain;
    relocate(code_.count, static_cast<uint32_t>(size), kind, op.expression, 0, 0);
    emit_little_endian(0, size);
    return;
  }
  int32_t value = op.value;
  // LD SP,SP+d with a negative d carries the magnitude of d.
  if (mnemonic == mn_ld && ins_.form() == 9) value = -value;
  emit_little_endian(value, size);
}

void Layout::vector(OperandRecord& op) {
  if (is_relocatable(op.value_kind)) {
    relocate(code_.count - 1, 1, FieldTemplate::vector, op.expression,
             callv_vector_table(a_.settings.model_level), 0);
    return;
  }
  range_check(a_, ins_.mnemonic(), op, 4, either_range, true);
  merge(static_cast<uint8_t>(op.value & 15));
}

void Layout::relative(OperandRecord& op, int bits) {
  int32_t mnemonic = ins_.mnemonic();
  int32_t adjustment = relative_adjustment(mnemonic, ins_.form());
  if (relative_field_relocated(a_, op)) {
    if (bits == 5) {
      // The whole opcode byte comes from the linker.
      relocate(code_.count - 1, 1, FieldTemplate::short_jump, op.expression,
               code_.bytes[code_.count - 1], adjustment);
    } else {
      FieldTemplate kind = mnemonic == mn_jr ? FieldTemplate::jump : FieldTemplate::relative;
      relocate(code_.count, 1, kind, op.expression, 0, adjustment);
      emit(0);
    }
    return;
  }
  range_check_value(a_, mnemonic, op.value, bits, signed_range, true);
  if (a_.diag.error_mark) op.value = 0;
  if (bits == 5) merge(static_cast<uint8_t>(op.value & 31));
  else emit(static_cast<uint8_t>(op.value));
}

void Layout::memory(OperandRecord& op) {
  int32_t mode = op.addressing_mode;
  if (mode < 0 || mode >= mode_count) report_fatal(a_, 150);
  merge(memory_prefix[mode]);
  int size = mode_operand_bytes(mode);
  if (size == 0) return;
  if (is_relocatable(op.value_kind)) {
    relocate(code_.count, static_cast<uint32_t>(size), FieldTemplate::plain, op.expression, 0, 0);
    emit_little_endian(0, size);
    return;
  }
  if (is_direct_mode(mode))
    range_check(a_, ins_.mnemonic(), op, size * 8, size == 3 ? unsigned_range : either_range, true);
  else
    range_check(a_, ins_.mnemonic(), op, 8, signed_range, true);
  emit_little_endian(op.value, size);
}

}  // namespace

void begin_encoding(Assembly& a) {
  a.code.clear();
  a.isa.reset();
}

void encode_instruction(Assembly& a, const Instruction& ins) {
  Layout(a, ins).run();
}

void encode_zero_bytes(Assembly& a, const Instruction& ins) {
  const Form& form = chosen_form(a, ins);
  for (int i = 0; i < form.opcode_bytes; ++i) a.code.append(0);
}

}  // namespace koral
