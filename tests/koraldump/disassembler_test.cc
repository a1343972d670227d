// Decoding instructions: bytes worked out by hand from the instruction table
// (register codes A 0, W 1, C 2, B 3, E 4, D 5, L 6, H 7; WA 0, BC 1, DE 2,
// HL 3, IX 4, IY 5, SP 6, IZ 7; ALU numbers ADDC 0, ADD 1, SUBB 2, SUB 3,
// AND 4, XOR 5, OR 6, CMP 7), and the relocated items that stand in for
// fields.
#include <gtest/gtest.h>

#include "disassembler.h"
#include "koraldump_test_support.h"
#include "operand_shapes.h"

namespace koraldump::test {
namespace {

// "LD      A,[HL]" as "LD A,[HL]".
std::string plain(std::string text) {
  std::size_t space = text.find(' ');
  if (space == std::string::npos) return text;
  std::size_t rest = text.find_first_not_of(' ', space);
  return text.substr(0, space) + " " + text.substr(rest);
}

// text nullptr: the bytes are no instruction; canonical false: the bytes
// mean an instruction the assembler writes with other bytes.
struct Case {
  const char* bytes;
  const char* text;
  uint32_t length;
  bool canonical = true;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.bytes; }

class KoraldumpDecode : public ::testing::TestWithParam<Case> {};

TEST_P(KoraldumpDecode, GivesTheSourceText) {
  const Case& c = GetParam();
  std::optional<DecodedInstruction> d = decode_bytes(bytes_of(c.bytes));
  ASSERT_EQ(d.has_value(), c.text != nullptr) << c.bytes;
  if (!d) return;
  EXPECT_EQ(plain(d->text), c.text) << c.bytes;
  EXPECT_EQ(d->length, c.length) << c.bytes;
  EXPECT_EQ(d->canonical, c.canonical) << c.bytes;
}

INSTANTIATE_TEST_SUITE_P(Forms, KoraldumpDecode, ::testing::Values(
    Case{"00", "NOP", 1}, Case{"E8 FB", "RETN", 2}, Case{"C8 3A", "DI", 2}, Case{"01", "SLEEP", 1},
    Case{"EF FF", "SWAP H", 2}, Case{"EB F4 03", "SHLC B,3", 3}, Case{"EB F2", "MUL H,L", 2},
    Case{"EA F3", "DIV DE,C", 2}, Case{"52", "PUSH DE", 1}, Case{"EC D8", "PUSH IX", 2},
    Case{"E8 DC", "PUSH PSW", 2}, Case{"D1", "POP BC", 1}, Case{"EF D9", "POP IZ", 2},
    Case{"04", "CLR CF", 1}, Case{"CB 20", "CLR [0x20].3", 2}, Case{"EA CD", "CLR C.5", 2},
    Case{"E3 FA", "CLR [HL].A", 2}, Case{"E2 C4", "SET [DE].4", 2}, Case{"E9 E6", "CPL W.6", 2},
    Case{"5F 30", "TEST [0x30].7", 2}, Case{"6A 04 59", "TEST [IZ+4].1", 3},
    // LD, form by form.
    Case{"0A 40 55", "LD [0x40],0x55", 3}, Case{"0B 66", "LD [HL],0x66", 2}, Case{"0C 80", "LD A,[0x80]", 2},
    Case{"0D", "LD A,[HL]", 1}, Case{"0E 42", "LD [0x42],A", 2}, Case{"0F", "LD [HL],A", 1},
    Case{"13", "LD A,B", 1}, Case{"1A 77", "LD C,0x77", 2}, Case{"02 04", "LD SP,SP+4", 2},
    Case{"03 03", "LD SP,SP-3", 2}, Case{"45", "LD D,A", 1}, Case{"4B 34 12", "LD HL,0x1234", 3},
    Case{"4C 56 34 12", "LD IX,0x123456", 4}, Case{"5A 43", "TEST [0x43].2", 2},
    Case{"EF 44", "LD E,H", 2}, Case{"E9 4A", "LD DE,BC", 2}, Case{"E8 DE 12", "LD PSW,0x12", 3},
    Case{"EE E9", "LD L.1,CF", 2}, Case{"D4 10 47", "LD H,[IX+0x10]", 3},
    Case{"E1 67 45 49", "LD BC,[0x4567]", 4}, Case{"55 02 6B", "LD [IY+2],HL", 3},
    Case{"56 01 7B", "LD [SP+1],B", 3}, Case{"D7 FF EE", "LD [HL-1].6,CF", 3},
    Case{"6C 56 34 12 F9 99", "LD [0x123456],0x99", 6}, Case{"E5 F3", "LD [IY].A,CF", 2},
    Case{"F9 00", "LD RBS,0", 2}, Case{"F9 02", "LD RBS,1", 2}, Case{"6F 40", "LD A,[PC+A]", 2},
    Case{"6B 41", "LD W,[IZ+C]", 2}, Case{"F6 68", "LD [SP-],WA", 2}, Case{"F6 78", "LD [SP-],A", 2},
    Case{"E6 40", "LD A,[+SP]", 2}, Case{"D6 00 40", "LD A,[SP+0]", 3},
    Case{"E2 40", "LD A,[DE]", 2}, Case{"F2 78", "LD [DE],A", 2},
    Case{"E1 34 12 40", "LD A,[0x1234]", 4}, Case{"6D 45 23 01 40", "LD A,[0x012345]", 5},
    Case{"68 FE 7A", "LD [IZ-2],C", 3},
    Case{"20", "INC A", 1}, Case{"36", "INC SP", 1}, Case{"E7 F8", "DEC [HL+C]", 2},
    Case{"08 60 34 12", "LDW [0x60],0x1234", 4}, Case{"09 78 56", "LDW [HL],0x5678", 3},
    // The arithmetic and logic family.
    Case{"61 05", "ADD A,5", 2}, Case{"EB 61 05", "ADD B,5", 3}, Case{"EB 21", "ADD E,B", 2},
    Case{"EB 6B 00 01", "SUB HL,0x100", 4}, Case{"EC 6C 00 00 01", "AND IX,0x10000", 5},
    Case{"EA 99", "ADD HL,DE", 2}, Case{"E3 26", "OR E,[HL]", 2}, Case{"D5 01 67 20", "CMP [IY+1],0x20", 4},
    Case{"E1 34 12 89", "ADD BC,[0x1234]", 4}, Case{"E8 51", "XOR CF,A.1", 2},
    Case{"E3 52", "XOR CF,[HL].2", 2}, Case{"07 70 05", "CMP [0x70],5", 3},
    Case{"E0 71 61 06", "ADD [0x71],6", 4},
    // Jumps: the target is $ plus the displacement and its adjustment.
    Case{"83", "JRS T,$+5", 1}, Case{"A3", "JRS F,$+5", 1}, Case{"9E", "JRS T,$", 1},
    Case{"D9 03", "JR NE,$+5", 2}, Case{"E8 D0 05", "JR M,$+8", 3}, Case{"FC FE", "JR $", 2},
    Case{"DE 06", "JR T,$+8", 2}, Case{"71", "CALLV 1", 1},
    Case{"FD 34 12 00", "CALL 0x1234", 4}, Case{"EB FD", "CALL HL", 2}, Case{"E0 80 FE", "JP [0x80]", 3},
    Case{"FE 00 00 01", "JP 0x10000", 4}, Case{"D4 01 F7", "RORD A,[IX+1]", 3},
    Case{"EB 70", "XCH A,B", 2}, Case{"E3 D9", "XCH BC,[HL]", 2}, Case{"EC F0 17", "SHLCA IX,0x17", 3},
    Case{"E9 FA", "NEG CS,BC", 2},
    // Other encodings of the same text.
    Case{"E3 40", "LD A,[HL]", 2, false}, Case{"E0 12 40", "LD A,[0x12]", 3, false}, Case{"40", "LD A,A", 1, false},
    Case{"E8 40", "LD A,A", 2, false}, Case{"E8 60 05", "ADDC A,5", 3, false},
    Case{"E1 12 00 40", "LD A,[0x0012]", 4, false}, Case{"F3 F9 05", "LD [HL],5", 3, false},
    Case{"E0 20 CB", "CLR [0x20].3", 3, false}, Case{"03 00", "LD SP,SP-0", 2, false},
    Case{"EB F4 08", "SHLC B,8", 3, false}, Case{"EB F0 10", "SHLCA HL,0x10", 3, false},
    // F8 starts no form; DIV takes WA, DE or HL only; PUSH of SP does not
    // exist; CALL needs three address bytes.
    Case{"F8", nullptr, 0}, Case{"E9 F3", nullptr, 0}, Case{"56", nullptr, 0}, Case{"FD 12 34", nullptr, 0}));

// Relocated items in place of fields: the operand is the item's expression.
TEST(KoraldumpDecode, RelocatedFieldsShowTheirExpressions) {
  // Items: the relocated item bytes between the brackets, as the writer
  // puts them (x is the external X12, field offsets as in the instruction).
  // (JR, JRS, CALLV and bit items are read in the disassembly of the
  // relocation example.)
  const char* call = "BC D8 0C 01 A5 03 BD";
  const char* stack = "BC D8 0C 82 08 00 B0 82 01 00 A7 37 B1 D8 0C A2 00 82 01 00 04 B9 82 01 00 A8 B1 02 BD";
  const char* local = "BC D2 01 05 A5 02 BD";
  auto run = [](std::vector<uint8_t> plain_before, const char* item_bytes, uint32_t size,
                std::vector<uint8_t> plain_after) {
    // The item's expression as the record reader gives it.
    std::vector<uint8_t> record = bytes_of("E4");
    append(record, bytes_of(item_bytes));
    append(record, bytes_of("E1"));
    RecordList list = read_records(record.data(), record.size());
    EXPECT_FALSE(list.error);
    const LoadItem& load = list.records.at(0).items.at(0);
    EXPECT_EQ(load.size, size);
    ExprTree tree;
    EXPECT_TRUE(build_tree(load.expression, tree));
    std::vector<CodeCell> cells;
    for (uint8_t b : plain_before) cells.push_back({b, -1});
    CodeItem item{item_shape(tree, load.relative), cells.size(), size};
    for (uint32_t k = 0; k < size; ++k) cells.push_back({0, 0});
    for (uint8_t b : plain_after) cells.push_back({b, -1});
    struct Names : Namer {
      std::string variable(uint8_t letter, uint32_t index) override {
        if (letter == var_x && index == 12) return "ext";
        return std::string(1, letter_of(letter)) + std::to_string(index);
      }
      std::string section_offset(uint32_t s, uint32_t k) override { return "sec" + std::to_string(s) + "+" + std::to_string(k); }
    } names;
    CodeView view;
    view.cells = cells.data();
    view.count = cells.size();
    view.items = &item;
    view.item_text = [&](int, uint32_t) { return render(tree, item.shape.operand, names, Syntax::source); };
    std::optional<DecodedInstruction> d = decode_instruction(view, 0, cells.size());
    return d ? plain(d->text) : std::string("(none)");
  };
  EXPECT_EQ(run({0xFD}, call, 3, {}), "CALL ext+1");
  EXPECT_EQ(run({}, stack, 2, {}), "LD SP,SP+ext");
  EXPECT_EQ(run({0xE1}, local, 2, {0x40}), "LD A,[sec1+5]");
  // An item of the wrong size for the field matches no form.
  EXPECT_EQ(run({0xFD}, call, 3, {0x00}).substr(0, 4), "CALL");
  EXPECT_EQ(run({0xE1}, call, 3, {0x40}), "(none)");
}

}  // namespace
}  // namespace koraldump::test
