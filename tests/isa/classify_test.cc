// Operand combinations that no form takes, with their diagnostics; the
// rewriting of PUSH and POP of an 8-bit register; the value rules of the
// shifts, CALLV and LD RBS.
#include <gtest/gtest.h>

#include "isa_test_support.h"

namespace koral::isa_test {
namespace {

struct Refusal {
  const char* source;
  int32_t mnemonic;
  std::vector<Op> ops;
  int code;
};

void PrintTo(const Refusal& c, std::ostream* os) { *os << c.source; }

class Refused : public ::testing::TestWithParam<Refusal> {};

// Refused in pass 1 with exactly one diagnostic; the form index stays 0 and
// the statement later emits the zero bytes of form 0.
TEST_P(Refused, ReportsOnceAndEmitsZeroBytes) {
  const Refusal& c = GetParam();
  auto run = fresh_run();
  Outcome out = run->assemble(c.mnemonic, c.ops);
  EXPECT_FALSE(out.classified) << c.source;
  EXPECT_EQ(out.codes, std::vector<int>{c.code}) << c.source;
  EXPECT_EQ(out.form, 0) << c.source;
  const Form* form0 = find_form(out.mnemonic, 0);
  EXPECT_EQ(out.bytes, std::vector<uint8_t>(static_cast<std::size_t>(form0->opcode_bytes), 0))
      << c.source;
}

INSTANTIATE_TEST_SUITE_P(OperandCount, Refused, ::testing::Values(
    Refusal{"NOP A", mn_nop, {R(reg_a)}, 231},
    Refusal{"SWAP", mn_swap, {}, 231},
    Refusal{"MUL W", mn_mul, {R(reg_w)}, 231},
    Refusal{"DIV WA", mn_div, {R(reg_wa)}, 231},
    Refusal{"PUSH", mn_push, {}, 231},
    Refusal{"PUSH A,B", mn_push, {R(reg_a), R(reg_b)}, 231},
    Refusal{"CLR", mn_clr, {}, 231},
    Refusal{"LD A", mn_ld, {R(reg_a)}, 231},
    Refusal{"INC A,B", mn_inc, {R(reg_a), R(reg_b)}, 231},
    Refusal{"LDW [HL]", mn_ldw, {Ind(reg_hl)}, 231},
    Refusal{"ADD A", mn_add, {R(reg_a)}, 231},
    Refusal{"JR", mn_jr, {}, 231},
    Refusal{"CALLV", mn_callv, {}, 231},
    Refusal{"CALL 1,2", mn_call, {N(1), N(2)}, 231},
    Refusal{"ROLD A", mn_rold, {R(reg_a)}, 231},
    Refusal{"XCH A", mn_xch, {R(reg_a)}, 231},
    Refusal{"SHLC A", mn_shlc, {R(reg_a)}, 231},
    Refusal{"NEG HL", mn_neg, {R(reg_hl)}, 231}));

INSTANTIATE_TEST_SUITE_P(Registers, Refused, ::testing::Values(
    Refusal{"SWAP HL", mn_swap, {R(reg_hl)}, 230},
    Refusal{"SWAP A.3", mn_swap, {R(reg_a).b(3)}, 230},
    Refusal{"MUL A,W", mn_mul, {R(reg_a), R(reg_w)}, 230},
    Refusal{"MUL W,C", mn_mul, {R(reg_w), R(reg_c)}, 230},
    Refusal{"DIV BC,C", mn_div, {R(reg_bc), R(reg_c)}, 230},
    Refusal{"DIV HL,B", mn_div, {R(reg_hl), R(reg_b)}, 230},
    Refusal{"PUSH SP", mn_push, {R(reg_sp)}, 230},
    Refusal{"POP SP", mn_pop, {R(reg_sp)}, 230},
    Refusal{"PUSH CF", mn_push, {R(reg_cf)}, 230},
    Refusal{"POP 5", mn_pop, {N(5)}, 230},
    Refusal{"XCH A,HL", mn_xch, {R(reg_a), R(reg_hl)}, 230},
    Refusal{"XCH [HL],A", mn_xch, {Ind(reg_hl), R(reg_a)}, 230},
    Refusal{"NEG CS,A", mn_neg, {Cond(cond_cs), R(reg_a)}, 230},
    Refusal{"NEG Z,HL", mn_neg, {Cond(cond_z), R(reg_hl)}, 230},
    Refusal{"ROLD A,A", mn_rold, {R(reg_a), R(reg_a)}, 230},
    Refusal{"ROLD B,[HL]", mn_rold, {R(reg_b), Ind(reg_hl)}, 230},
    Refusal{"CALL A", mn_call, {R(reg_a)}, 230},
    Refusal{"SHLCA A,1", mn_shlca, {R(reg_a), N(1)}, 230},
    Refusal{"SHLC HL,1", mn_shlc, {R(reg_hl), N(1)}, 230},
    Refusal{"SHLC A,B", mn_shlc, {R(reg_a), R(reg_b)}, 230}));

INSTANTIATE_TEST_SUITE_P(BitOperands, Refused, ::testing::Values(
    Refusal{"TEST CF", mn_test, {R(reg_cf)}, 230},
    Refusal{"CLR CF.1", mn_clr, {R(reg_cf).b(1)}, 230},
    Refusal{"CLR B", mn_clr, {R(reg_b)}, 230},
    Refusal{"CLR [HL]", mn_clr, {Ind(reg_hl)}, 230},
    Refusal{"CLR [HL].B", mn_clr, {Ind(reg_hl).bit_register()}, 230},
    Refusal{"SET [SP-].1", mn_set, {PushForm().b(1)}, 230},
    Refusal{"ADD CF,B.3", mn_add, {R(reg_cf), R(reg_b).b(3)}, 230},
    Refusal{"XOR CF,B", mn_xor, {R(reg_cf), R(reg_b)}, 230},
    Refusal{"XOR CF.1,B.2", mn_xor, {R(reg_cf).b(1), R(reg_b).b(2)}, 230},
    Refusal{"XOR CF,[HL].A", mn_xor, {R(reg_cf), Ind(reg_hl).bit_a()}, 230},
    Refusal{"ADD A.1,B", mn_add, {R(reg_a).b(1), R(reg_b)}, 230},
    Refusal{"LD CF,[HL].B", mn_ld, {R(reg_cf), Ind(reg_hl).bit_register()}, 230},
    Refusal{"LD CF,B", mn_ld, {R(reg_cf), R(reg_b)}, 230},
    Refusal{"LD A.3,B", mn_ld, {R(reg_a).b(3), R(reg_b)}, 230},
    Refusal{"LD [HL].A,B", mn_ld, {Ind(reg_hl).bit_a(), R(reg_b)}, 230},
    Refusal{"LD [HL].B,CF", mn_ld, {Ind(reg_hl).bit_register(), R(reg_cf)}, 230},
    Refusal{"LD [HL],A.3", mn_ld, {Ind(reg_hl), R(reg_a).b(3)}, 230},
    Refusal{"LD [SP-].1,CF", mn_ld, {PushForm().b(1), R(reg_cf)}, 230},
    Refusal{"CALLV 3.1", mn_callv, {N(3).b(1)}, 230}));

INSTANTIATE_TEST_SUITE_P(Memory, Refused, ::testing::Values(
    Refusal{"LD [PC+A],A", mn_ld, {Pair(reg_pc, reg_a), R(reg_a)}, 230},
    Refusal{"INC [SP-]", mn_inc, {PushForm()}, 230},
    Refusal{"LD A,[SP-]", mn_ld, {R(reg_a), PushForm()}, 230},
    Refusal{"LD [+SP],A", mn_ld, {PopForm(), R(reg_a)}, 230},
    Refusal{"LD A,[WA]", mn_ld, {R(reg_a), Ind(reg_wa)}, 230},
    Refusal{"LD A,[BC]", mn_ld, {R(reg_a), Ind(reg_bc)}, 230},
    Refusal{"LD A,[IZ]", mn_ld, {R(reg_a), Ind(reg_iz)}, 230},
    Refusal{"LD A,[BC+2]", mn_ld, {R(reg_a), Idx(reg_bc, 2)}, 230},
    Refusal{"LD A,[HL+B]", mn_ld, {R(reg_a), Pair(reg_hl, reg_b)}, 230},
    Refusal{"LD A,[IX+C]", mn_ld, {R(reg_a), Pair(reg_ix, reg_c)}, 230},
    Refusal{"LD A,[-HL]", mn_ld, {R(reg_a), Other(class_pre_decrement, reg_hl)}, 230},
    Refusal{"LD A,[HL+]", mn_ld, {R(reg_a), Other(class_post_increment, reg_hl)}, 230},
    Refusal{"LD A,[HL-]", mn_ld, {R(reg_a), Other(class_push, reg_hl)}, 230},
    Refusal{"LD A,[+HL]", mn_ld, {R(reg_a), Other(class_pop, reg_hl)}, 230},
    Refusal{"LD A,-HL", mn_ld, {R(reg_a), Other(class_minus_register, reg_hl)}, 230},
    Refusal{"LD A,HL+", mn_ld, {R(reg_a), Other(class_register_plus, reg_hl)}, 230},
    Refusal{"LD HL,HL+DE", mn_ld, {R(reg_hl), Other(class_register_plus_register, reg_hl)}, 230},
    Refusal{"LD HL,SP+2", mn_ld, {R(reg_hl), SpPlus(2)}, 230},
    Refusal{"LD 5,A", mn_ld, {N(5), R(reg_a)}, 230},
    Refusal{"LD NZ,A", mn_ld, {Cond(cond_nz), R(reg_a)}, 230},
    Refusal{"LD PC,HL", mn_ld, {R(reg_pc), R(reg_hl)}, 230},
    Refusal{"LDW [DE],1234h", mn_ldw, {Ind(reg_de), N(0x1234)}, 230},
    Refusal{"LDW [20h],B", mn_ldw, {Mem(0x20), R(reg_b)}, 230},
    Refusal{"LDW [1234h],1", mn_ldw, {Mem(0x1234), N(1)}, 230},
    Refusal{"ADD [SP-],1", mn_add, {PushForm(), N(1)}, 230},
    Refusal{"ADD [HL],B", mn_add, {Ind(reg_hl), R(reg_b)}, 230},
    Refusal{"ADD 5,1", mn_add, {N(5), N(1)}, 230},
    Refusal{"ROLD A,B", mn_rold, {R(reg_a), R(reg_b)}, 230},
    // A value declared wider than the field does not fit it.
    Refusal{"LD B,5:16", mn_ld, {R(reg_b), N(5).wide(16)}, 230},
    Refusal{"LD PSW,B", mn_ld, {R(reg_psw), R(reg_b)}, 230}));

INSTANTIATE_TEST_SUITE_P(Jumps, Refused, ::testing::Values(
    Refusal{"JRS NZ,target", mn_jrs, {Cond(cond_nz), N(0x110)}, 230},
    Refusal{"JRS 110h", mn_jrs, {N(0x110)}, 230},
    Refusal{"JR NZ", mn_jr, {Cond(cond_nz)}, 230},
    Refusal{"JR HL", mn_jr, {R(reg_hl)}, 230},
    Refusal{"JR 110h,NZ", mn_jr, {N(0x110), Cond(cond_nz)}, 230},
    Refusal{"JR NZ,[HL]", mn_jr, {Cond(cond_nz), Ind(reg_hl)}, 230},
    Refusal{"JP NZ", mn_jp, {Cond(cond_nz)}, 230},
    Refusal{"JP [SP-]", mn_jp, {PushForm()}, 230}));

TEST(RbsLoad, OnlyFromModelLevelOne) {
  for (int32_t level : {0, 1, 2, 3}) {
    auto run = fresh_run();
    run->a.settings.model_level = level;
    Outcome out = run->assemble(mn_ld, {R(reg_rbs), N(1)});
    if (level == 0) {
      EXPECT_EQ(out.codes, std::vector<int>{230});
    } else {
      EXPECT_TRUE(out.codes.empty()) << level;
      EXPECT_EQ(out.bytes, (std::vector<uint8_t>{0xF9, 0x02})) << level;
    }
  }
  auto run = fresh_run();
  EXPECT_EQ(run->assemble(mn_ld, {R(reg_rbs), N(2)}).codes, std::vector<int>{230});
  run = fresh_run();
  EXPECT_EQ(run->assemble(mn_ld, {R(reg_rbs), R(reg_a)}).codes, std::vector<int>{230});
}

TEST(PswLoad, AnErrorAlreadyReportedIsNotFollowedBy230) {
  auto run = fresh_run();
  Instruction ins = run->build(mn_ld, {R(reg_psw), R(reg_a)});
  run->a.run.pass = pass_one;
  begin_statement_marks(run->a);
  report_error(run->a, 221);
  EXPECT_FALSE(classify_instruction(run->a, ins, nullptr));
  EXPECT_EQ(run->reported_codes(), std::vector<int>{221});
}

TEST(PushPop, EightBitRegisterBecomesLoadWithAStackOperand) {
  auto run = fresh_run();
  Outcome out = run->assemble(mn_push, {R(reg_b)});
  EXPECT_EQ(out.mnemonic, mn_ld);
  EXPECT_EQ(out.form, 22);
  EXPECT_EQ(out.bytes, (std::vector<uint8_t>{0xF6, 0x7B}));
  // The record now reads as LD [SP-],B through its own offsets.
  Instruction ins = instruction_view(*run->record);
  ASSERT_EQ(ins.count, 2);
  EXPECT_EQ(ins.operand[0]->syntax_class, class_push);
  EXPECT_EQ(ins.operand[0]->reg, reg_sp);
  EXPECT_EQ(ins.operand[0]->addressing_mode, 13);
  EXPECT_EQ(ins.operand[0]->field_type, field_memory);
  EXPECT_EQ(ins.operand[1]->reg, reg_b);
  EXPECT_EQ(ins.operand[1]->field_type, field_register8);

  run = fresh_run();
  out = run->assemble(mn_pop, {R(reg_e)});
  EXPECT_EQ(out.mnemonic, mn_ld);
  EXPECT_EQ(out.form, 18);
  EXPECT_EQ(out.bytes, (std::vector<uint8_t>{0xE6, 0x44}));
  ins = instruction_view(*run->record);
  ASSERT_EQ(ins.count, 2);
  EXPECT_EQ(ins.operand[0]->reg, reg_e);
  EXPECT_EQ(ins.operand[1]->syntax_class, class_pop);
  EXPECT_EQ(ins.operand[1]->addressing_mode, 12);
}

TEST(PushPop, RecordSurvivesAMoveOfTheBody) {
  auto run = fresh_run();
  run->assemble(mn_push, {R(reg_h)});
  // The body is copied elsewhere, as the token file does between passes.
  alignas(8) unsigned char moved[sizeof run->body];
  std::memcpy(moved, run->body, sizeof moved);
  Instruction ins = instruction_view(*reinterpret_cast<InstructionRecord*>(moved));
  run->a.run.pass = pass_two;
  begin_statement_marks(run->a);
  EXPECT_TRUE(classify_instruction(run->a, ins, nullptr));
  begin_encoding(run->a);
  encode_instruction(run->a, ins);
  EXPECT_EQ(std::vector<uint8_t>(run->a.code.bytes, run->a.code.bytes + run->a.code.count),
            (std::vector<uint8_t>{0xF6, 0x7F}));
}

// The shift count out of the register's range: error 290, the form stays.
TEST(Shifts, CountOutOfRangeKeepsTheForm) {
  struct ShiftCase {
    int32_t mnemonic;
    int32_t reg;
    int32_t count;
    bool refused;
  };
  const ShiftCase cases[] = {
      {mn_shlc, reg_a, 7, false},   {mn_shlc, reg_a, 8, true},     {mn_shrc, reg_b, -1, true},
      {mn_shlca, reg_ix, 23, false}, {mn_shlca, reg_ix, 24, true}, {mn_shrca, reg_sp, 23, false},
      {mn_shlca, reg_hl, 15, false}, {mn_shlca, reg_hl, 16, true}, {mn_shrca, reg_wa, 16, true},
  };
  for (const ShiftCase& c : cases) {
    auto run = fresh_run();
    Outcome out = run->assemble(c.mnemonic, {R(c.reg), N(c.count)});
    EXPECT_TRUE(out.classified);
    EXPECT_EQ(out.form, 0);
    EXPECT_EQ(run->operand(1).field_type, field_byte);
    if (c.refused) {
      EXPECT_EQ(out.codes, std::vector<int>{290}) << c.mnemonic << " " << c.count;
      EXPECT_EQ(out.bytes, (std::vector<uint8_t>{0x00, 0x00}));
    } else {
      EXPECT_TRUE(out.codes.empty()) << c.mnemonic << " " << c.count;
    }
  }
}

TEST(Callv, InvalidVectorIsError300InPassTwo) {
  struct CallvCase {
    int32_t level;
    Op operand;
  };
  const CallvCase cases[] = {
      {1, N(0xFFC2)},           // level 0's table
      {0, N(0xFFA2)},           // level 1's table
      {2, N(0xFFA2)},
      {1, N(0xFFA1)},           // odd
      {1, N(0xFFC0)},           // past the table's end
      {1, N(16)},
      {1, N(-1)},
      {1, N(0xE0)},
      {1, R(reg_a)},
      {1, N(0).reloc(24)},      // a 24-bit vector only from level 2
      {3, N(0).reloc(4)},       // fewer than 8 bits
  };
  for (const CallvCase& c : cases) {
    auto run = fresh_run();
    run->a.settings.model_level = c.level;
    Outcome out = run->assemble(mn_callv, {c.operand});
    EXPECT_EQ(out.codes, std::vector<int>{300}) << std::hex << c.operand.value;
    EXPECT_EQ(out.form, 0);
    EXPECT_EQ(out.bytes, std::vector<uint8_t>{0x00});
  }
  for (int32_t level : {0, 1, 2, 3}) {
    auto run = fresh_run();
    run->a.settings.model_level = level;
    Outcome out = run->assemble(mn_callv, {N(0).reloc(16)});
    EXPECT_TRUE(out.codes.empty()) << level;
    run = fresh_run();
    run->a.settings.model_level = level;
    out = run->assemble(mn_callv, {N(0).reloc(24)});
    EXPECT_EQ(out.codes.empty(), level >= 2) << level;
  }
}

TEST(Callv, PassOneLeavesTheVectorAlone) {
  auto run = fresh_run();
  Instruction ins = run->build(mn_callv, {N(0xFFA2)});
  run->a.run.pass = pass_one;
  begin_statement_marks(run->a);
  EXPECT_TRUE(classify_instruction(run->a, ins, nullptr));
  EXPECT_EQ(ins.operand[0]->value, 0xFFA2);
  run->a.run.pass = pass_two;
  EXPECT_TRUE(classify_instruction(run->a, ins, nullptr));
  EXPECT_EQ(ins.operand[0]->value, 1);
  EXPECT_EQ(ins.operand[0]->field_type, field_immediate4);
}

// The families whose form depends on values are the ones classified again.
TEST(PassTwo, ReclassifiedFamilies) {
  const int32_t again[] = {mn_clr, mn_set, mn_cpl, mn_test, mn_ld, mn_inc, mn_dec, mn_addc, mn_cmp,
                           mn_jrs, mn_jr, mn_callv, mn_call, mn_jp, mn_rold, mn_rord, mn_xch};
  const int32_t kept[] = {mn_nop, mn_swap, mn_shlc, mn_shrca, mn_mul, mn_div, mn_push, mn_pop,
                          mn_ldw, mn_neg};
  for (int32_t m : again) EXPECT_TRUE(reclassified_in_pass_two(find_mnemonic(m)->family)) << m;
  for (int32_t m : kept) EXPECT_FALSE(reclassified_in_pass_two(find_mnemonic(m)->family)) << m;
}

// A forward reference is short in pass 1 and may grow in pass 2.
TEST(PassTwo, DirectAddressModeFollowsTheValue) {
  auto run = fresh_run();
  Instruction ins = run->build(mn_ld, {R(reg_a), Mem(0).reloc(8)});
  run->a.run.pass = pass_one;
  begin_statement_marks(run->a);
  ASSERT_TRUE(classify_instruction(run->a, ins, nullptr));
  EXPECT_EQ(ins.record->form, 2);
  store_widths(*ins.operand[1], 0, 16, 16, 16);
  run->a.run.pass = pass_two;
  ASSERT_TRUE(classify_instruction(run->a, ins, nullptr));
  EXPECT_EQ(ins.record->form, 18);
  EXPECT_EQ(ins.operand[1]->addressing_mode, 2);
}

}  // namespace
}  // namespace koral::isa_test
