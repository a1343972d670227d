// Instructions with relocatable fields: plain runs and relocated items.
#include <gtest/gtest.h>

#include "object/object_writer.h"
#include "object_test_support.h"

namespace koral {
namespace {

using namespace object_test;

// An instruction in relocatable CODE section 1 against external "ext" (12).
struct InstructionRun {
  ObjectRun r;
  Section* code;
  Symbol* ext;

  InstructionRun() {
    code = &r.section("code", section_code, 16, 16);
    ext = &r.symbol("ext", kind_external);
    ext->object_index = 12;
    ext->model = 16;
    object_begin(r.a);
    r.enter(*code);
  }

  ArenaRef x() { return make_name_leaf(r.a, name_symbol, handle_of(ext), 0); }

  // The data part after the section switch and its load address.
  std::string load(const std::vector<uint8_t>& bytes, std::vector<RelocatedField> fields) {
    object_load_instruction(r.a, bytes.data(), static_cast<uint32_t>(bytes.size()), fields.data(),
                            static_cast<int>(fields.size()));
    const Bytes module = r.finish();
    const uint32_t table = r.a.object.part_table_offset;
    const Bytes data = slice(module, part_offset(module, table, part_data),
                             part_offset(module, table, part_trailer));
    const Bytes head = hex("E5 01 E2 D0 01 D2 01");
    if (data.size() < head.size() || !std::equal(head.begin(), head.end(), data.begin()))
      return "unexpected data part: " + show(data);
    return show(Bytes(data.begin() + static_cast<long>(head.size()), data.end()));
  }
};

RelocatedField field(uint32_t offset, uint32_t size, FieldTemplate kind, ArenaRef expression,
                     int32_t base = 0, int32_t adjustment = 0) {
  RelocatedField f;
  f.offset = offset;
  f.size = size;
  f.kind = kind;
  f.expression = expression;
  f.base = base;
  f.adjustment = adjustment;
  return f;
}

// Each template after the section switch: the plain runs of the code as
// load records (an empty one before a field at offset 0), each field as a
// relocated item, in the order of their positions.
TEST(ObjectInstruction, FieldTemplates) {
  using F = FieldTemplate;
  struct Field {
    uint32_t offset, size;
    FieldTemplate kind;
    int32_t base = 0, adjustment = 0;
  };
  struct Case {
    const char* what;
    std::vector<uint8_t> code;
    std::vector<Field> fields;
    const char* bytes;
    int32_t model_level = -1;  // -1: the default setting
  };
  const char* const vector_tail = "A6 02 A7 00 10 04 B9 A5 01 BD";
  const std::string vector_of[] = {std::string("E4 00  E4 BC 70 D8 0C 82 FF C0 ") + vector_tail,
                                   std::string("E4 00  E4 BC 70 D8 0C 82 FF A0 ") + vector_tail,
                                   std::string("E4 00  E4 BC 70 D8 0C 83 01 FF A0 ") + vector_tail};
  const Case cases[] = {
      {"no fields", {0x20, 0x34, 0x12}, {}, "E4 03 20 34 12"},
      {"plain 16-bit field", {0x20, 0x00, 0x00}, {{1, 2, F::plain}}, "E4 01 20  E4 BC D8 0C 02 BD"},
      {"bit number in the opcode", {0xC0, 0x34}, {{0, 1, F::bit_number, 0xC0}},
       "E4 00  E4 BC 81 C0 D8 0C 00 08 04 B9 A5 01 BD  E4 01 34"},
      {"JRS T", {0x80}, {{0, 1, F::short_jump, 0x80}},
       "E4 00  E4 BC D8 0C D0 01 A6 02 A6 10 A5 00 20 04 B9 10 A6 1F B0 81 80 A5 01 BD"},
      {"JRS F", {0xA0}, {{0, 1, F::short_jump, 0xA0}},
       "E4 00  E4 BC D8 0C D0 01 A6 02 A6 10 A5 00 20 04 B9 10 A6 1F B0 81 A0 A5 01 BD"},
      // The field of JR is at offset 1: the load address less 1 is the instruction.
      {"JR", {0xD5, 0x00}, {{1, 1, F::jump, 0, 2}},
       "E4 01 D5  E4 BA D8 0C D0 01 01 A6 A6 02 A6 81 80 A5 00 82 01 00 04 B9 81 80 A6 01 BB"},
      {"other relative", {0xE9, 0x00, 0x00}, {{1, 2, F::relative, 0, 3}},
       "E4 01 E9  E4 BA D8 0C D0 01 01 A6 A6 03 A6 02 BB"},
      {"vector, level 0", {0x70}, {{0, 1, F::vector}}, vector_of[0].c_str(), 0},
      {"vector, level 1", {0x70}, {{0, 1, F::vector}}, vector_of[1].c_str(), 1},
      {"vector, level 2", {0x70}, {{0, 1, F::vector}}, vector_of[2].c_str(), 2},
      {"vector, level 3", {0x70}, {{0, 1, F::vector}}, vector_of[2].c_str(), 3},
      {"stack displacement", {0x02, 0x00}, {{0, 2, F::stack_displacement}},
       "E4 00  E4 BC D8 0C 82 08 00 B0 82 01 00 A7 37 B1 D8 0C A2 00 82 01 00 04 B9 82 01 00 A8 B1 02 BD"},
      {"two fields", {0xAA, 0x00, 0xBB, 0x00, 0x00, 0xCC}, {{1, 1, F::plain}, {3, 2, F::plain}},
       "E4 01 AA  E4 BC D8 0C 01 BD  E4 01 BB  E4 BC D8 0C 02 BD  E4 01 CC"},
      {"two fields given in reverse", {0xAA, 0x00, 0xBB, 0x00, 0x00, 0xCC}, {{3, 2, F::plain}, {1, 1, F::plain}},
       "E4 01 AA  E4 BC D8 0C 01 BD  E4 01 BB  E4 BC D8 0C 02 BD  E4 01 CC"},
  };
  for (const Case& c : cases) {
    InstructionRun t;
    if (c.model_level >= 0) t.r.a.settings.model_level = c.model_level;
    std::vector<RelocatedField> fields;
    for (const Field& f : c.fields) fields.push_back(field(f.offset, f.size, f.kind, t.x(), f.base, f.adjustment));
    EXPECT_EQ(t.load(c.code, fields), show(hex(c.bytes))) << c.what;
  }
}

// "$" in the operand of an instruction field stands for the instruction.
TEST(ObjectInstruction, LocationCounterInAFieldIsTheInstructionAddress) {
  InstructionRun t;
  Symbol& here = t.r.symbol("$", kind_location);
  ArenaRef tree = make_operator(t.r.a, op_add, make_name_leaf(t.r.a, name_symbol, handle_of(&here), 0),
                                make_integer_leaf(t.r.a, 4));
  EXPECT_EQ(t.load({0x20, 0x00, 0x00}, {field(1, 2, FieldTemplate::plain, tree)}),
            show(hex("E4 01 20  E4 BC D0 01 01 A6 04 A5 02 BD")));
}

// In an absolute section the plain runs are LD records.
TEST(ObjectInstruction, AbsoluteSectionRunsAreLd) {
  ObjectRun r;
  Section& fixed = r.section("fixed", section_absolute | section_code, 0, 4, 0x100);
  Symbol& ext = r.symbol("ext", kind_external);
  ext.object_index = 12;
  object_begin(r.a);
  r.enter(fixed);
  const uint8_t code[] = {0x20, 0x00, 0x00};
  RelocatedField f = field(1, 2, FieldTemplate::plain, make_name_leaf(r.a, name_symbol, handle_of(&ext), 0));
  object_load_instruction(r.a, code, 3, &f, 1);
  const Bytes module = r.finish();
  const uint32_t table = r.a.object.part_table_offset;
  EXPECT_EQ(show(slice(module, part_offset(module, table, part_data), part_offset(module, table, part_trailer))),
            show(hex("E5 01 E2 D0 01 82 01 00  ED 01 20  E4 BC D8 0C 02 BD")));
}

}  // namespace
}  // namespace koral
