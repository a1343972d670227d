// The relocated fields an instruction hands to the object writer: where each
// lies in the instruction, how wide it is, which template the linker gets,
// and the base and adjustment the template needs.  The bytes and the
// relocation mark of the same statements are checked in sources/.
#include <gtest/gtest.h>

#include <string>

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

constexpr ArenaRef ext = 41;  // the operand's expression
constexpr ArenaRef bit = 53;  // the bit number's expression
constexpr auto plain = FieldTemplate::plain;
constexpr auto bit_number = FieldTemplate::bit_number;

void expect_fields(const Assembly& a, const std::vector<Field>& want, const std::string& source) {
  ASSERT_EQ(a.isa.field_count, static_cast<int>(want.size())) << source;
  for (std::size_t i = 0; i < want.size(); ++i) {
    const RelocatedField& got = a.isa.fields[i];
    const std::string where = source + " field " + std::to_string(i);
    EXPECT_EQ(got.offset, want[i].offset) << where;
    EXPECT_EQ(got.size, want[i].size) << where;
    EXPECT_EQ(got.kind, want[i].kind) << where;
    EXPECT_EQ(got.expression, want[i].expression) << where;
    EXPECT_EQ(got.base, want[i].base) << where;
    EXPECT_EQ(got.adjustment, want[i].adjustment) << where;
  }
}

TEST(RelocatedFields, OffsetWidthTemplateOfEachField) {
  struct Case {
    const char* source;
    int32_t mnemonic;
    std::vector<Op> ops;
    std::vector<Field> fields;
  };
  const Case cases[] = {
      {"LD A,[ext16]", mn_ld, {R(reg_a), Mem(0).reloc(16)}, {{1, 2, plain, ext}}},
      {"LD A,[ext8]", mn_ld, {R(reg_a), Mem(0).reloc(8)}, {{1, 1, plain, ext}}},
      {"LD A,[ext24]", mn_ld, {R(reg_a), Mem(0).reloc(24)}, {{1, 3, plain, ext}}},
      {"LD HL,ext", mn_ld, {R(reg_hl), N(0).reloc(16)}, {{1, 2, plain, ext}}},
      {"LD IX,ext", mn_ld, {R(reg_ix), N(0).reloc(16)}, {{1, 3, plain, ext}}},
      {"LD A,ext", mn_ld, {R(reg_a), N(0).reloc(8)}, {{1, 1, plain, ext}}},
      {"LD HL,label", mn_ld, {R(reg_hl), N(0x40).reloc(16).of_kind(V_LOCAL)}, {{1, 2, plain, ext}}},
      {"CALL ext", mn_call, {N(0).reloc(24)}, {{1, 3, plain, ext}}},
      {"LD [IX+ext],A", mn_ld, {Idx(reg_ix, 0).reloc(8), R(reg_a)}, {{1, 1, plain, ext}}},
      {"LD [ext16],55h", mn_ld, {Mem(0).reloc(16), N(0x55)}, {{1, 2, plain, ext}}},
      {"LD [ext8],ext8", mn_ld, {Mem(0).reloc(8), N(0).reloc(8, 77)}, {{1, 1, plain, ext}, {2, 1, plain, 77}}},
      {"LDW [ext16],ext16", mn_ldw, {Mem(0).reloc(16), N(0).reloc(16, 77)},
       {{1, 1, plain, ext}, {2, 2, plain, 77}}},
      {"LD SP,SP+ext", mn_ld, {R(reg_sp), SpPlus(0).reloc(8)}, {{0, 2, FieldTemplate::stack_displacement, ext}}},
      {"CALLV ext", mn_callv, {N(0).reloc(16)}, {{0, 1, FieldTemplate::vector, ext, 0xFFA0}}},
      // A bit number joins the opcode byte it is part of.
      {"CLR [HL].ext", mn_clr, {Ind(reg_hl).relocatable_bit()}, {{1, 1, bit_number, bit, 0xC8}}},
      {"SET [20h].ext", mn_set, {Mem(0x20).relocatable_bit()}, {{0, 1, bit_number, bit, 0xC0}}},
      {"CPL B.ext", mn_cpl, {R(reg_b).relocatable_bit()}, {{1, 1, bit_number, bit, 0xE0}}},
      {"TEST [40h].ext", mn_test, {Mem(0x40).relocatable_bit()}, {{0, 1, bit_number, bit, 0x58}}},
      {"LD CF,[20h].ext", mn_ld, {R(reg_cf), Mem(0x20).relocatable_bit()}, {{0, 1, bit_number, bit, 0x58}}},
      {"LD CF,B.ext", mn_ld, {R(reg_cf), R(reg_b).relocatable_bit()}, {{1, 1, bit_number, bit, 0x58}}},
      {"LD B.ext,CF", mn_ld, {R(reg_b).relocatable_bit(), R(reg_cf)}, {{1, 1, bit_number, bit, 0xE8}}},
      {"LD [DE].ext,CF", mn_ld, {Ind(reg_de).relocatable_bit(), R(reg_cf)}, {{1, 1, bit_number, bit, 0xE8}}},
      {"XOR CF,[HL].ext", mn_xor, {R(reg_cf), Ind(reg_hl).relocatable_bit()}, {{1, 1, bit_number, bit, 0x50}}},
      // Address and bit number both relocatable: two fields in byte order.
      {"CLR [ext16].ext", mn_clr, {Mem(0).reloc(16).relocatable_bit()},
       {{1, 2, plain, ext}, {3, 1, bit_number, bit, 0xC8}}},
      {"TEST [ext8].ext", mn_test, {Mem(0).reloc(8).relocatable_bit()},
       {{0, 1, bit_number, bit, 0x58}, {1, 1, plain, ext}}},
      // Relative targets: the displacement counts from the end of the jump.
      {"JRS T,ext", mn_jrs, {Cond(cond_t), N(0).reloc(16)}, {{0, 1, FieldTemplate::short_jump, ext, 0x80, 2}}},
      {"JRS F,ext", mn_jrs, {Cond(cond_f), N(0).reloc(16)}, {{0, 1, FieldTemplate::short_jump, ext, 0xA0, 2}}},
      {"JR NZ,ext", mn_jr, {Cond(cond_nz), N(0).reloc(16)}, {{1, 1, FieldTemplate::jump, ext, 0, 2}}},
      {"JR M,ext", mn_jr, {Cond(cond_m), N(0).reloc(16)}, {{2, 1, FieldTemplate::jump, ext, 0, 3}}},
      {"JR 1234h", mn_jr, {N(0x1234)}, {{1, 1, FieldTemplate::jump, 1, 0, 2}}},
      {"JR other-absolute", mn_jr, {N(0x1234).of_kind(V_ABSOTHER)}, {{1, 1, FieldTemplate::jump, 1, 0, 2}}},
  };
  for (const Case& c : cases) {
    IsaRun run;
    EXPECT_TRUE(run.assemble(c.mnemonic, c.ops)) << c.source;
    expect_fields(run.a, c.fields, c.source);
  }
}

