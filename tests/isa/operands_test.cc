// Memory classification, range bounds and range checks of operands.
#include <gtest/gtest.h>

#include "isa_test_support.h"

namespace koral::isa_test {
namespace {

struct ModeCase {
  const char* source;
  Op operand;
  int32_t source_mode;
  int32_t destination_mode;
};

TEST(MemoryMode, SourceAndDestinationCodes) {
  const ModeCase cases[] = {
      {"[20h]", Mem(0x20), 0, 1},
      {"[0FFh]", Mem(0xFF), 0, 1},
      {"[-256]", Mem(-256), 0, 1},
      {"[-257]", Mem(-257), 2, 3},
      {"[100h]", Mem(0x100), 2, 3},
      {"[0FFFFh]", Mem(0xFFFF), 2, 3},
      {"[-65536]", Mem(-65536), 2, 3},
      {"[10000h]", Mem(0x10000), 30, 31},
      {"[0FFFFFFh]", Mem(0xFFFFFF), 30, 31},
      {"[1000000h]", Mem(0x1000000), 2, 3},  // fits no width: the 16-bit form, out of range
      {"[80h:16]", Mem(0x80).wide(16), 2, 3},
      {"[80h:24]", Mem(0x80).wide(24), 30, 31},
      {"[ext] 8 bits", Mem(0).reloc(8), 0, 1},
      {"[ext] 16 bits", Mem(0).reloc(16), 2, 3},
      {"[ext] 24 bits", Mem(0).reloc(24), 30, 31},
      {"[ext] 32 bits", Mem(0).reloc(32), 2, 3},
      {"[DE]", Ind(reg_de), 4, 5},
      {"[HL]", Ind(reg_hl), 6, 7},
      {"[IX]", Ind(reg_ix), 8, 9},
      {"[IY]", Ind(reg_iy), 10, 11},
      {"[+SP]", PopForm(), 12, 12},
      {"[SP-]", PushForm(), 13, 13},
      {"[HL+C]", Pair(reg_hl, reg_c), 14, 15},
      {"[IX+1]", Idx(reg_ix, 1), 16, 17},
      {"[IY-1]", Idx(reg_iy, -1), 18, 19},
      {"[SP+0]", Idx(reg_sp, 0), 20, 21},
      {"[HL+3]", Idx(reg_hl, 3), 22, 23},
      {"[PC+A]", Pair(reg_pc, reg_a), 24, 24},
      {"[IZ+C]", Pair(reg_iz, reg_c), 26, 27},
      {"[IZ+2]", Idx(reg_iz, 2), 28, 29},
      {"[WA]", Ind(reg_wa), not_memory, not_memory},
      {"[SP]", Ind(reg_sp), not_memory, not_memory},
      {"[IX+HL]", Pair(reg_ix, reg_hl), not_memory, not_memory},
      {"[DE+1]", Idx(reg_de, 1), not_memory, not_memory},
      {"[+HL]", PopForm(reg_hl), not_memory, not_memory},
      {"[HL-]", PushForm(reg_hl), not_memory, not_memory},
      {"[HL+]", Other(class_post_increment, reg_hl), not_memory, not_memory},
      {"[-HL]", Other(class_pre_decrement, reg_hl), not_memory, not_memory},
      {"HL", R(reg_hl), not_memory, not_memory},
      {"5", N(5), not_memory, not_memory},
  };
  for (const ModeCase& c : cases) {
    auto run = fresh_run();
    Instruction ins = run->build(mn_ld, {c.operand});
    EXPECT_EQ(memory_mode(run->a, mn_ld, *ins.operand[0], false), c.source_mode) << c.source;
    EXPECT_EQ(memory_mode(run->a, mn_ld, *ins.operand[0], true), c.destination_mode) << c.source;
  }
}

TEST(MemoryMode, LdwTakesAnyRelocatableAddressAsShort) {
  auto run = fresh_run();
  Instruction ins = run->build(mn_ldw, {Mem(0).reloc(16)});
  EXPECT_EQ(memory_mode(run->a, mn_ldw, *ins.operand[0], false), 0);
  EXPECT_EQ(memory_mode(run->a, mn_ld, *ins.operand[0], false), 2);
  EXPECT_TRUE(is_short_direct(run->a, mn_ldw, *ins.operand[0]));
}

TEST(RangeBounds, BySignedness) {
  struct BoundCase {
    int bits;
    Signedness signedness;
    bool stack;
    int64_t low, high;
  };
  const BoundCase cases[] = {
      {4, signed_range, false, 0, 15},          {5, signed_range, false, -16, 15},
      {8, signed_range, false, -128, 127},      {16, signed_range, false, -32768, 32767},
      {24, signed_range, false, -8388608, 8388607},
      {32, signed_range, false, INT32_MIN, INT32_MAX},
      {8, either_range, false, -256, 255},      {8, either_range, true, -255, 255},
      {16, either_range, false, -65536, 65535}, {24, either_range, false, -16777216, 16777215},
      {1, unsigned_range, false, 0, 1},         {4, unsigned_range, false, 0, 15},
      {5, unsigned_range, false, 0, 31},        {8, unsigned_range, false, 0, 255},
      {16, unsigned_range, false, 0, 65535},    {24, unsigned_range, false, 0, 16777215},
      {32, unsigned_range, false, INT32_MIN, INT32_MAX},
  };
  for (const BoundCase& c : cases) {
    int64_t low = 1, high = 0;
    range_bounds(c.bits, c.signedness, c.stack, low, high);
    EXPECT_EQ(low, c.low) << c.bits << " " << c.signedness;
    EXPECT_EQ(high, c.high) << c.bits << " " << c.signedness;
  }
}

TEST(RangeCheck, OutOfRangeFitsBeforeTheFinalPassWithOverflow) {
  auto run = fresh_run();
  Instruction ins = run->build(mn_ld, {N(300), N(0).reloc(16)});
  for (int32_t pass : {pass_one, pass_two}) {
    run->a.run.pass = pass;
    for (int i = 0; i < 2; ++i) {
      RangeResult r = range_check(run->a, mn_ld, *ins.operand[i], 8, either_range, true);
      EXPECT_TRUE(r.fits) << i;
      EXPECT_TRUE(r.overflow) << i;
    }
  }
  EXPECT_TRUE(run->reported_codes().empty());
}

TEST(RangeCheck, DeclaredWidthAndRelocatableWidth) {
  auto run = fresh_run();
  Instruction ins = run->build(mn_ld, {N(5).wide(16), N(0).reloc(16)});
  OperandRecord& declared = *ins.operand[0];
  OperandRecord& relocatable = *ins.operand[1];
  EXPECT_FALSE(range_check(run->a, mn_ld, declared, 8, either_range, false).fits);
  EXPECT_TRUE(range_check(run->a, mn_ld, declared, 16, either_range, false).fits);
  EXPECT_TRUE(range_check(run->a, mn_ld, declared, 24, either_range, false).fits);
  EXPECT_FALSE(range_check(run->a, mn_ld, relocatable, 16, either_range, false).overflow);
  EXPECT_TRUE(range_check(run->a, mn_ld, relocatable, 8, either_range, false).overflow);
  // A relocatable 4-bit field always fits; a 5-bit one never does.
  EXPECT_TRUE(range_check(run->a, mn_callv, relocatable, 4, either_range, false).fits);
  EXPECT_FALSE(range_check(run->a, mn_jrs, relocatable, 5, signed_range, false).fits);
}

TEST(RangeCheck, FinalPassReports227ForRelativeJumpsElse501Once) {
  auto run = fresh_run();
  Instruction ins = run->build(mn_ld, {N(300), N(-300)});
  run->a.run.pass = pass_final;
  begin_statement_marks(run->a);
  EXPECT_TRUE(range_check(run->a, mn_ld, *ins.operand[0], 8, either_range, true).fits);
  EXPECT_TRUE(range_check(run->a, mn_ld, *ins.operand[1], 8, either_range, true).fits);
  EXPECT_EQ(run->reported_codes(), std::vector<int>{501});

  run = fresh_run();
  run->a.run.pass = pass_final;
  begin_statement_marks(run->a);
  EXPECT_FALSE(range_check_value(run->a, mn_jr, 128, 8, signed_range, true).fits);
  EXPECT_TRUE(range_check_value(run->a, mn_jr, 127, 8, signed_range, true).fits);
  EXPECT_TRUE(range_check_value(run->a, mn_j, -17, 5, signed_range, true).fits);
  EXPECT_EQ(run->reported_codes(), (std::vector<int>{227, 501}));
}

TEST(InstructionView, FollowsTheOffsets) {
  auto run = fresh_run();
  Instruction ins = run->build(mn_ld, {R(reg_a), N(7)});
  ASSERT_EQ(ins.count, 2);
  EXPECT_EQ(ins.operand[0]->reg, reg_a);
  EXPECT_EQ(ins.operand[1]->value, 7);
  EXPECT_EQ(instruction_view(*run->record).count, 2);
  ins = run->build(mn_nop, {});
  EXPECT_EQ(ins.count, 0);
}

TEST(Widths, KeptPerSignedness) {
  OperandRecord op{};
  store_widths(op, 16, 10, 9, 11);
  EXPECT_EQ(declared_width_of(op), 16);
  EXPECT_EQ(relocatable_width_of(op, signed_range), 10);
  EXPECT_EQ(relocatable_width_of(op, unsigned_range), 9);
  EXPECT_EQ(relocatable_width_of(op, either_range), 11);
}

}  // namespace
}  // namespace koral::isa_test
