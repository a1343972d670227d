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

TEST(ObjectInstruction, WithoutFieldsTheCodeIsOneLoad) {
  InstructionRun t;
  EXPECT_EQ(t.load({0x20, 0x34, 0x12}, {}), show(hex("E4 03 20 34 12")));
}

// A plain 16-bit field after the opcode; nothing follows it.
TEST(ObjectInstruction, PlainFieldAfterTheOpcode) {
  InstructionRun t;
  EXPECT_EQ(t.load({0x20, 0x00, 0x00}, {field(1, 2, FieldTemplate::plain, t.x())}),
            show(hex("E4 01 20  E4 BC D8 0C 02 BD")));
}

// The bit number merged into the opcode byte: an empty run before it, the
// rest of the code after it.
TEST(ObjectInstruction, BitNumberInTheOpcode) {
  InstructionRun t;
  EXPECT_EQ(t.load({0xC0, 0x34}, {field(0, 1, FieldTemplate::bit_number, t.x(), 0xC0)}),
            show(hex("E4 00  E4 BC 81 C0 D8 0C 00 08 04 B9 A5 01 BD  E4 01 34")));
}

TEST(ObjectInstruction, ShortJumpDisplacement) {
  for (int32_t base : {0x80, 0xA0}) {
    InstructionRun t;
    const std::string opcode = base == 0x80 ? "81 80" : "81 A0";
    EXPECT_EQ(t.load({static_cast<uint8_t>(base)}, {field(0, 1, FieldTemplate::short_jump, t.x(), base)}),
              show(hex("E4 00  E4 BC D8 0C D0 01 A6 02 A6 10 A5 00 20 04 B9 10 A6 1F B0") + hex(opcode) +
                   hex("A5 01 BD")))
        << base;
  }
}

// The field of JR is at offset 1: the load address less 1 is the instruction.
TEST(ObjectInstruction, JumpDisplacement) {
  InstructionRun t;
  EXPECT_EQ(t.load({0xD5, 0x00}, {field(1, 1, FieldTemplate::jump, t.x(), 0, 2)}),
            show(hex("E4 01 D5  E4 BA D8 0C D0 01 01 A6 A6 02 A6 81 80 A5 00 82 01 00 04 B9 81 80 A6 01 BB")));
}

TEST(ObjectInstruction, OtherRelativeField) {
  InstructionRun t;
  EXPECT_EQ(t.load({0xE9, 0x00, 0x00}, {field(1, 2, FieldTemplate::relative, t.x(), 0, 3)}),
            show(hex("E4 01 E9  E4 BA D8 0C D0 01 01 A6 A6 03 A6 02 BB")));
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

TEST(ObjectInstruction, VectorNumberByModelLevel) {
  struct Case {
    int32_t level;
    const char* table;
  };
  for (const Case& c : {Case{0, "82 FF C0"}, Case{1, "82 FF A0"}, Case{2, "83 01 FF A0"}, Case{3, "83 01 FF A0"}}) {
    InstructionRun t;
    t.r.a.settings.model_level = c.level;
    EXPECT_EQ(t.load({0x70}, {field(0, 1, FieldTemplate::vector, t.x())}),
              show(hex("E4 00  E4 BC 70 D8 0C") + hex(c.table) + hex("A6 02 A7 00 10 04 B9 A5 01 BD")))
        << c.level;
  }
}

TEST(ObjectInstruction, StackDisplacement) {
  InstructionRun t;
  EXPECT_EQ(t.load({0x02, 0x00}, {field(0, 2, FieldTemplate::stack_displacement, t.x())}),
            show(hex("E4 00  E4 BC D8 0C 82 08 00 B0 82 01 00 A7 37 B1 D8 0C A2 00 82 01 00 04 B9"
                     "82 01 00 A8 B1 02 BD")));
}

// Two fields, given in either order, appear in the order of their position,
// with the plain bytes between them as their own record.
TEST(ObjectInstruction, TwoFieldsInCodeOrder) {
  for (bool reversed : {false, true}) {
    InstructionRun t;
    std::vector<RelocatedField> fields = {field(1, 1, FieldTemplate::plain, t.x()),
                                          field(3, 2, FieldTemplate::plain, t.x())};
    if (reversed) std::swap(fields[0], fields[1]);
    EXPECT_EQ(t.load({0xAA, 0x00, 0xBB, 0x00, 0x00, 0xCC}, fields),
              show(hex("E4 01 AA  E4 BC D8 0C 01 BD  E4 01 BB  E4 BC D8 0C 02 BD  E4 01 CC")))
        << reversed;
  }
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
