// Relocatable fields: where each lies in the instruction, how wide it is and
// which template the linker gets; relative targets; the final pass's range
// reports; the last byte of each operand.
#include <gtest/gtest.h>

#include "isa_test_support.h"

namespace koral::isa_test {
namespace {

struct Field {
  uint32_t offset;
  uint32_t size;
  FieldTemplate kind;
  ArenaRef expression;
  int32_t base = 0;
  int32_t adjustment = 0;
};

struct RelocationCase {
  const char* source;
  int32_t mnemonic;
  std::vector<Op> ops;
  std::vector<uint8_t> bytes;
  std::vector<Field> fields;
};

void PrintTo(const RelocationCase& c, std::ostream* os) { *os << c.source; }

class Relocated : public ::testing::TestWithParam<RelocationCase> {};

TEST_P(Relocated, RecordsOffsetWidthAndTemplate) {
  const RelocationCase& c = GetParam();
  auto run = fresh_run();
  Outcome out = run->assemble(c.mnemonic, c.ops);
  EXPECT_TRUE(out.codes.empty()) << c.source;
  EXPECT_EQ(out.bytes, c.bytes) << c.source;
  ASSERT_EQ(run->a.isa.field_count, static_cast<int>(c.fields.size())) << c.source;
  for (std::size_t i = 0; i < c.fields.size(); ++i) {
    const RelocatedField& got = run->a.isa.fields[i];
    const Field& want = c.fields[i];
    EXPECT_EQ(got.offset, want.offset) << c.source << " field " << i;
    EXPECT_EQ(got.size, want.size) << c.source << " field " << i;
    EXPECT_EQ(got.kind, want.kind) << c.source << " field " << i;
    EXPECT_EQ(got.expression, want.expression) << c.source << " field " << i;
    EXPECT_EQ(got.base, want.base) << c.source << " field " << i;
    EXPECT_EQ(got.adjustment, want.adjustment) << c.source << " field " << i;
  }
}

constexpr ArenaRef ext = 41;   // the operand's expression
constexpr ArenaRef bit = 53;   // the bit number's expression
constexpr auto plain = FieldTemplate::plain;

INSTANTIATE_TEST_SUITE_P(AddressesAndImmediates, Relocated, ::testing::Values(
    RelocationCase{"LD A,[ext16]", mn_ld, {R(reg_a), Mem(0).reloc(16)},
                   {0xE1, 0x00, 0x00, 0x40}, {{1, 2, plain, ext}}},
    RelocationCase{"LD A,[ext8]", mn_ld, {R(reg_a), Mem(0).reloc(8)}, {0x0C, 0x00}, {{1, 1, plain, ext}}},
    RelocationCase{"LD A,[ext24]", mn_ld, {R(reg_a), Mem(0).reloc(24)},
                   {0x6D, 0x00, 0x00, 0x00, 0x40}, {{1, 3, plain, ext}}},
    RelocationCase{"LD HL,ext", mn_ld, {R(reg_hl), N(0).reloc(16)}, {0x4B, 0x00, 0x00}, {{1, 2, plain, ext}}},
    RelocationCase{"LD IX,ext", mn_ld, {R(reg_ix), N(0).reloc(16)},
                   {0x4C, 0x00, 0x00, 0x00}, {{1, 3, plain, ext}}},
    RelocationCase{"LD A,ext", mn_ld, {R(reg_a), N(0).reloc(8)}, {0x18, 0x00}, {{1, 1, plain, ext}}},
    RelocationCase{"LD HL,label (local)", mn_ld, {R(reg_hl), N(0x40).reloc(16, ext, V_LOCAL)},
                   {0x4B, 0x00, 0x00}, {{1, 2, plain, ext}}},
    RelocationCase{"CALL ext", mn_call, {N(0).reloc(24)}, {0xFD, 0x00, 0x00, 0x00}, {{1, 3, plain, ext}}},
    RelocationCase{"LD [IX+ext],A", mn_ld, {Idx(reg_ix, 0).reloc(8), R(reg_a)},
                   {0x54, 0x00, 0x78}, {{1, 1, plain, ext}}},
    RelocationCase{"LD [ext16],55h", mn_ld, {Mem(0).reloc(16), N(0x55)},
                   {0xF1, 0x00, 0x00, 0xF9, 0x55}, {{1, 2, plain, ext}}},
    RelocationCase{"LD [ext8],ext8", mn_ld, {Mem(0).reloc(8), N(0).reloc(8, 77)},
                   {0x0A, 0x00, 0x00}, {{1, 1, plain, ext}, {2, 1, plain, 77}}},
    RelocationCase{"LDW [ext16],ext16", mn_ldw, {Mem(0).reloc(16), N(0).reloc(16, 77)},
                   {0x08, 0x00, 0x00, 0x00}, {{1, 1, plain, ext}, {2, 2, plain, 77}}},
    RelocationCase{"LD SP,SP+ext", mn_ld, {R(reg_sp), SpPlus(0).reloc(8)},
                   {0x00, 0x00}, {{0, 2, FieldTemplate::stack_displacement, ext}}},
    RelocationCase{"CALLV ext", mn_callv, {N(0).reloc(16)},
                   {0x70}, {{0, 1, FieldTemplate::vector, ext, 0xFFA0}}}));

INSTANTIATE_TEST_SUITE_P(BitNumbers, Relocated, ::testing::Values(
    RelocationCase{"CLR [HL].ext", mn_clr, {Ind(reg_hl).relocatable_bit()},
                   {0xE3, 0xC8}, {{1, 1, FieldTemplate::bit_number, bit, 0xC8}}},
    RelocationCase{"SET [20h].ext", mn_set, {Mem(0x20).relocatable_bit()},
                   {0xC0, 0x20}, {{0, 1, FieldTemplate::bit_number, bit, 0xC0}}},
    RelocationCase{"CPL B.ext", mn_cpl, {R(reg_b).relocatable_bit()},
                   {0xEB, 0xE0}, {{1, 1, FieldTemplate::bit_number, bit, 0xE0}}},
    RelocationCase{"TEST [40h].ext", mn_test, {Mem(0x40).relocatable_bit()},
                   {0x58, 0x40}, {{0, 1, FieldTemplate::bit_number, bit, 0x58}}},
    RelocationCase{"LD CF,[20h].ext", mn_ld, {R(reg_cf), Mem(0x20).relocatable_bit()},
                   {0x58, 0x20}, {{0, 1, FieldTemplate::bit_number, bit, 0x58}}},
    RelocationCase{"LD CF,B.ext", mn_ld, {R(reg_cf), R(reg_b).relocatable_bit()},
                   {0xEB, 0x58}, {{1, 1, FieldTemplate::bit_number, bit, 0x58}}},
    RelocationCase{"LD B.ext,CF", mn_ld, {R(reg_b).relocatable_bit(), R(reg_cf)},
                   {0xEB, 0xE8}, {{1, 1, FieldTemplate::bit_number, bit, 0xE8}}},
    RelocationCase{"LD [DE].ext,CF", mn_ld, {Ind(reg_de).relocatable_bit(), R(reg_cf)},
                   {0xE2, 0xE8}, {{1, 1, FieldTemplate::bit_number, bit, 0xE8}}},
    RelocationCase{"XOR CF,[HL].ext", mn_xor, {R(reg_cf), Ind(reg_hl).relocatable_bit()},
                   {0xE3, 0x50}, {{1, 1, FieldTemplate::bit_number, bit, 0x50}}},
    // Address and bit number both relocatable: two fields in byte order.
    RelocationCase{"CLR [ext16].ext", mn_clr, {Mem(0).reloc(16).relocatable_bit()},
                   {0xE1, 0x00, 0x00, 0xC8},
                   {{1, 2, plain, ext}, {3, 1, FieldTemplate::bit_number, bit, 0xC8}}},
    RelocationCase{"TEST [ext8].ext", mn_test, {Mem(0).reloc(8).relocatable_bit()},
                   {0x58, 0x00},
                   {{0, 1, FieldTemplate::bit_number, bit, 0x58}, {1, 1, plain, ext}}}));

// Relative targets in a relocatable section: only a target in the section
// itself becomes a displacement at once.
INSTANTIATE_TEST_SUITE_P(RelativeTargets, Relocated, ::testing::Values(
    RelocationCase{"JRS T,ext", mn_jrs, {Cond(cond_t), N(0).reloc(16)},
                   {0x80}, {{0, 1, FieldTemplate::short_jump, ext, 0x80, 2}}},
    RelocationCase{"JRS F,ext", mn_jrs, {Cond(cond_f), N(0).reloc(16)},
                   {0xA0}, {{0, 1, FieldTemplate::short_jump, ext, 0xA0, 2}}},
    RelocationCase{"JR NZ,ext", mn_jr, {Cond(cond_nz), N(0).reloc(16)},
                   {0xD9, 0x00}, {{1, 1, FieldTemplate::jump, ext, 0, 2}}},
    RelocationCase{"JR M,ext", mn_jr, {Cond(cond_m), N(0).reloc(16)},
                   {0xE8, 0xD0, 0x00}, {{2, 1, FieldTemplate::jump, ext, 0, 3}}},
    RelocationCase{"JR 1234h (absolute)", mn_jr, {N(0x1234)},
                   {0xFC, 0x00}, {{1, 1, FieldTemplate::jump, 1, 0, 2}}},
    RelocationCase{"JR other-absolute", mn_jr, {N(0x1234).of_kind(V_ABSOTHER)},
                   {0xFC, 0x00}, {{1, 1, FieldTemplate::jump, 1, 0, 2}}},
    RelocationCase{"JR $", mn_jr, {N(0x100).of_kind(V_HERE)}, {0xFC, 0xFE}, {}},
    RelocationCase{"JR label", mn_jr, {N(0x110).of_kind(V_LOCAL)}, {0xFC, 0x0E}, {}}));

TEST(RelativeTarget, AbsoluteSectionComputesAllButExternalTargets) {
  struct AbsCase {
    uint32_t kind;
    std::vector<uint8_t> bytes;
    int fields;
  };
  const AbsCase cases[] = {
      {V_ABS, {0xFC, 0x0E}, 0},
      {V_ABSADDR, {0xFC, 0x0E}, 0},
      {V_ABSOTHER, {0xFC, 0x0E}, 0},
      {V_EXPR, {0xFC, 0x00}, 1},
  };
  for (const AbsCase& c : cases) {
    auto run = fresh_run();
    run->section.kind = section_absolute | section_code;
    Op target = N(0x110).of_kind(c.kind);
    if (c.kind == V_EXPR) target.reloc(16);
    Outcome out = run->assemble(mn_jr, {target});
    EXPECT_EQ(out.bytes, c.bytes) << c.kind;
    EXPECT_EQ(run->a.isa.field_count, c.fields) << c.kind;
  }
}

TEST(RelativeTarget, GenericJumpFieldsUseTheRelativeTemplate) {
  struct JCase {
    int32_t form;
    std::vector<Op> ops;
    int32_t types[2];
    uint32_t offset;
    FieldTemplate kind;
    int32_t adjustment;
  };
  const JCase cases[] = {
      {3, {N(0).reloc(16)}, {field_relative8, field_implied}, 1, FieldTemplate::relative, 2},
      {2, {Cond(cond_z), N(0).reloc(16)}, {field_condition, field_relative8}, 1, FieldTemplate::relative, 2},
      {4, {Cond(cond_m), N(0).reloc(16)}, {field_condition, field_relative8}, 2, FieldTemplate::relative, 3},
      {0, {N(0).reloc(16)}, {field_relative5, field_implied}, 0, FieldTemplate::short_jump, 2},
      // The far forms carry a plain 24-bit address.
      {9, {N(0).reloc(16)}, {field_long, field_implied}, 1, FieldTemplate::plain, 0},
      {7, {Cond(cond_z), N(0).reloc(16)}, {field_condition, field_long}, 3, FieldTemplate::plain, 0},
  };
  for (const JCase& c : cases) {
    auto run = fresh_run();
    Instruction ins = run->build(mn_j, c.ops);
    ins.record->form = c.form;
    for (int i = 0; i < ins.count; ++i) ins.operand[i]->field_type = c.types[i];
    run->encode_final();
    ASSERT_EQ(run->a.isa.field_count, 1) << c.form;
    EXPECT_EQ(run->a.isa.fields[0].offset, c.offset) << c.form;
    EXPECT_EQ(run->a.isa.fields[0].kind, c.kind) << c.form;
    EXPECT_EQ(run->a.isa.fields[0].adjustment, c.adjustment) << c.form;
  }
}

// The final pass checks relative displacements: 227 for JRS and JR, with
// the displacement set to 0.
TEST(FinalPass, RelativeTargetOutOfReach) {
  struct ReachCase {
    int32_t mnemonic;
    std::vector<Op> ops;
    std::vector<uint8_t> bytes;
    std::vector<int> codes;
  };
  const ReachCase cases[] = {
      {mn_jrs, {Cond(cond_t), N(0x111).of_kind(V_LOCAL)}, {0x8F}, {}},
      {mn_jrs, {Cond(cond_t), N(0x112).of_kind(V_LOCAL)}, {0x80}, {227}},
      {mn_jrs, {Cond(cond_f), N(0xF2).of_kind(V_LOCAL)}, {0xB0}, {}},
      {mn_jrs, {Cond(cond_f), N(0xF1).of_kind(V_LOCAL)}, {0xA0}, {227}},
      {mn_jr, {N(0x181).of_kind(V_LOCAL)}, {0xFC, 0x7F}, {}},
      {mn_jr, {N(0x182).of_kind(V_LOCAL)}, {0xFC, 0x00}, {227}},
      {mn_jr, {Cond(cond_nz), N(0x81).of_kind(V_LOCAL)}, {0xD9, 0x00}, {227}},
      {mn_jr, {Cond(cond_m), N(0x183).of_kind(V_LOCAL)}, {0xE8, 0xD0, 0x00}, {227}},
      {mn_jr, {Cond(cond_m), N(0x182).of_kind(V_LOCAL)}, {0xE8, 0xD0, 0x7F}, {}},
  };
  for (const ReachCase& c : cases) {
    auto run = fresh_run();
    Outcome pass2 = run->assemble(c.mnemonic, c.ops);
    EXPECT_TRUE(pass2.codes.empty());
    Outcome final = run->encode_final();
    EXPECT_EQ(final.bytes, c.bytes) << std::hex << c.ops.back().value;
    EXPECT_EQ(final.codes, c.codes) << std::hex << c.ops.back().value;
  }
}

TEST(FinalPass, ShortJumpOfJGivesWarningAndLowBits) {
  auto run = fresh_run();
  Instruction ins = run->build(mn_j, {N(0x200).of_kind(V_LOCAL)});
  ins.record->form = 3;
  ins.operand[0]->field_type = field_relative8;
  Outcome out = run->encode_final();
  EXPECT_EQ(out.bytes, (std::vector<uint8_t>{0xFC, 0xFE}));  // 0x200 − 0x102 = 0xFE
  EXPECT_EQ(out.codes, std::vector<int>{501});
}

TEST(FinalPass, FieldsOutOfRangeWarnOncePerStatement) {
  struct WarnCase {
    const char* source;
    int32_t mnemonic;
    std::vector<Op> ops;
    std::vector<uint8_t> bytes;
    std::vector<int> codes;
  };
  const WarnCase cases[] = {
      {"LD A,255", mn_ld, {R(reg_a), N(255)}, {0x18, 0xFF}, {}},
      {"LD A,-256", mn_ld, {R(reg_a), N(-256)}, {0x18, 0x00}, {}},
      {"LD A,256", mn_ld, {R(reg_a), N(256)}, {0x18, 0x00}, {501}},
      {"LD A,-257", mn_ld, {R(reg_a), N(-257)}, {0x18, 0xFF}, {501}},
      {"LD HL,10000h", mn_ld, {R(reg_hl), N(0x10000)}, {0x4B, 0x00, 0x00}, {501}},
      {"LD HL,-65536", mn_ld, {R(reg_hl), N(-65536)}, {0x4B, 0x00, 0x00}, {}},
      {"LD IX,1000000h", mn_ld, {R(reg_ix), N(0x1000000)}, {0x4C, 0x00, 0x00, 0x00}, {501}},
      {"LD SP,SP+256", mn_ld, {R(reg_sp), SpPlus(256)}, {0x02, 0x00}, {501}},
      {"LD SP,SP-256", mn_ld, {R(reg_sp), SpPlus(-256)}, {0x03, 0x00}, {501}},
      {"LD A,[IX+127]", mn_ld, {R(reg_a), Idx(reg_ix, 127)}, {0xD4, 0x7F, 0x40}, {}},
      {"LD A,[IX+128]", mn_ld, {R(reg_a), Idx(reg_ix, 128)}, {0xD4, 0x80, 0x40}, {501}},
      {"LD A,[IX-129]", mn_ld, {R(reg_a), Idx(reg_ix, -129)}, {0xD4, 0x7F, 0x40}, {501}},
      {"LD [IX+200],300", mn_ld, {Idx(reg_ix, 200), N(300)}, {0x54, 0xC8, 0xF9, 0x2C}, {501}},
      {"LD A,[1000000h]", mn_ld, {R(reg_a), Mem(0x1000000)}, {0xE1, 0x00, 0x00, 0x40}, {501}},
      // A relocatable value wider than its field.
      {"LD A,ext16", mn_ld, {R(reg_a), N(0).reloc(16)}, {0x18, 0x00}, {501}},
      {"LD A,ext8", mn_ld, {R(reg_a), N(0).reloc(8)}, {0x18, 0x00}, {}},
      // A relocatable bit number is always reported.
      {"CLR [HL].ext", mn_clr, {Ind(reg_hl).relocatable_bit()}, {0xE3, 0xC8}, {501}},
  };
  for (const WarnCase& c : cases) {
    auto run = fresh_run();
    Outcome pass2 = run->assemble(c.mnemonic, c.ops);
    EXPECT_TRUE(pass2.codes.empty()) << c.source;
    Outcome final = run->encode_final();
    EXPECT_EQ(final.bytes, c.bytes) << c.source;
    EXPECT_EQ(final.codes, c.codes) << c.source;
  }
}

TEST(LastByte, OfEachOperand) {
  struct LastCase {
    const char* source;
    int32_t mnemonic;
    std::vector<Op> ops;
    int32_t last[2];
  };
  const LastCase cases[] = {
      {"LD [1234h],B", mn_ld, {Mem(0x1234), R(reg_b)}, {2, 3}},
      {"LD A,[HL]", mn_ld, {R(reg_a), Ind(reg_hl)}, {-1, -1}},
      {"ADD A,5", mn_add, {R(reg_a), N(5)}, {-1, 1}},
      {"ADD B,C", mn_add, {R(reg_b), R(reg_c)}, {1, 0}},
      {"LD B,[IX+1]", mn_ld, {R(reg_b), Idx(reg_ix, 1)}, {2, 1}},
      {"JR NZ,110h", mn_jr, {Cond(cond_nz), N(0x110).of_kind(V_LOCAL)}, {0, 1}},
      {"CALL 1234h", mn_call, {N(0x1234)}, {3, -1}},
  };
  for (const LastCase& c : cases) {
    auto run = fresh_run();
    run->assemble(c.mnemonic, c.ops);
    EXPECT_EQ(run->a.isa.last_byte[0], c.last[0]) << c.source;
    EXPECT_EQ(run->a.isa.last_byte[1], c.last[1]) << c.source;
  }
}

}  // namespace
}  // namespace koral::isa_test
