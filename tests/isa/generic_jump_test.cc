// The generic jump J and the generic call CAL: what pass 1 makes of them,
// the distance classes, the form J takes in each pass-2 iteration for every
// kind of target and condition, the marks and corrections around its target,
// and the final pass's bytes of the far forms.
#include <gtest/gtest.h>

#include "expr/expression.h"
#include "isa/generic_jump.h"
#include "isa/instruction.h"
#include "isa_test_support.h"
#include "symbols/hash.h"
#include "symbols/symbol_table.h"

namespace koral::isa_test {
namespace {

using Bytes = std::vector<uint8_t>;

// The statement stands at 0x100 of a relocatable code section (IsaRun).
class GenericJump : public ::testing::Test {
 protected:
  GenericJump() : run(fresh_run()), a(run->a) { a.run.options |= opt_no_object; }

  Op leaf(Op op, int32_t value) {
    op.expression = make_integer_leaf(a, value);
    return op;
  }

  Op label_operand(Symbol* symbol) {
    Op op = N(0);
    op.expression = make_name_leaf(a, name_symbol, handle_of(symbol), 0);
    return op;
  }

  Symbol* label(const char* name, int32_t value, Section* section, int32_t kind = kind_label) {
    lookup_symbol(a, name, hash_name(name));
    Symbol* s = insert_name(a, name, kind).symbol;
    s->value = value;
    s->section = section;
    return s;
  }

  void start(int32_t pass, bool error = false) {
    a.run.pass = pass;
    begin_statement_marks(a);
    a.diag.error_mark = error;
  }

  Bytes bytes() const { return {a.code.bytes, a.code.bytes + a.code.count}; }

  // Pass 1 of the statement built last; the codes it reported.
  std::vector<int> first_pass() {
    start(pass_one);
    instruction_pass_one(a, *run->record, nullptr);
    return run->reported_codes();
  }

  // One pass-2 iteration (counter `iteration`) over a statement whose
  // operands are already evaluated: the form choice and its bytes.
  Bytes choose(int32_t iteration) {
    start(pass_two);
    a.run.iteration = iteration;
    begin_encoding(a);
    Instruction ins = instruction_view(*run->record);
    generic_jump_pass_two(a, ins);
    prepare_relative_fields(a, ins);
    encode_instruction(a, ins);
    return bytes();
  }

  // The final pass with the operands' values restored as built.
  Bytes final_bytes() {
    Instruction ins = instruction_view(*run->record);
    for (int i = 0; i < ins.count; ++i) ins.operand[i]->value = run->last_ops[i].value;
    start(pass_final);
    begin_encoding(a);
    generic_jump_final_pass(a, ins);
    prepare_relative_fields(a, ins);
    encode_instruction(a, ins);
    return bytes();
  }

