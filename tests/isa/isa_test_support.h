// Hand-made instruction statements for the relocated-field tests: operand
// records with their evaluated values put in directly, classified and encoded
// as passes 1 and 2 do, or encoded in the form the jump optimisation left.
#pragma once

#include <cstring>
#include <vector>

#include "driver/assembly.h"
#include "isa/classify.h"
#include "isa/encoder.h"
#include "isa/operands.h"
#include "isa/relative.h"
#include "symbols/section.h"

namespace koral::isa_test {

// One written operand, as the grammar and the evaluator leave it.
struct Op {
  int32_t syntax_class = class_value;
  int32_t reg = no_register;
  int32_t value = 0;
  uint32_t kind = V_ABS;
  ArenaRef expression = 0;
  int width = 0;  // relocatable width, the same for every signedness
  int32_t designator = 0;
  uint32_t bit_kind = V_ABS;
  ArenaRef bit_expression = 0;
  int32_t sign = 0;

  // A value only the linker knows, needing `bits` bits.
  Op& reloc(int bits, ArenaRef tree = 41) {
    kind = V_EXPR;
    width = bits;
    expression = tree;
    return *this;
  }
  Op& of_kind(uint32_t value_kind) {
    kind = value_kind;
    return *this;
  }
  // A ".b" suffix whose number only the linker knows.
  Op& relocatable_bit(ArenaRef tree = 53) {
    designator = 1;
    bit_kind = V_EXPR;
    bit_expression = tree;
    return *this;
  }
};

inline Op R(int32_t reg) { return Op{.syntax_class = class_register, .reg = reg}; }
inline Op Cond(int32_t condition) { return Op{.syntax_class = class_condition, .reg = condition}; }
inline Op N(int32_t value) { return Op{.syntax_class = class_value, .value = value, .expression = 1}; }
inline Op Mem(int32_t address) { return Op{.syntax_class = class_direct, .value = address, .expression = 1}; }
inline Op Ind(int32_t reg) { return Op{.syntax_class = class_indirect, .reg = reg}; }
inline Op Idx(int32_t reg, int32_t d) {
  return Op{.syntax_class = class_indexed, .reg = reg, .value = d, .expression = 1, .sign = 1};
}
inline Op SpPlus(int32_t d) {
  return Op{.syntax_class = class_register_displacement, .reg = reg_sp, .value = d, .expression = 1,
            .sign = 1};
}

// One run with a relocatable code section at 0x100 and a statement body.
class IsaRun {
 public:
  IsaRun() {
    a.sources.files.push_back(SourceFile{"t.asm", "/t.asm"});
    section.kind = section_code;
    section.location = 0x100;
    a.run.section = &section;
  }

  // Lays out the instruction record and its operand records as the grammar
  // does, at the start of the body.
  Instruction build(int32_t mnemonic, const std::vector<Op>& ops) {
    std::memset(body, 0, sizeof body);
    used = sizeof(InstructionRecord);
    record = reinterpret_cast<InstructionRecord*>(body);
    record->mnemonic = mnemonic;
    record->mode_mask = 0xFFFFFFFFu;
    OperandRecord* previous = nullptr;
    for (const Op& op : ops) {
      OperandRecord* rec = allocate_operand();
      rec->syntax_class = op.syntax_class;
      rec->value = op.value;
      rec->expression = op.expression;
      rec->value_kind = op.kind;
      rec->field_type = field_implied;
      rec->reg = op.reg;
      rec->second_reg = no_register;
      rec->bit_expression = op.bit_expression;
      rec->bit_designator = op.designator;
      rec->bit_value_kind = op.bit_kind;
      rec->displacement_sign = op.sign;
      store_widths(*rec, 0, op.width, op.width, op.width);
      if (previous) previous->next = body_offset(previous, rec);
      else record->first_operand = body_offset(record, rec);
      previous = rec;
    }
    return instruction_view(*record);
  }

  // Classifies as pass 1 does, then classifies again where the family does
  // and encodes as a pass-2 iteration.  False when a diagnostic was reported.
  bool assemble(int32_t mnemonic, const std::vector<Op>& ops) {
    Instruction ins = build(mnemonic, ops);
    a.run.pass = pass_one;
    begin_statement_marks(a);
    current = this;
    bool classified = classify_instruction(a, ins, &IsaRun::allocate_in_current);
    current = nullptr;
    ins = instruction_view(*record);
    a.run.pass = pass_two;
    begin_encoding(a);
    if (!classified || a.diag.error_mark) return false;
    if (reclassified_in_pass_two(find_mnemonic(ins.mnemonic())->family)) classify_instruction(a, ins, nullptr);
    prepare_relative_fields(a, ins);
    if (a.diag.error_mark) return false;
    encode_instruction(a, ins);
    return true;
  }

  // Encodes the statement built last in `form`, with the field types the
  // jump optimisation sets, as the final pass does.
  void encode_final(int32_t form, const int32_t (&types)[2]) {
    Instruction ins = instruction_view(*record);
    ins.record->form = form;
    for (int i = 0; i < ins.count; ++i) ins.operand[i]->field_type = types[i];
    a.run.pass = pass_final;
    begin_statement_marks(a);
    begin_encoding(a);
    prepare_relative_fields(a, ins);
    encode_instruction(a, ins);
  }

  Assembly a;
  Section section;
  alignas(8) unsigned char body[1024];
  uint32_t used = 0;
  InstructionRecord* record = nullptr;

 private:
  OperandRecord* allocate_operand() {
    OperandRecord* rec = reinterpret_cast<OperandRecord*>(body + used);
    used += sizeof(OperandRecord);
    return rec;
  }
  static inline IsaRun* current = nullptr;
  static OperandRecord* allocate_in_current(Assembly&) {
    OperandRecord* rec = current->allocate_operand();
    std::memset(rec, 0, sizeof *rec);
    return rec;
  }
};

}  // namespace koral::isa_test
