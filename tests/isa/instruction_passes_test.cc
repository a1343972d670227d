// An instruction statement through pass 1, pass 2 and the final pass, with
// its operands as expression trees that the evaluator turns into values.
#include <gtest/gtest.h>

#include "expr/expression.h"
#include "isa/instruction.h"
#include "isa_test_support.h"

namespace koral::isa_test {
namespace {

class Passes : public ::testing::Test {
 protected:
  Passes() : run(fresh_run()), a(run->a) { a.run.options |= opt_no_object; }

  // An operand whose value comes from a tree.
  Op leaf(Op op, int32_t value) {
    op.expression = make_integer_leaf(a, value);
    return op;
  }

  // The marks a statement starts with in a later pass: its record's error flag.
  void start(int32_t pass, bool record_error) {
    a.run.pass = pass;
    begin_statement_marks(a);
    a.diag.error_mark = record_error;
  }

  std::vector<uint8_t> bytes() const { return {a.code.bytes, a.code.bytes + a.code.count}; }

  // Runs the statement built last through the three passes; returns whether
  // pass 1 or 2 reported an error (the record's flag).
  bool all_passes() {
    start(pass_one, false);
    current = run.get();
    instruction_pass_one(a, *run->record, &Passes::allocate);
    EXPECT_EQ(a.run.statement_size, 0u);
    bool error = a.diag.error_mark;
    start(pass_two, error);
    instruction_pass_two(a, *run->record);
    pass_two_bytes = bytes();
    EXPECT_EQ(a.run.statement_size, pass_two_bytes.size());
    error = error || a.diag.error_mark;
    start(pass_final, error);
    instruction_final_pass(a, *run->record);
    EXPECT_EQ(a.run.statement_size, pass_two_bytes.size());
    return error;
  }

  static OperandRecord* allocate(Assembly&) {
    OperandRecord* rec = current->allocate_operand();
    std::memset(rec, 0, sizeof *rec);
    return rec;
  }
  static inline IsaRun* current = nullptr;