  std::unique_ptr<IsaRun> run;
  Assembly& a;
};

// --- pass 1 -------------------------------------------------------------------

TEST(GenericJumpPassOne, KeepsJWithABareValueAndRewritesTheRest) {
  struct PassOneCase {
    const char* source;
    int32_t mnemonic;
    std::vector<Op> ops;
    int32_t becomes;
    int32_t form;
    std::vector<int> codes;
  };
  const PassOneCase cases[] = {
      {"CAL 1234h", mn_cal, {N(0x1234)}, mn_call, 0, {}},
      {"CAL HL", mn_cal, {R(reg_hl)}, mn_call, 1, {}},
      {"CAL [DE]", mn_cal, {Ind(reg_de)}, mn_call, 2, {}},
      {"J HL", mn_j, {R(reg_hl)}, mn_jp, 1, {}},
      {"J [IX+3]", mn_j, {Idx(reg_ix, 3)}, mn_jp, 2, {}},
      {"J 1234h.1", mn_j, {N(0x1234).b(1)}, mn_jp, 0, {230}},
      {"J A", mn_j, {R(reg_a)}, mn_jp, 0, {230}},
      {"J 1234h", mn_j, {N(0x1234)}, mn_j, 0, {}},
      {"J NZ,1234h", mn_j, {Cond(cond_nz), N(0x1234)}, mn_j, 0, {}},
      {"J SGT,1234h", mn_j, {Cond(cond_sgt), N(0x1234)}, mn_j, 0, {}},
      {"J", mn_j, {}, mn_j, 0, {231}},
      {"J NZ", mn_j, {Cond(cond_nz)}, mn_j, 0, {231}},
      {"CAL", mn_cal, {}, mn_cal, 0, {231}},
      {"CAL Z", mn_cal, {Cond(cond_z)}, mn_cal, 0, {231}},
      {"J 1,2", mn_j, {N(1), N(2)}, mn_j, 0, {230}},
      {"J Z,HL", mn_j, {Cond(cond_z), R(reg_hl)}, mn_j, 0, {230}},
      {"J Z,[HL]", mn_j, {Cond(cond_z), Ind(reg_hl)}, mn_j, 0, {230}},
      {"J Z,5.1", mn_j, {Cond(cond_z), N(5).b(1)}, mn_j, 0, {230}},
      {"J A,5", mn_j, {R(reg_a), N(5)}, mn_j, 0, {230}},
      {"CAL Z,5", mn_cal, {Cond(cond_z), N(5)}, mn_cal, 0, {230}},
  };
  for (const PassOneCase& c : cases) {
    auto run = fresh_run();
    Assembly& a = run->a;
    std::vector<Op> ops = c.ops;
    for (Op& op : ops) {
      if (op.expression) op.expression = make_integer_leaf(a, op.value);
      if (op.designator == 1) op.bit_expression = make_integer_leaf(a, op.bit);
    }
    run->build(c.mnemonic, ops);
    a.run.pass = pass_one;
    begin_statement_marks(a);
    instruction_pass_one(a, *run->record, nullptr);
    EXPECT_EQ(run->record->mnemonic, c.becomes) << c.source;
    EXPECT_EQ(run->record->form, c.form) << c.source;
    EXPECT_EQ(run->reported_codes(), c.codes) << c.source;
    EXPECT_EQ(a.run.statement_size, 0u) << c.source;
  }
}

TEST_F(GenericJump, CalAssemblesExactlyAsCall) {
  run->build(mn_cal, {leaf(N(0), 0x12345)});
  EXPECT_TRUE(first_pass().empty());
  start(pass_two);
  instruction_pass_two(a, *run->record);
  EXPECT_EQ(bytes(), (Bytes{0xFD, 0x45, 0x23, 0x01}));
  start(pass_final);
  instruction_final_pass(a, *run->record);
  EXPECT_EQ(bytes(), (Bytes{0xFD, 0x45, 0x23, 0x01}));
}

// --- distance classes ---------------------------------------------------------

TEST_F(GenericJump, DistanceClassBoundsFromTheLocation) {
  struct ClassCase {
    int32_t target;
    int32_t form;  // the statement's current form
    int expected;
  };
  // At 0x100: d = target - 0x102, d3 = target - 0x103.
  const ClassCase cases[] = {
      {0x102, 3, 0},  {0x111, 3, 0},  {0xF2, 3, 0},   // d = 0, 15, -16
      {0x112, 3, 1},  {0xF1, 3, 1},                  // d = 16, -17
      {0x181, 3, 1},  {0x82, 3, 1},                  // d = 127, -128
      {0x182, 3, 2},  {0x81, 3, 2},                  // d = 128, -129
      {0x182, 4, 1},  {0x182, 8, 1},                 // d3 = 127 for the extended forms
      {0x183, 4, 2},  {0x83, 4, 1},  {0x82, 8, 2},   // d3 = 128, -128, -129
      {0x182, 0, 2},  {0x182, 9, 2},  {0x182, 7, 2},
      {0x111, 4, 0},  {0x112, 8, 1},                 // class 0 always tests d
  };
  for (const ClassCase& c : cases) {
    run->build(mn_j, {N(c.target).of_kind(V_LOCAL)});
    EXPECT_EQ(jump_distance_class(a, run->operand(0), c.form), c.expected)
        << std::hex << c.target << " form " << c.form;
  }
}

TEST_F(GenericJump, DistanceClassByKindOfTarget) {
  struct KindCase {
    uint32_t kind;
    bool absolute_section;
    int expected;
  };
  const KindCase cases[] = {
      {V_LOCAL, false, 0},    {V_HERE, false, 0},  {V_ABSADDR, true, 0},
      {V_ABSOTHER, true, 0},  {V_ABSOTHER, false, 2},
      {V_ABS, false, 2},      {V_ABS, true, 2},    {V_EXPR, false, 2},
      {V_EXPR, true, 2},      {V_INVALID, false, 2},
  };
  for (const KindCase& c : cases) {
    run->section.kind = c.absolute_section ? section_absolute | section_code : section_code;
    run->build(mn_j, {N(0x104).of_kind(c.kind)});
    EXPECT_EQ(jump_distance_class(a, run->operand(0), 3), c.expected) << c.kind;
  }
}

// --- pass 2 -------------------------------------------------------------------

TEST_F(GenericJump, FirstIterationTakesFormZeroWhateverTheTarget) {
  const std::vector<Op> targets[] = {
      {N(0x1000).of_kind(V_ABS)},
      {N(0x104).of_kind(V_LOCAL)},
      {Cond(cond_nz), N(0x5000).of_kind(V_LOCAL)},
      {Cond(cond_sle), N(0).reloc(24)},
      {Cond(cond_f), N(0x104).of_kind(V_LOCAL)},
  };
  for (const std::vector<Op>& ops : targets) {
    run->build(mn_j, ops);
    run->record->form = 7;  // whatever pass 1 left
    EXPECT_EQ(choose(0).size(), 1u);
    EXPECT_EQ(run->record->form, 0);
    EXPECT_EQ(run->operand(ops.size() - 1).field_type, field_relative5);
    if (ops.size() == 2) EXPECT_EQ(run->operand(0).field_type, field_condition);
  }
}

// Every form from a later iteration, with the bytes of that iteration and of
// the final pass.  The statement is at 0x100; a far target in the current
// section lies in an absolute section here, so that its address is plain.
TEST_F(GenericJump, FormByConditionGroupAndDistance) {
  struct FormCase {
    const char* source;
    std::vector<Op> ops;
    int32_t form;
    Bytes pass_two;
    Bytes final;
  };
  const FormCase cases[] = {
      // Ten bytes ahead (d = 8) and a hundred (d = 0x62).
      {"J +10", {N(0x10A)}, 3, {0xFC, 0x08}, {0xFC, 0x08}},
      {"J +100", {N(0x164)}, 3, {0xFC, 0x62}, {0xFC, 0x62}},
      {"J T,+10", {Cond(cond_t), N(0x10A)}, 0, {0x88}, {0x88}},
      {"J F,+10", {Cond(cond_f), N(0x10A)}, 1, {0xA8}, {0xA8}},
      {"J NZ,+10", {Cond(cond_nz), N(0x10A)}, 2, {0xD9, 0x08}, {0xD9, 0x08}},
      {"J GT,+10", {Cond(cond_gt), N(0x10A)}, 2, {0xDD, 0x08}, {0xDD, 0x08}},
      {"J M,+10", {Cond(cond_m), N(0x10A)}, 4, {0xE8, 0xD0, 0x07}, {0xE8, 0xD0, 0x07}},
      {"J T,+100", {Cond(cond_t), N(0x164)}, 2, {0xDE, 0x62}, {0xDE, 0x62}},
      {"J F,+100", {Cond(cond_f), N(0x164)}, 2, {0xDF, 0x62}, {0xDF, 0x62}},
      {"J CS,+100", {Cond(cond_cs), N(0x164)}, 2, {0xDA, 0x62}, {0xDA, 0x62}},
      {"J VC,+100", {Cond(cond_vc), N(0x164)}, 4, {0xE8, 0xD7, 0x61}, {0xE8, 0xD7, 0x61}},
      // Backward.
      {"J -8", {N(0xF8)}, 3, {0xFC, 0xF6}, {0xFC, 0xF6}},
      {"J T,-8", {Cond(cond_t), N(0xF8)}, 0, {0x96}, {0x96}},
      {"J F,-100", {Cond(cond_f), N(0x9C)}, 2, {0xDF, 0x9A}, {0xDF, 0x9A}},
      {"J SLT,-8", {Cond(cond_slt), N(0xF8)}, 4, {0xE8, 0xD2, 0xF5}, {0xE8, 0xD2, 0xF5}},
      // A thousand bytes ahead: 0x4E8.
      {"J +1000", {N(0x4E8)}, 9, {0xFE, 0xE8, 0x04, 0x00}, {0xFE, 0xE8, 0x04, 0x00}},
      {"J T,+1000", {Cond(cond_t), N(0x4E8)}, 6, {0xA3, 0xFE, 0xE8, 0x04, 0x00},
       {0xA3, 0xFE, 0xE8, 0x04, 0x00}},
      {"J F,+1000", {Cond(cond_f), N(0x4E8)}, 5, {0x83, 0xFE, 0xE8, 0x04, 0x00},
       {0x83, 0xFE, 0xE8, 0x04, 0x00}},
      // The short jump skips the JP on the inverted condition.
      {"J NZ,+1000", {Cond(cond_nz), N(0x4E8)}, 7, {0xD9, 0x04, 0xFE, 0xE8, 0x04, 0x00},
       {0xD8, 0x04, 0xFE, 0xE8, 0x04, 0x00}},
      {"J LE,+1000", {Cond(cond_le), N(0x4E8)}, 7, {0xDC, 0x04, 0xFE, 0xE8, 0x04, 0x00},
       {0xDD, 0x04, 0xFE, 0xE8, 0x04, 0x00}},
      {"J P,+1000", {Cond(cond_p), N(0x4E8)}, 8, {0xE8, 0xD1, 0x04, 0xFE, 0xE8, 0x04, 0x00},
       {0xE8, 0xD0, 0x04, 0xFE, 0xE8, 0x04, 0x00}},
      {"J SGE,-1000", {Cond(cond_sge), N(-0x2E8)}, 8,
       {0xE8, 0xD3, 0x04, 0xFE, 0x18, 0xFD, 0xFF}, {0xE8, 0xD2, 0x04, 0xFE, 0x18, 0xFD, 0xFF}},
  };
  for (const FormCase& c : cases) {
    run->section.kind = section_absolute | section_code;
    std::vector<Op> ops = c.ops;
    ops.back().kind = V_ABSADDR;
    run->build(mn_j, ops);
    run->record->form = 0;
    EXPECT_EQ(choose(1), c.pass_two) << c.source;
    EXPECT_EQ(run->record->form, c.form) << c.source;
    EXPECT_EQ(final_bytes(), c.final) << c.source;
    EXPECT_TRUE(run->reported_codes().empty()) << c.source;
  }
}

TEST_F(GenericJump, ExtendedGroupKeepsItsFormAtTheEdgeOfReach) {
  // 0x182 is d3 = 127 from an extended form but d = 128 from the others.
  run->build(mn_j, {Cond(cond_m), N(0x182).of_kind(V_LOCAL)});
  run->record->form = 4;
  EXPECT_EQ(choose(3), (Bytes{0xE8, 0xD0, 0x7F}));
  run->build(mn_j, {Cond(cond_m), N(0x182).of_kind(V_LOCAL)});
  run->record->form = 2;
  EXPECT_EQ(choose(3).size(), 7u);
  EXPECT_EQ(run->record->form, 8);
}

TEST_F(GenericJump, TargetKindDecidesBetweenMeasuredAndFarForms) {
  struct KindCase {
    const char* source;
    uint32_t kind;
    bool absolute_section;
    std::vector<Op> ops;
    int32_t form;
  };
  const KindCase cases[] = {
      // A plain number always takes the long form, even when near.
      {"J 105h", V_ABS, false, {N(0x105)}, 9},
      {"J Z,105h", V_ABS, false, {Cond(cond_z), N(0x105)}, 7},
      {"J T,105h (absolute section)", V_ABS, true, {Cond(cond_t), N(0x105)}, 6},
      {"J $+5", V_HERE, false, {N(0x105)}, 3},
      {"J F,$+5", V_HERE, false, {Cond(cond_f), N(0x105)}, 1},
      {"J label", V_LOCAL, false, {N(0x105)}, 3},
      {"J other_absolute", V_ABSOTHER, true, {N(0x105)}, 3},
      {"J here-there", V_ABSOTHER, false, {N(0x105)}, 9},
      {"J ext", V_EXPR, false, {N(0)}, 9},
      {"J VS,ext", V_EXPR, false, {Cond(cond_vs), N(0)}, 8},
      {"J ext (absolute section)", V_EXPR, true, {N(0)}, 9},
      {"J invalid", V_INVALID, false, {N(0)}, 9},
  };
  for (const KindCase& c : cases) {
    run->section.kind = c.absolute_section ? section_absolute | section_code : section_code;
    std::vector<Op> ops = c.ops;
    ops.back().kind = c.kind;
    if (c.kind == V_EXPR) ops.back().reloc(24);
    run->build(mn_j, ops);
    choose(1);
    EXPECT_EQ(run->record->form, c.form) << c.source;
  }
}

TEST_F(GenericJump, FarFormOfARelocatableTargetIsAPlainAddressItem) {
  run->build(mn_j, {Cond(cond_nz), N(0x10).reloc(24)});
  EXPECT_EQ(choose(1), (Bytes{0xD9, 0x04, 0xFE, 0x00, 0x00, 0x00}));
  EXPECT_EQ(final_bytes(), (Bytes{0xD8, 0x04, 0xFE, 0x00, 0x00, 0x00}));
  ASSERT_EQ(a.isa.field_count, 1);
  EXPECT_EQ(a.isa.fields[0].offset, 3u);
  EXPECT_EQ(a.isa.fields[0].size, 3u);
  EXPECT_EQ(a.isa.fields[0].kind, FieldTemplate::plain);
  EXPECT_EQ(a.isa.fields[0].expression, 41u);
}

TEST_F(GenericJump, OptionOKeepsForwardLabelsFar) {
  a.run.options |= opt_long_forward_jumps;
  struct OCase {
    const char* source;
    std::vector<Op> ops;
    int32_t form;
  };
  const OCase cases[] = {
      {"J ahead", {N(0x10A).of_kind(V_LOCAL)}, 9},
      {"J T,ahead", {Cond(cond_t), N(0x10A).of_kind(V_LOCAL)}, 6},
      {"J NZ,ahead", {Cond(cond_nz), N(0x10A).of_kind(V_LOCAL)}, 7},
      {"J behind", {N(0xF8).of_kind(V_LOCAL)}, 3},
      {"J T,behind", {Cond(cond_t), N(0xF8).of_kind(V_LOCAL)}, 0},
      {"J here", {N(0x100).of_kind(V_LOCAL)}, 3},  // not above the location: backward
      {"J $+5", {N(0x105).of_kind(V_HERE)}, 3},    // $ is no label
  };
  for (const OCase& c : cases) {
    run->build(mn_j, c.ops);
    choose(1);
    EXPECT_EQ(run->record->form, c.form) << c.source;
  }
}

// --- the target's mark and correction ------------------------------------------

TEST_F(GenericJump, FirstIterationMarksLabelsAlreadyDefinedAgain) {
  Section other;
  Symbol* behind = label("behind", 0xF0, &run->section);
  behind->attributes |= attribute_late_definition;
  Symbol* ahead = label("ahead", 0x140, &run->section);
  Symbol* elsewhere = label("elsewhere", 0x10, &other);
  elsewhere->attributes |= attribute_late_definition;
  Symbol* constant = label("constant", 0xF0, nullptr, kind_equ);
  constant->attributes |= attribute_late_definition;
  struct MarkCase {
    const char* source;
    int32_t mnemonic;
    Symbol* target;
    bool condition;
    bool marked;
  };
  const MarkCase cases[] = {
      {"J behind", mn_j, behind, false, true},
      {"J NZ,behind", mn_j, behind, true, true},
      {"JR behind", mn_jr, behind, false, true},
      {"JRS T,behind", mn_jrs, behind, true, true},
      {"J ahead", mn_j, ahead, false, false},
      {"J elsewhere", mn_j, elsewhere, false, false},
      {"J constant", mn_j, constant, false, false},
      {"JP behind", mn_jp, behind, false, false},
  };
  for (const MarkCase& c : cases) {
    std::vector<Op> ops;
    if (c.condition) ops.push_back(Cond(c.mnemonic == mn_jrs ? cond_t : cond_nz));
    ops.push_back(label_operand(c.target));
    run->build(c.mnemonic, ops);
    start(pass_two);
    a.run.iteration = 0;
    Instruction ins = instruction_view(*run->record);
    prepare_jump_target(a, ins);
    EXPECT_EQ((run->record->marks & mark_backward_target) != 0, c.marked) << c.source;
    EXPECT_FALSE(a.evaluation.forward_jump_target) << c.source;
  }
  // The target made of a label behind plus a constant is still behind.
  run->build(mn_j, {Op{.expression = make_operator(a, op_add, label_operand(behind).expression,
                                                  make_integer_leaf(a, 2))}});
  start(pass_two);
  Instruction ins = instruction_view(*run->record);
  prepare_jump_target(a, ins);
  EXPECT_TRUE(run->record->marks & mark_backward_target);
}

TEST_F(GenericJump, LaterIterationsCorrectUnmarkedTargets) {
  struct CorrectionCase {
    const char* source;
    int32_t mnemonic;
    int32_t form;
    bool marked;
    bool error;
    bool corrected;
  };
  const CorrectionCase cases[] = {
      {"J ahead (form 3)", mn_j, 3, false, false, true},
      {"J ahead (form 0)", mn_j, 0, false, false, true},
      {"J ahead (form 7)", mn_j, 7, false, false, true},
      {"J ahead (form 9)", mn_j, 9, false, false, false},
      {"J behind", mn_j, 3, true, false, false},
      {"J with an error", mn_j, 3, false, true, false},
      {"JR ahead", mn_jr, 2, false, false, true},
      {"JRS T,ahead", mn_jrs, 0, false, false, true},
      {"JP ahead", mn_jp, 0, false, false, false},
  };
  for (const CorrectionCase& c : cases) {
    run->build(c.mnemonic, {N(0x140)});
    run->record->form = c.form;
    run->record->marks = c.marked ? mark_backward_target : 0;
    start(pass_two, c.error);
    a.run.iteration = 2;
    Instruction ins = instruction_view(*run->record);
    prepare_jump_target(a, ins);
    EXPECT_EQ(a.evaluation.forward_jump_target, c.corrected) << c.source;
  }
}

TEST_F(GenericJump, ForwardTargetMovesBackByTheBytesSavedSoFar) {
  // The label was at 0x112 (d = 16) in the previous iteration; the statements
  // re-sized before this one have saved a byte, so it is expected at 0x111
  // (d = 15), in reach of JRS.
  Symbol* ahead = label("ahead", 0x112, &run->section);
  run->section.bytes_saved = 1;
  a.run.iteration = 1;
  run->build(mn_j, {Cond(cond_t), label_operand(ahead)});
  run->record->form = 2;
  start(pass_two);
  instruction_pass_two(a, *run->record);
  EXPECT_EQ(run->operand(1).value, 0x111);
  EXPECT_EQ(run->record->form, 0);
  EXPECT_EQ(a.run.statement_size, 1u);
  EXPECT_FALSE(a.evaluation.forward_jump_target);
  EXPECT_FALSE(a.statement.size_final);
  // A marked statement takes the label where it is.
  run->record->marks = mark_backward_target;
  start(pass_two);
  instruction_pass_two(a, *run->record);
  EXPECT_EQ(run->operand(1).value, 0x112);
  EXPECT_EQ(run->record->form, 2);
  EXPECT_EQ(a.run.statement_size, 2u);
  // So does the final pass.
  run->record->marks = 0;
  start(pass_final);
  instruction_final_pass(a, *run->record);
  EXPECT_EQ(bytes(), (Bytes{0xDE, 0x10}));
}

// Pass 2 sizes J by its form; every other instruction is encoded, and one
// whose size cannot change any more is marked so after the first iteration.
TEST_F(GenericJump, PassTwoSizesAndSizesThatStay) {
  struct SizeCase {
    const char* source;
    int32_t mnemonic;
    std::vector<Op> ops;
    uint32_t sizes[2];  // in the first iteration and in the next
    bool final;
  };
  Symbol* here = label("here", 0x100, &run->section);
  Op direct_here{.syntax_class = class_direct, .expression = label_operand(here).expression};
  const SizeCase cases[] = {
      {"J here", mn_j, {label_operand(here)}, {1, 2}, false},
      {"J 0x2000", mn_j, {leaf(N(0), 0x2000)}, {1, 4}, false},
      {"J SLE,0x2000", mn_j, {Cond(cond_sle), leaf(N(0), 0x2000)}, {1, 7}, false},
      {"LD A,5", mn_ld, {R(reg_a), leaf(N(0), 5)}, {2, 2}, true},
      {"LD A,[0x1234]", mn_ld, {R(reg_a), leaf(Mem(0), 0x1234)}, {4, 4}, true},
      {"LD A,[here]", mn_ld, {R(reg_a), direct_here}, {2, 2}, false},
      {"JR NZ,here", mn_jr, {Cond(cond_nz), label_operand(here)}, {2, 2}, true},
      {"JRS T,here", mn_jrs, {Cond(cond_t), label_operand(here)}, {1, 1}, true},
      {"CALL here", mn_call, {label_operand(here)}, {4, 4}, false},
      {"NOP", mn_nop, {}, {1, 1}, true},
  };
  for (const SizeCase& c : cases) {
    run->build(c.mnemonic, c.ops);
    run->record->form = 0;
    if (c.mnemonic != mn_j) {
      start(pass_one);
      instruction_pass_one(a, *run->record, nullptr);
    }
    for (int32_t iteration : {0, 1}) {
      start(pass_two);
      a.statement.size_final = false;
      a.run.iteration = iteration;
      instruction_pass_two(a, *run->record);
      EXPECT_EQ(a.run.statement_size, c.sizes[iteration]) << c.source << " iteration " << iteration;
      EXPECT_EQ(a.statement.size_final, c.final && iteration == 0) << c.source << " iteration " << iteration;
    }
    EXPECT_TRUE(run->reported_codes().empty()) << c.source;
  }
}

TEST_F(GenericJump, ErroneousJEmitsTheZeroBytesOfItsForm) {
  run->build(mn_j, {Cond(cond_z), R(reg_hl)});
  EXPECT_EQ(first_pass(), std::vector<int>{230});
  start(pass_two, true);
  instruction_pass_two(a, *run->record);
  EXPECT_EQ(bytes(), Bytes{0x00});
}

// --- final pass -----------------------------------------------------------------

TEST(InvertedCondition, EachConditionAndItsOpposite) {
  const int32_t pairs[][2] = {
      {cond_t, cond_f},     {cond_f, cond_t},     {cond_eq, cond_ne},   {cond_z, cond_nz},
      {cond_ne, cond_eq},   {cond_nz, cond_z},    {cond_cs, cond_cc},   {cond_lt, cond_ge},
      {cond_cc, cond_cs},   {cond_ge, cond_lt},   {cond_le, cond_gt},   {cond_gt, cond_le},
      {cond_m, cond_p},     {cond_p, cond_m},     {cond_vs, cond_vc},   {cond_vc, cond_vs},
      {cond_slt, cond_sge}, {cond_sge, cond_slt}, {cond_sle, cond_sgt}, {cond_sgt, cond_sle},
  };
  for (const auto& pair : pairs) {
    EXPECT_EQ(inverted_condition(pair[0]), pair[1]) << pair[0];
    EXPECT_EQ(condition_code(inverted_condition(pair[0])), condition_code(pair[0]) ^ 1) << pair[0];
  }
}

TEST_F(GenericJump, NonConvergedShortFormWarnsAndKeepsTheLowBits) {
  // The last iteration left form 2 for a target that the final pass finds
  // 0x90 ahead.
  run->build(mn_j, {Cond(cond_z), N(0x192).of_kind(V_LOCAL)});
  run->record->form = 2;
  run->operand(0).field_type = field_condition;
  run->operand(1).field_type = field_relative8;
  EXPECT_EQ(final_bytes(), (Bytes{0xD8, 0x90}));
  EXPECT_EQ(run->reported_codes(), std::vector<int>{501});
}

}  // namespace
}  // namespace koral::isa_test
