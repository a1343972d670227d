// The debug blocks BB1, BB3 and BB5 that -g puts before BB10, built from
// what the debug directives and the line records collected.
#include <gtest/gtest.h>

#include "object/debug_symbols.h"
#include "object/debug_types.h"
#include "object/line_records.h"
#include "object_test_support.h"
#include "symbols/numbering.h"

namespace koral {
namespace {

using namespace object_test;

struct DebugRun {
  ObjectRun r;
  Section* prog;

  DebugRun() {
    r.a.temps.build_names(nullptr);
    r.a.run.options |= opt_debug;
    prog = &r.section("prog", section_code, 24, 0x20);
    r.a.run.section = prog;
  }

  void at(uint32_t location) { prog->location = location; }

  void line(int32_t kind, int32_t reference, int32_t line_number, int32_t column, int32_t offset) {
    append_line_record(r.a, LineRecord{kind, reference, line_number, column, offset});
  }

  void file(int32_t kind, std::string_view name) {
    bool added = false;
    line(kind, static_cast<int32_t>(debug_file_row(r.a, name, added)), 0, 0, 0);
  }

  // The module's bytes from the debug part up to the BB10 block.
  Bytes debug_part() {
    object_begin(r.a);
    const Bytes module = r.finish();
    const uint32_t from = part_offset(module, r.a.object.part_table_offset, 4);
    uint32_t to = from;
    const Bytes bb10 = hex("F8 0A 00 08") + text_bytes("demo.asm");
    while (to < module.size() && slice(module, to, to + static_cast<uint32_t>(bb10.size())) != bb10) ++to;
    return slice(module, from, to);
  }
};

const char* const empty_types = "F8 01 00 04 64 65 6D 6F F9";
const char* const empty_symbols = "F8 03 00 04 64 65 6D 6F F9";

// An included file entered twice gets a second line-number variable; a
// return closes its block and the including file goes on with its own
// variable; a column is written when given; an absolute section's line
// gives its own index; a line outside any section is left out.
TEST(DebugBlocks, NestedFilesAndColumns) {
  DebugRun t;
  t.r.section("tbl", section_code | section_absolute, 0, 8, 0x100);
  t.file(line_enter_file, "a.c");
  t.line(line_relocatable, 1, 1, 2, 0);
  t.line(line_no_section, 0, 99, 0, 0);
  t.file(line_enter_file, "b.h");
  t.line(line_relocatable, 1, 5, 0, 1);
  t.file(line_return_file, "a.c");
  t.line(line_relocatable, 1, 2, 0, 2);
  t.file(line_enter_file, "b.h");
  t.line(line_relocatable, 1, 6, 0, 3);
  t.file(line_return_file, "a.c");
  t.line(line_absolute, 2, 3, 0, 4);
  const Bytes expected = hex(empty_types) + hex(empty_symbols) +
                         hex("F8 05 00 03 61 2E 63  F0 22 00  F1 CE 22 00 07 01 02  E2 CE 22 D2 01 00 A5"
                             "F8 05 00 03 62 2E 68  F0 23 00  F1 CE 23 00 07 05 00  E2 CE 23 D2 01 01 A5"
                             "F9  F1 CE 22 00 07 02 00  E2 CE 22 D2 01 02 A5"
                             "F8 05 00 03 62 2E 68  F0 24 00  F1 CE 24 00 07 06 00  E2 CE 24 D2 01 03 A5"
                             "F9  F1 CE 22 00 07 03 00  E2 CE 22 D2 02 04 A5  F9");
  EXPECT_EQ(show(t.debug_part()), show(expected));
}

// FILE directives may return to a file whose block is no longer open (the
// header named again after the source took over): the return still writes
// its BE, and the lines after it go on under the file returned to, with the
// variable that file already has.
TEST(DebugBlocks, LinesAfterAReturnThatClosesTheOuterBlock) {
  DebugRun t;
  t.file(line_enter_file, "a.c");
  t.line(line_relocatable, 1, 1, 0, 0);
  t.file(line_enter_file, "b.h");
  t.line(line_relocatable, 1, 10, 0, 1);
  t.file(line_return_file, "a.c");
  t.line(line_relocatable, 1, 5, 0, 2);
  t.file(line_return_file, "b.h");
  t.line(line_relocatable, 1, 11, 0, 3);
  const Bytes expected = hex(empty_types) + hex(empty_symbols) +
                         hex("F8 05 00 03 61 2E 63  F0 22 00  F1 CE 22 00 07 01 00  E2 CE 22 D2 01 00 A5"
                             "F8 05 00 03 62 2E 68  F0 23 00  F1 CE 23 00 07 0A 00  E2 CE 23 D2 01 01 A5"
                             "F9  F1 CE 22 00 07 05 00  E2 CE 22 D2 01 02 A5"
                             "F9  F1 CE 23 00 07 0B 00  E2 CE 23 D2 01 03 A5"
                             "F9");
  EXPECT_EQ(show(t.debug_part()), show(expected));
}

// Every record form of BB3: the tool identification, module-level symbols,
// a public function (BB4) with its symbols and a nested block (BB6).
TEST(DebugBlocks, SymbolsScopesAndTheirForms) {
  DebugRun t;
  Assembly& a = t.r.a;
  Symbol& v = t.r.symbol("v", kind_label, t.prog, 6);
  Symbol& v2 = t.r.symbol("v2", kind_label, t.prog, 0x20);
  t.r.symbol("f", kind_public_label, t.prog, 0x10);
  number_symbols(a);  // f is I 34: N indices start at 35
  a.run.pass = pass_one;

  describe_symbol_a(a, "1.0", 54, 500, 7);
  describe_symbol_n(a, "r", 1, 2, 5);          // register 5
  describe_symbol_a(a, "p", 2, 1, 0x0302);     // register 2 with frame slot 3
  describe_symbol_a(a, "k", 16, 0, 0);         // constant
  describe_symbol_a(a, "g", 10, 1, 0x1234);    // fixed address, global
  describe_symbol_n(a, "v", 3, 8, 0);          // global at the label v
  describe_symbol_n(a, "w", 1, 7, 0);
  describe_symbol_n(a, "w", 2, 9, 4);          // class 7 is updated in place
  describe_symbol_a(a, "d", 0, 1, 0);          // declaration
  t.at(0x10);
  describe_scope(a, "f", 1, 3, 0);
  t.at(0x12);
  describe_symbol_a(a, "fr", 51, 0, 9);
  describe_symbol_a(a, "s", 10, 1, 0x40);      // fixed address inside a scope: static
  t.at(0x14);
  describe_symbol_a(a, "lab", 9, 0, 0);
  describe_symbol_n(a, "x", 1, 1, -4);         // automatic
  t.at(0x15);
  describe_scope(a, "blk", 3, 0, 0);
  describe_symbol_a(a, "y", 3, 1, 0);          // static at the location
  t.at(0x18);
  describe_scope(a, "blk", 2, 0, 0);
  t.at(0x20);
  describe_scope(a, "f", 2, 0, 0);
  describe_symbol_a(a, "v2", 5, 1, 0);         // global that describes its label

  const Bytes expected =
      hex(empty_types) +
      hex("F8 03 00 04 64 65 6D 6F"
          "F0 23 00  F1 CE 23 00 40 32 03  E2 CE 23 82 01 F4  E2 CE 23 05  E2 CE 23 07"
          "F0 24 01 72  F1 CE 24 01 02 05"
          "F0 25 01 70  F1 CE 25 01 0A 02 03"
          "F0 26 01 6B  F1 CE 26 00 10 04 00 80 01 6B"
          "F0 27 01 67  F1 CE 27 01 08  E2 CE 27 82 12 34"
          "F0 28 01 76  F1 CE 28 03 08  E2 CE 28 D2 01 06 A5"
          "F0 29 01 77  F1 CE 29 00 09 04"
          "F0 2A 01 64  F1 CE 2A 01 04"
          "F0 2B 02 76 32  F1 CE 2B 01 08  E2 CE 2B D2 01 20 A5"
          "F8 04 00 01 66 03 00 D2 01 10 A5"
          "  F0 2C 00  F1 CE 2C 00 3E 33 02  E2 CE 2C 02  E2 CE 2C 09"
          "  F0 2D 01 73  F1 CE 2D 01 03  E2 CE 2D 40"
          "  F0 2E 03 6C 61 62  F1 CE 2E 00 09 04"
          "  F0 2F 01 78  F1 CE 2F 01 01 84 FF FF FF FC"
          "  F8 06 00 03 62 6C 6B 00 00 D2 01 15 A5"
          "    F0 30 01 79  F1 CE 30 01 03  E2 CE 30 D2 01 15 A5"
          "  F9 D2 01 17 A5"
          "F9 D2 01 1F A5"
          "F9");
  EXPECT_EQ(show(t.debug_part()), show(expected));
  EXPECT_NE(v2.attributes & attribute_debug_described, 0u);
  EXPECT_EQ(v.attributes & attribute_debug_described, 0u);
}

// SYMBOL_A takes its location again in the later passes, rounded up to the
// section's alignment unit; SYMBOL_B takes the plain location.
TEST(DebugBlocks, LaterPassesTakeTheLocationAgain) {
  DebugRun t;
  Assembly& a = t.r.a;
  t.prog->alignment = 4;
  a.run.pass = pass_one;
  const int32_t scope = describe_scope(a, "f", 1, 0, 0);
  const int32_t record = describe_symbol_a(a, "s", 3, 1, 0);
  ASSERT_GE(scope, 0);
  ASSERT_GE(record, 0);
  a.run.pass = pass_two;
  t.at(5);
  locate_scope(a, static_cast<uint32_t>(scope), false);
  locate_symbol_a(a, static_cast<uint32_t>(record));
  EXPECT_EQ(a.debug.symbols.scopes[0].start.offset, 5u);
  EXPECT_EQ(a.debug.symbols.records[0].location.offset, 8u);
  t.at(12);
  locate_symbol_a(a, static_cast<uint32_t>(record));
  EXPECT_EQ(a.debug.symbols.records[0].location.offset, 12u);
  locate_scope(a, static_cast<uint32_t>(scope), true);
  EXPECT_EQ(a.debug.symbols.scopes[0].end.offset, 12u);
}

}  // namespace
}  // namespace koral