// The forms the jump optimisation gives J: the short ones carry a relative
// field, the far ones a plain 24-bit address after the skip.
TEST(RelocatedFields, GenericJumpForms) {
  struct Case {
    const char* source;
    int32_t form;
    std::vector<Op> ops;
    int32_t types[2];
    Field field;
  };
  const Case cases[] = {
      {"J ext (JR)", 3, {N(0).reloc(16)}, {field_relative8, field_implied}, {1, 1, FieldTemplate::relative, ext, 0, 2}},
      {"J Z,ext (JR Z)", 2, {Cond(cond_z), N(0).reloc(16)}, {field_condition, field_relative8},
       {1, 1, FieldTemplate::relative, ext, 0, 2}},
      {"J M,ext (JR M)", 4, {Cond(cond_m), N(0).reloc(16)}, {field_condition, field_relative8},
       {2, 1, FieldTemplate::relative, ext, 0, 3}},
      {"J ext (JRS T)", 0, {N(0).reloc(16)}, {field_relative5, field_implied},
       {0, 1, FieldTemplate::short_jump, ext, 0x80, 2}},
      {"J ext (JP)", 9, {N(0).reloc(16)}, {field_long, field_implied}, {1, 3, plain, ext}},
      {"J Z,ext (JR NZ; JP)", 7, {Cond(cond_z), N(0).reloc(16)}, {field_condition, field_long}, {3, 3, plain, ext}},
  };
  for (const Case& c : cases) {
    IsaRun run;
    run.build(mn_j, c.ops);
    run.encode_final(c.form, c.types);
    expect_fields(run.a, {c.field}, c.source);
  }
}

}  // namespace
}  // namespace koral::isa_test
