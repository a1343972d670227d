#include "isa/generic_jump.h"

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "isa/classify.h"
#include "symbols/section.h"
#include "symbols/symbol_table.h"

namespace koral {

namespace {

constexpr int32_t form_jrs_t = 0, form_jrs_f = 1, form_jr_short = 2, form_jr = 3,
                  form_jr_extended = 4, form_far_never = 5, form_far_always = 6,
                  form_far_short = 7, form_far_extended = 8, form_jp = 9;

// A target written as a plain expression, without a bit number.
bool is_bare_value(const OperandRecord& op) { return is_value_operand(op) && !has_bits(op); }

// CAL, and J with a register or memory operand, become CALL and JP for good.
void rewrite_as(Assembly& a, Instruction& ins, int32_t mnemonic) {
  ins.record->mnemonic = mnemonic;
  ins.record->form = 0;
  classify_instruction(a, ins, nullptr);
}

// What J's condition says about its forms.
enum class Condition { none, always, never, short_group, extended_group };

Condition condition_group(const Instruction& ins) {
  if (ins.count < 2) return Condition::none;
  int32_t cc = ins.operand[0]->reg;
  if (cc == cond_t) return Condition::always;
  if (cc == cond_f) return Condition::never;
  return is_short_condition(cc) ? Condition::short_group : Condition::extended_group;
}

struct Choice {
  int32_t form;
  int32_t condition_type;
  int32_t target_type;
};

Choice far_form(Condition group) {
  switch (group) {
    case Condition::none: return {form_jp, field_implied, field_long};
    case Condition::always: return {form_far_always, field_condition, field_long};
    case Condition::never: return {form_far_never, field_condition, field_long};
    case Condition::short_group: return {form_far_short, field_condition, field_long};
    case Condition::extended_group: break;
  }
  return {form_far_extended, field_condition, field_long};
}

// The shortest form for a distance class.  An unconditional J has no one-byte
// form: JRS always carries a condition.
Choice form_for_class(Condition group, int distance_class) {
  if (distance_class >= 2) return far_form(group);
  switch (group) {
    case Condition::none: return {form_jr, field_implied, field_relative8};
    case Condition::extended_group: return {form_jr_extended, field_condition, field_relative8};
    case Condition::always:
      if (distance_class == 0) return {form_jrs_t, field_implied, field_relative5};
      break;
    case Condition::never:
      if (distance_class == 0) return {form_jrs_f, field_implied, field_relative5};
      break;
    case Condition::short_group: break;
  }
  return {form_jr_short, field_condition, field_relative8};
}

bool in_absolute_section(const Assembly& a) {
  return a.run.section && (a.run.section->kind & section_absolute);
}

// Targets whose distance the assembler knows now: a place in the current
// section, or in an absolute section an absolute address.
bool measurable(const Assembly& a, uint32_t kind) {
  if (kind == V_HERE || kind == V_LOCAL || kind == V_ABSADDR) return true;
  return kind == V_ABSOTHER && in_absolute_section(a);
}

int32_t location_counter(const Assembly& a) {
  return a.run.section ? static_cast<int32_t>(a.run.section->location) : 0;
}

Choice choose_form(Assembly& a, const Instruction& ins, const OperandRecord& target) {
  Condition group = condition_group(ins);
  uint32_t kind = target.value_kind;
  int distance_class = jump_distance_class(a, target, ins.form());
  if (kind == V_ABS || kind == V_HERE) return form_for_class(group, distance_class);
  if (!measurable(a, kind)) return far_form(group);
  // -O: a label ahead keeps the far form; one behind is still shortened.
  bool backward = int64_t{target.value} <= int64_t{location_counter(a)};
  if (a.option(opt_long_forward_jumps) && !backward) return far_form(group);
  return form_for_class(group, distance_class);
}

bool is_relative_jump(int32_t mnemonic) {
  return mnemonic == mn_jrs || mnemonic == mn_jr || mnemonic == mn_j;
}

bool is_section_label(int32_t kind) {
  return kind == kind_label || kind == kind_public_label || kind == kind_public_variable ||
         kind == kind_late_public;
}

// Whether the tree names a label of the current section that this pass-2
// iteration has already defined again.
bool names_label_behind(Assembly& a, ArenaRef tree, int depth) {
  if (!tree || depth > 64) return false;
  switch (a.arena.tag(tree)) {
    case node_operator: {
      const OperatorNode& node = *a.arena.at<OperatorNode>(tree);
      return names_label_behind(a, node.left, depth + 1) ||
             names_label_behind(a, node.right, depth + 1);
    }
    case node_name: {
      const NameNode& node = *a.arena.at<NameNode>(tree);
      if (node.kind != name_symbol) return false;
      const Symbol* symbol = symbol_from_handle(a, node.symbol);
      return symbol && is_section_label(symbol->kind) && symbol->section == a.run.section &&
             (symbol->attributes & attribute_late_definition);
    }
    default:
      return false;
  }
}

}  // namespace

int generic_jump_size(int32_t form) {
  static constexpr int sizes[] = {1, 1, 2, 2, 3, 5, 5, 6, 7, 4};
  return form >= 0 && form <= form_jp ? sizes[form] : 0;
}

int32_t inverted_condition(int32_t condition) {
  switch (condition) {
    case cond_t: return cond_f;
    case cond_f: return cond_t;
    case cond_eq: return cond_ne;
    case cond_z: return cond_nz;
    case cond_ne: return cond_eq;
    case cond_nz: return cond_z;
    case cond_cs: return cond_cc;
    case cond_lt: return cond_ge;
    case cond_cc: return cond_cs;
    case cond_ge: return cond_lt;
    case cond_le: return cond_gt;
    case cond_gt: return cond_le;
    case cond_m: return cond_p;
    case cond_p: return cond_m;
    case cond_vs: return cond_vc;
    case cond_vc: return cond_vs;
    case cond_slt: return cond_sge;
    case cond_sge: return cond_slt;
    case cond_sle: return cond_sgt;
    case cond_sgt: return cond_sle;
    default: return condition;
  }
}

int jump_distance_class(const Assembly& a, const OperandRecord& target, int32_t form) {
  if (!measurable(a, target.value_kind)) return 2;  // a plain number takes the long form
  // 32-bit arithmetic with wrap-around, as every value.
  uint32_t from = static_cast<uint32_t>(target.value) - static_cast<uint32_t>(location_counter(a));
  int32_t d = static_cast<int32_t>(from - 2);
  int32_t d3 = static_cast<int32_t>(from - 3);
  if (d >= -16 && d <= 15) return 0;
  int32_t displacement = form == form_jr_extended || form == form_far_extended ? d3 : d;
  return displacement >= -128 && displacement <= 127 ? 1 : 2;
}

void generic_jump_pass_one(Assembly& a, Instruction& ins) {
  if (ins.count == 0 || (ins.count == 1 && is_condition_operand(*ins.operand[0]))) {
    report_error(a, 231);
    return;
  }
  if (ins.count == 1) {
    if (ins.mnemonic() == mn_cal) rewrite_as(a, ins, mn_call);
    else if (!is_bare_value(*ins.operand[0])) rewrite_as(a, ins, mn_jp);
    else ins.record->form = form_jrs_t;
    return;
  }
  // A conditional CAL has no encoding.
  const OperandRecord& condition = *ins.operand[0];
  if (ins.mnemonic() == mn_cal || !is_condition_operand(condition) || has_bits(condition) ||
      !is_bare_value(*ins.operand[1])) {
    report_error(a, 230);
    return;
  }
  ins.record->form = form_jrs_t;
}

void prepare_jump_target(Assembly& a, Instruction& ins) {
  a.evaluation.forward_jump_target = false;
  if (!is_relative_jump(ins.mnemonic()) || ins.count == 0 || a.diag.error_mark) return;
  InstructionRecord& record = *ins.record;
  if (a.run.iteration == 0) {
    if (names_label_behind(a, ins.operand[ins.count - 1]->expression, 0))
      record.marks |= mark_backward_target;
    return;
  }
  if (record.marks & mark_backward_target) return;
  if (ins.mnemonic() == mn_j && record.form == form_jp) return;
  a.evaluation.forward_jump_target = true;
}

void generic_jump_pass_two(Assembly& a, Instruction& ins) {
  if (ins.count == 0) return;
  OperandRecord& target = *ins.operand[ins.count - 1];
  OperandRecord* condition = ins.count == 2 ? ins.operand[0] : nullptr;
  Choice choice{form_jrs_t, field_condition, field_relative5};
  if (a.run.iteration > 0) choice = choose_form(a, ins, target);
  ins.record->form = choice.form;
  if (condition) condition->field_type = choice.condition_type;
  target.field_type = choice.target_type;
}

// The inverted condition stays in the record: no pass follows the final one.
void generic_jump_final_pass(Assembly&, Instruction& ins) {
  int32_t form = ins.form();
  if ((form == form_far_short || form == form_far_extended) && ins.count == 2)
    ins.operand[0]->reg = inverted_condition(ins.operand[0]->reg);
}

}  // namespace koral
