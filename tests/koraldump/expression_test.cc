// Object expressions: the byte sequences the assembler writes for source
// expressions, read back as trees and shown in both syntaxes.
#include <gtest/gtest.h>

#include "expression_tree.h"
#include "koraldump_test_support.h"

namespace koraldump::test {
namespace {

struct Names : Namer {
  std::string variable(uint8_t letter, uint32_t index) override {
    if (letter == var_x && index == 12) return "ext";
    if (letter == var_p) return "$";
    std::string name(1, letter_of(letter));
    name += std::to_string(index);
    return name;
  }
};

// The expression of an ASI record holding the given bytes.
Expression parse(const std::string& hex_bytes) {
  std::vector<uint8_t> b = bytes_of("E2 C9 22 " + hex_bytes + " E1");
  RecordList list = read_records(b.data(), b.size());
  EXPECT_FALSE(list.error) << hex_bytes << ": " << list.error->message;
  return list.records.at(0).fields.at(1).expr;
}

std::string source_text(const std::string& hex_bytes) {
  ExprTree tree;
  if (!build_tree(parse(hex_bytes), tree)) return "(no tree)";
  Names names;
  return render(tree, tree.root, names, Syntax::source);
}

TEST(KoraldumpExpression, SourceFormsOfTheWriterEncodings) {
  struct Case {
    const char* bytes;
    const char* text;
  } cases[] = {
      {"D8 0C 01 A5", "ext+1"},
      {"D8 0C 06 A5", "ext+6"},
      {"00 D8 0C A6", "-ext"},
      {"D8 0C A4", "~ext"},
      {"D8 0C 08 0F B3", "ext>>8"},
      {"D8 0C 00 1F B3 10 A8", "ext<<4"},
      {"00 D8 0C 00 07 B3 00 07 B4 00 82 01 00 04 B9", "ext:8"},
      {"D8 0C 01 A5 02 A5 03 A5 04 A5 05 A5", "ext+1+2+3+4+5"},
      {"D8 0C 02 A8 03 A5", "ext*2+3"},
      {"03 D8 0C 02 A5 A8", "3*(ext+2)"},
      {"D8 0C 84 FF FF FF FB A5", "ext-5"},
      {"D8 0C 00 D8 0C A6 A6", "ext-(-ext)"},
      {"D8 0C 0F B0 10 B1", "ext&0xF|0x10"},
      {"D8 0C 83 01 00 00 04 B9 83 01 00 00 A6", "CODE_ADDR(ext)"},
      {"D8 0C 05 AB", "ext%5"},
  };
  for (const Case& c : cases) EXPECT_EQ(source_text(c.bytes), c.text) << c.bytes;
}

TEST(KoraldumpExpression, DumpFormNamesEveryVariable) {
  std::vector<uint8_t> b = worked_example();
  Module m = load_module(b.data(), b.size());
  ASSERT_FALSE(m.list.error);
  EXPECT_EQ(expression_text(m, parse("D2 01 00 A5")), "R1(prog)+0");
  EXPECT_EQ(expression_text(m, parse("C9 22 D3 01 A6")), "I34(start)-S1(prog)");
  EXPECT_EQ(expression_text(m, parse("D8 0C 02 A5")), "X12+2");
  // Items that form no tree are shown in order.
  EXPECT_EQ(expression_text(m, parse("D8 0C A5")), "[postfix: X12 +]");
}

TEST(KoraldumpExpression, ItemShapesOfTheInstructionTemplates) {
  struct Case {
    const char* item;
    ItemKind kind;
    uint32_t base, adjustment, table;
  } cases[] = {
      {"BA D8 0C D0 01 02 A6 A6 03 A6 01 BB", ItemKind::relative, 0, 3, 0},
      {"BC D8 0C D0 01 A6 02 A6 10 A5 00 20 04 B9 10 A6 1F B0 81 A0 A5 01 BD", ItemKind::short_jump, 0xA0, 2, 0},
      {"BC 70 D8 0C 83 01 FF A0 A6 02 A7 00 10 04 B9 A5 01 BD", ItemKind::vector, 0x70, 0, 0x1FFA0},
      {"BC 58 D8 0C 00 08 04 B9 A5 01 BD", ItemKind::bit_number, 0x58, 0, 0},
      {"BC D8 0C 82 08 00 B0 82 01 00 A7 37 B1 D8 0C A2 00 82 01 00 04 B9 82 01 00 A8 B1 02 BD",
       ItemKind::stack_displacement, 0, 0, 0},
      {"BC D8 0C 02 BD", ItemKind::plain, 0, 0, 0},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> b = bytes_of(std::string("E4 ") + c.item + " E1");
    RecordList list = read_records(b.data(), b.size());
    ASSERT_FALSE(list.error) << c.item;
    const LoadItem& item = list.records[0].items[0];
    ExprTree tree;
    ASSERT_TRUE(build_tree(item.expression, tree)) << c.item;
    ItemShape shape = item_shape(tree, item.relative);
    EXPECT_EQ(shape.kind, c.kind) << c.item;
    Names names;
    EXPECT_EQ(render(tree, shape.operand, names, Syntax::source), "ext") << c.item;
    if (c.kind == ItemKind::bit_number || c.kind == ItemKind::short_jump) {
      EXPECT_EQ(shape.base, c.base) << c.item;
    }
    if (c.kind == ItemKind::jump || c.kind == ItemKind::relative) {
      EXPECT_EQ(shape.adjustment, c.adjustment) << c.item;
    }
    if (c.kind == ItemKind::vector) {
      EXPECT_EQ(shape.vector_table, c.table) << c.item;
    }
  }
}

TEST(KoraldumpExpression, MalformedItems) {
  struct Case {
    const char* bytes;
    const char* message;
  } cases[] = {
      {"E4 BC 01 BD E1", "without an expression"},
      {"E4 BC D8 0C BD E1", "without a field size"},
      {"E4 BC D8 0C 01 A5 BD E1", "without a field size"},
      {"E4 BC D8 0C 09 BD E1", "relocated item of 9 bytes"},
      {"E4 BC D8 0C 01 BB E1", "closed by 0xBB"},
      {"E4 BC D8 80 01 BD E1", "omitted number"},
      {"ED BC D8 0C 01 BD E1", "relocated item in an LD record"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> b = bytes_of(c.bytes);
    RecordList list = read_records(b.data(), b.size());
    ASSERT_TRUE(list.error) << c.bytes;
    EXPECT_NE(list.error->message.find(c.message), std::string::npos) << c.bytes << ": " << list.error->message;
  }
}

}  // namespace
}  // namespace koraldump::test
