#include "isa/instruction.h"

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "isa/classify.h"
#include "isa/encoder.h"
#include "isa/generic_jump.h"
#include "isa/operand_values.h"
#include "isa/relative.h"
#include "object/object_writer.h"
#include "symbols/section.h"

namespace koral {

namespace {

const MnemonicEntry& mnemonic_of(Assembly& a, const InstructionRecord& record) {
  const MnemonicEntry* entry = find_mnemonic(record.mnemonic);
  if (!entry) report_fatal(a, 150);
  return *entry;
}

// Outside any section an instruction generates nothing (error 215, once).
bool section_open(Assembly& a) {
  if (a.run.section) return true;
  if (!a.diag.error_mark) report_error(a, 215);
  return false;
}

// Whether the value of a tree can change from one pass-2 iteration to the
// next: it names a symbol, $ or a section (a very deep tree counts as one).
bool tree_names_symbol(Assembly& a, ArenaRef tree, int depth) {
  if (!tree) return false;
  switch (a.arena.tag(tree)) {
    case node_constant: return false;
    case node_operator: {
      if (depth > 64) return true;
      const OperatorNode& node = *a.arena.at<OperatorNode>(tree);
      return tree_names_symbol(a, node.left, depth + 1) || tree_names_symbol(a, node.right, depth + 1);
    }
    default: return true;  // a symbol, $, SIZEOF or STARTOF
  }
}

bool names_any_symbol(Assembly& a, const Instruction& ins) {
  for (int i = 0; i < ins.count; ++i) {
    const OperandRecord& op = *ins.operand[i];
    if (tree_names_symbol(a, op.expression, 0) || tree_names_symbol(a, op.bit_expression, 0)) return true;
  }
  return false;
}

void finish_encoding(Assembly& a, Instruction& ins) {
  if (a.diag.error_mark) {
    encode_zero_bytes(a, ins);
  } else {
    prepare_relative_fields(a, ins);
    encode_instruction(a, ins);
  }
}

}  // namespace

void instruction_pass_one(Assembly& a, InstructionRecord& record, OperandAllocator allocate) {
  a.run.statement_size = 0;
  if (!section_open(a)) return;
  if (!(a.run.section->kind & section_code)) report_warning(a, 504);
  const MnemonicEntry& entry = mnemonic_of(a, record);
  Instruction ins = instruction_view(record);
  evaluate_operands(a, ins);
  if (entry.family == family_generic) generic_jump_pass_one(a, ins);
  else classify_instruction(a, ins, allocate);
  a.evaluation.mnemonic = 0;
}

void instruction_pass_two(Assembly& a, InstructionRecord& record) {
  begin_encoding(a);
  a.run.statement_size = 0;
  if (!section_open(a)) return;
  const MnemonicEntry& entry = mnemonic_of(a, record);
  Instruction ins = instruction_view(record);
  bool generic = entry.family == family_generic;
  if (!a.diag.error_mark) {
    prepare_jump_target(a, ins);
    if (generic && ins.count > 0) evaluate_operand_value(a, ins, *ins.operand[ins.count - 1]);
    else evaluate_operands(a, ins);
    a.evaluation.forward_jump_target = false;
  }
  if (generic && !a.diag.error_mark) {
    // J's size follows from the form it takes; its bytes are laid out in the
    // final pass.
    generic_jump_pass_two(a, ins);
    a.run.statement_size = static_cast<uint32_t>(generic_jump_size(ins.form()));
    a.evaluation.mnemonic = 0;
    return;
  }
  if (!a.diag.error_mark && reclassified_in_pass_two(entry.family)) classify_instruction(a, ins, nullptr);
  finish_encoding(a, ins);
  a.run.statement_size = a.code.count;
  a.evaluation.mnemonic = 0;
  // Only J's size moves with the location; an instruction whose operands
  // name nothing, or a relative jump, keeps the size of the first iteration,
  // and the later iterations only need its stored size.
  if (a.run.iteration == 0 && !a.diag.error_mark &&
      (entry.family == family_relative_jump || !names_any_symbol(a, ins)))
    a.statement.size_final = true;
}

void instruction_final_pass(Assembly& a, InstructionRecord& record) {
  begin_encoding(a);
  a.run.statement_size = 0;
  if (!section_open(a)) return;
  const MnemonicEntry& entry = mnemonic_of(a, record);
  Instruction ins = instruction_view(record);
  if (a.diag.error_mark) {
    encode_zero_bytes(a, ins);
  } else {
    // Errors found now (a division by zero, a jump out of reach) leave the
    // size of pass 2 as it was.
    if (record.mnemonic != mn_callv) evaluate_operands(a, ins);
    if (entry.family == family_generic) generic_jump_final_pass(a, ins);
    prepare_relative_fields(a, ins);
    encode_instruction(a, ins);
  }
  a.run.statement_size = a.code.count;
  // The object writer encodes relocated expressions for this mnemonic.
  a.evaluation.mnemonic = record.mnemonic;
  if (!a.option(opt_no_object))
    object_load_instruction(a, a.code.bytes, a.code.count, a.isa.fields, a.isa.field_count);
  a.evaluation.mnemonic = 0;
}

}  // namespace koral