  std::unique_ptr<IsaRun> run;
  Assembly& a;
  std::vector<uint8_t> pass_two_bytes;
};

TEST_F(Passes, ImmediateLoadIsSizedInPassTwoAndEncodedAgainInTheFinalPass) {
  run->build(mn_ld, {R(reg_a), leaf(N(0), 5)});
  EXPECT_FALSE(all_passes());
  EXPECT_EQ(pass_two_bytes, (std::vector<uint8_t>{0x18, 0x05}));
  EXPECT_EQ(bytes(), (std::vector<uint8_t>{0x18, 0x05}));
  EXPECT_TRUE(run->reported_codes().empty());
}

TEST_F(Passes, DirectAddressOfEachWidth) {
  struct WidthCase {
    int32_t address;
    std::vector<uint8_t> bytes;
  };
  const WidthCase cases[] = {
      {0x80, {0x0C, 0x80}},
      {0x1234, {0xE1, 0x34, 0x12, 0x40}},
      {0x12345, {0x6D, 0x45, 0x23, 0x01, 0x40}},
  };
  for (const WidthCase& c : cases) {
    run->build(mn_ld, {R(reg_a), leaf(Mem(0), c.address)});
    EXPECT_FALSE(all_passes());
    EXPECT_EQ(bytes(), c.bytes) << std::hex << c.address;
  }
}

TEST_F(Passes, OutsideAnySectionNothingIsGenerated) {
  a.run.section = nullptr;
  run->build(mn_nop, {});
  start(pass_one, false);
  instruction_pass_one(a, *run->record, nullptr);
  EXPECT_EQ(run->reported_codes(), std::vector<int>{215});
  start(pass_two, true);
  instruction_pass_two(a, *run->record);
  EXPECT_EQ(a.run.statement_size, 0u);
  EXPECT_EQ(a.code.count, 0u);
  EXPECT_EQ(run->reported_codes(), std::vector<int>{215});
}

TEST_F(Passes, Error215IsNotRepeatedAfterTheGrammarReportedIt) {
  a.run.section = nullptr;
  run->build(mn_nop, {});
  start(pass_one, false);
  report_error(a, 215);
  instruction_pass_one(a, *run->record, nullptr);
  EXPECT_EQ(run->reported_codes(), std::vector<int>{215});
}

TEST_F(Passes, NonCodeSectionWarnsAndStillAssembles) {
  run->section.kind = section_data;
  run->build(mn_inc, {R(reg_b)});
  EXPECT_FALSE(all_passes());
  EXPECT_EQ(bytes(), std::vector<uint8_t>{0x23});
  EXPECT_EQ(run->reported_codes(), std::vector<int>{504});
}

TEST_F(Passes, ErroneousStatementEmitsZeroBytesOfItsForm) {
  run->build(mn_mul, {R(reg_a), R(reg_w)});
  EXPECT_TRUE(all_passes());
  EXPECT_EQ(pass_two_bytes, (std::vector<uint8_t>{0x00, 0x00}));
  EXPECT_EQ(bytes(), (std::vector<uint8_t>{0x00, 0x00}));
  EXPECT_EQ(run->reported_codes(), std::vector<int>{230});
}

TEST_F(Passes, CallvVectorIsNotEvaluatedAgainInTheFinalPass) {
  a.settings.model_level = 0;
  run->build(mn_callv, {leaf(N(0), 0xFFC2)});
  EXPECT_FALSE(all_passes());
  EXPECT_EQ(run->operand(0).value, 1);
  EXPECT_EQ(bytes(), std::vector<uint8_t>{0x71});
}

TEST_F(Passes, CallvOfAnotherLevelsTableIsError300) {
  a.settings.model_level = 1;
  run->build(mn_callv, {leaf(N(0), 0xFFC2)});
  EXPECT_TRUE(all_passes());
  EXPECT_EQ(bytes(), std::vector<uint8_t>{0x00});
  EXPECT_EQ(run->reported_codes(), std::vector<int>{300});
}

TEST_F(Passes, PushOfAnEightBitRegisterIsLoadFromPassOneOn) {
  run->build(mn_push, {R(reg_a)});
  EXPECT_FALSE(all_passes());
  EXPECT_EQ(run->record->mnemonic, mn_ld);
  EXPECT_EQ(bytes(), (std::vector<uint8_t>{0xF6, 0x78}));
}

TEST_F(Passes, FloatingOperandIsTruncated) {
  Op two_and_a_half = N(0);
  two_and_a_half.expression = make_floating_leaf(a, 2.5, 0, 0);
  run->build(mn_ld, {R(reg_a), two_and_a_half});
  EXPECT_FALSE(all_passes());
  EXPECT_EQ(bytes(), (std::vector<uint8_t>{0x18, 0x02}));
}

TEST_F(Passes, BitNumberKeepsItsLowThreeBits) {
  Op register_b = R(reg_b).b(0);
  register_b.bit_expression = make_integer_leaf(a, 9);
  run->build(mn_clr, {register_b});
  EXPECT_FALSE(all_passes());
  EXPECT_EQ(bytes(), (std::vector<uint8_t>{0xEB, 0xC9}));
  EXPECT_EQ(run->reported_codes(), std::vector<int>{501});
}

TEST_F(Passes, ErrorOfTheFinalPassKeepsTheSize) {
  Op quotient = N(0);
  quotient.expression = make_operator(a, op_divide, make_integer_leaf(a, 7), make_integer_leaf(a, 0));
  run->build(mn_ld, {R(reg_a), quotient});
  EXPECT_FALSE(all_passes());
  EXPECT_EQ(bytes(), (std::vector<uint8_t>{0x18, 0x00}));
  EXPECT_EQ(run->reported_codes(), std::vector<int>{201});
}

TEST_F(Passes, RelativeJumpInAnAbsoluteSection) {
  run->section.kind = section_absolute | section_code;
  run->build(mn_jr, {Cond(cond_nz), leaf(N(0), 0x110)});
  EXPECT_FALSE(all_passes());
  EXPECT_EQ(bytes(), (std::vector<uint8_t>{0xD9, 0x0E}));
  run->build(mn_jrs, {Cond(cond_t), leaf(N(0), 0x120)});
  EXPECT_FALSE(all_passes());
  EXPECT_EQ(bytes(), std::vector<uint8_t>{0x80});
  EXPECT_EQ(run->reported_codes(), std::vector<int>{227});
}

}  // namespace
}  // namespace koral::isa_test
