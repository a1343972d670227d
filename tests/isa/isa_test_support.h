// Hand-made instruction statements for the instruction-set tests: operand
// records with their evaluated values put in directly, a statement body to
// hold them, and the diagnostics a statement reported.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "diag/diagnostics.h"
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
  int32_t second = no_register;
  int32_t value = 0;
  uint32_t kind = V_ABS;
  ArenaRef expression = 0;
  int declared = 0;
  int width = 0;  // relocatable width, the same for every signedness
  int32_t designator = 0;
  int32_t bit = 0;
  uint32_t bit_kind = V_ABS;
  ArenaRef bit_expression = 0;
  int32_t sign = 0;

  // A ".b" suffix.
  Op& b(int32_t number) {
    designator = 1;
    bit = number;
    return *this;
  }
  // A ".A" suffix.
  Op& bit_a() {
    designator = 2;
    return *this;
  }
  // A ".register" suffix other than .A.
  Op& bit_register() {
    designator = 3;
    return *this;
  }
  // A value only the linker knows, needing `bits` bits.
  Op& reloc(int bits, ArenaRef tree = 41, uint32_t value_kind = V_EXPR) {
    kind = value_kind;
    width = bits;
    expression = tree;
    return *this;
  }
  Op& of_kind(uint32_t value_kind) {
    kind = value_kind;
    return *this;
  }
  // Written with the width operator ":".
  Op& wide(int bits) {
    declared = bits;
    return *this;
  }
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
inline Op Pair(int32_t reg, int32_t second) {
  return Op{.syntax_class = class_register_pair, .reg = reg, .second = second};
}
inline Op PushForm(int32_t reg = reg_sp) { return Op{.syntax_class = class_push, .reg = reg}; }
inline Op PopForm(int32_t reg = reg_sp) { return Op{.syntax_class = class_pop, .reg = reg}; }
inline Op SpPlus(int32_t d) {
  return Op{.syntax_class = class_register_displacement, .reg = reg_sp, .value = d, .expression = 1,
            .sign = 1};
}
inline Op Other(int32_t syntax_class, int32_t reg) { return Op{.syntax_class = syntax_class, .reg = reg}; }

// What became of one statement.
struct Outcome {
  bool classified = false;
  int32_t mnemonic = 0;
  int32_t form = -1;
  std::vector<uint8_t> bytes;
  std::vector<int> codes;  // diagnostics, in the order reported
};

// One run with a current code section and a statement body of its own.
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
    last_ops = ops;
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
      rec->second_reg = op.second;
      rec->bit_expression = op.bit_expression;
      rec->bit_number = op.bit;
      rec->bit_designator = op.designator;
      rec->bit_value_kind = op.bit_kind;
      rec->displacement_sign = op.sign;
      store_widths(*rec, op.declared, op.width, op.width, op.width);
      if (previous) previous->next = body_offset(previous, rec);
      else record->first_operand = body_offset(record, rec);
      previous = rec;
    }
    return instruction_view(*record);
  }

  OperandRecord* allocate_operand() {
    OperandRecord* rec = reinterpret_cast<OperandRecord*>(body + used);
    used += sizeof(OperandRecord);
    return rec;
  }

  // Classifies as pass 1 does, then, as a pass-2 iteration, classifies again
  // where the family does and encodes.
  Outcome assemble(int32_t mnemonic, const std::vector<Op>& ops) {
    Instruction ins = build(mnemonic, ops);
    a.run.pass = pass_one;
    begin_statement_marks(a);
    Outcome out;
    current = this;
    out.classified = classify_instruction(a, ins, &IsaRun::allocate_in_current);
    current = nullptr;
    ins = instruction_view(*record);
    a.run.pass = pass_two;
    begin_encoding(a);
    if (a.diag.error_mark) {
      encode_zero_bytes(a, ins);
    } else {
      const MnemonicEntry* entry = find_mnemonic(ins.mnemonic());
      if (reclassified_in_pass_two(entry->family)) classify_instruction(a, ins, nullptr);
      prepare_relative_fields(a, ins);
      if (a.diag.error_mark) encode_zero_bytes(a, ins);
      else encode_instruction(a, ins);
    }
    out.mnemonic = record->mnemonic;
    out.form = record->form;
    out.bytes.assign(a.code.bytes, a.code.bytes + a.code.count);
    out.codes = reported_codes();
    return out;
  }

  // Encodes the statement built last as the final pass does: the operands'
  // values are evaluated again (here: restored as built), no classification
  // runs, relative targets are converted first.
  Outcome encode_final() {
    Instruction ins = instruction_view(*record);
    for (int i = 0; i < ins.count && i < static_cast<int>(last_ops.size()); ++i)
      if (ins.operand[i]->syntax_class == last_ops[i].syntax_class) ins.operand[i]->value = last_ops[i].value;
    a.run.pass = pass_final;
    begin_statement_marks(a);
    a.diag.pending.clear();
    begin_encoding(a);
    prepare_relative_fields(a, ins);
    encode_instruction(a, ins);
    Outcome out;
    out.mnemonic = record->mnemonic;
    out.form = record->form;
    out.bytes.assign(a.code.bytes, a.code.bytes + a.code.count);
    for (const PendingDiagnostic& d : a.diag.pending) out.codes.push_back(d.code);
    return out;
  }

  // Codes recorded in the error files (passes 1 and 2) and pending (final).
  std::vector<int> reported_codes() {
    std::vector<int> codes;
    for (TempKind kind : {TempKind::err1, TempKind::err2}) {
      TempFile& file = a.temps[kind];
      if (!file.is_open()) continue;
      long end = file.tell();
      file.seek(0, seek_start);
      std::string text(static_cast<std::size_t>(end), '\0');
      file.read(text.data(), text.size());
      std::size_t at = 0;
      while (at < text.size()) {
        std::size_t line_end = text.find('\n', at);
        int file_index, line, code;
        if (std::sscanf(text.c_str() + at, "%d,%d,%d,", &file_index, &line, &code) == 3)
          codes.push_back(code);
        at = line_end == std::string::npos ? text.size() : line_end + 1;
      }
    }
    for (const PendingDiagnostic& d : a.diag.pending) codes.push_back(d.code);
    return codes;
  }

  OperandRecord& operand(int index) { return *instruction_view(*record).operand[index]; }

  Assembly a;
  Section section;
  alignas(8) unsigned char body[1024];
  uint32_t used = 0;
  InstructionRecord* record = nullptr;
  std::vector<Op> last_ops;

 private:
  static inline IsaRun* current = nullptr;
  static OperandRecord* allocate_in_current(Assembly&) {
    OperandRecord* rec = current->allocate_operand();
    std::memset(rec, 0, sizeof *rec);
    return rec;
  }
};

inline std::unique_ptr<IsaRun> fresh_run() { return std::make_unique<IsaRun>(); }

}  // namespace koral::isa_test
