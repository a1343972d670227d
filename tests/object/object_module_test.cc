// Whole modules: the head phase, the finish and the part-offset table.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "object/object_writer.h"
#include "object_test_support.h"
#include "symbols/numbering.h"

namespace koral {
namespace {

using namespace object_test;

// demo.asm: one relocatable LARGE CODE section prog with the public label
// start at offset 0 and three plain code bytes.
TEST(ObjectModule, WorkedExampleByteForByte) {
  ObjectRun r;
  Section& prog = r.section("prog", section_code, 24, 3);
  r.symbol("start", kind_public_label, &prog, 0);
  number_symbols(r.a);
  object_begin(r.a);
  EXPECT_EQ(r.a.object.position, 241u);  // the head ends with BB10
  r.enter(prog);
  const uint8_t code[] = {0x12, 0x34, 0x56};
  object_load_bytes(r.a, code, 3);
  const Bytes expected =
      hex("E0 05 4B 4F 52 41 4C 04 64 65 6D 6F"
          "EC 08 03 CC"
          "E2 D7 00 84 00 00 00 50  E2 D7 01 84 00 00 00 66"
          "E2 D7 02 84 00 00 00 A4  E2 D7 03 84 00 00 00 B4"
          "E2 D7 04 84 00 00 00 C9  E2 D7 05 84 00 00 00 F1"
          "E2 D7 06 84 00 00 00 FD  E2 D7 07 84 00 00 00 FD"
          "F0 20 00"
          "F1 CE 20 00 25 04 00"
          "F1 CE 20 00 26 02"
          "F1 CE 20 00 27 02"
          "F0 21 00"
          "F1 CE 21 00 32 82 07 EA 0C 04 0F 1E 00"
          "F1 CE 21 00 33 11") +
      text_bytes("asmKORAL demo.asm") +
      hex("F1 CE 21 00 34 00"
          "F1 CE 21 00 35 02"
          "F1 CE 21 00 36 82 01 9C 01 00 C2"
          "E6 01 C3 D0 04 70 72 6F 67"
          "E7 01 01"
          "E2 D3 01 03"
          "E8 22 05 73 74 61 72 74"
          "F1 C9 22 0F 13 00"
          "E2 C9 22 D2 01 00 A5"
          "F8 0A 00 08 64 65 6D 6F 2E 61 73 6D 00 82 01 9C 04 31 2E 30 62"
          "   82 07 EA 0C 04 0F 1E 00"
          "F8 0B 00 00 01 01 D2 01 F9 03"
          "F9"
          "E5 01"
          "E2 D0 01 D2 01"
          "E4 03 12 34 56"
          "E1");
  const Bytes module = r.finish();
  EXPECT_EQ(show(module), show(expected));
  EXPECT_EQ(r.a.object.status_offset, 146u);
}

// No section, no symbol: W2, W3 and W5 stay 0 and the table follows the
// module head of the name "x" at offset 13.
TEST(ObjectModule, EmptySourceGivesHeadBb10AndModuleEnd) {
  ObjectRun r("x");
  object_begin(r.a);
  const Bytes expected =
      hex("E0 05 4B 4F 52 41 4C 01 78"
          "EC 08 03 CC"
          "E2 D7 00 84 00 00 00 4D  E2 D7 01 84 00 00 00 63"
          "E2 D7 02 84 00 00 00 00  E2 D7 03 84 00 00 00 00"
          "E2 D7 04 84 00 00 00 9E  E2 D7 05 84 00 00 00 00"
          "E2 D7 06 84 00 00 00 B9  E2 D7 07 84 00 00 00 B9"
          "F0 20 00  F1 CE 20 00 25 04 00  F1 CE 20 00 26 02  F1 CE 20 00 27 02"
          "F0 21 00  F1 CE 21 00 32 82 07 EA 0C 04 0F 1E 00  F1 CE 21 00 33 0E") +
      text_bytes("asmKORAL x.asm") +
      hex("F1 CE 21 00 34 00  F1 CE 21 00 35 02  F1 CE 21 00 36 82 01 9C 01 00 C2"
          "F8 0A 00 05 78 2E 61 73 6D 00 82 01 9C 04 31 2E 30 62 82 07 EA 0C 04 0F 1E 00"
          "F9"
          "E1");
  EXPECT_EQ(show(r.finish()), show(expected));
  EXPECT_EQ(r.a.object.part_table_offset, 13u);
}

// Sections of every kind, public symbols with and without a section value,
// referenced and unreferenced externals, and the BB11 blocks.
struct HeadFixture {
  ObjectRun r;
  Section* abs;
  Section* dat;
  Section* rom;
  Symbol* local;

  HeadFixture() {
    abs = &r.section("abs", section_absolute | section_code, 0, 0x20, 0x1000);
    dat = &r.section("dat", section_data, 8, 300, 0, 2);
    rom = &r.section("rom", section_romdata, 16, 0, 0, 4);
    r.section("ghost", 0, 0, 0);  // referenced, never defined by SECTION
    Symbol& e = r.symbol("e", kind_external);
    e.model = 16;
    e.references.count = 1;
    r.symbol("f", kind_external).references.count = 2;
    r.symbol("g", kind_external).model = 8;  // never referenced
    Symbol& p = r.symbol("p", kind_public_label, abs, 0x1008);
    p.attributes = 0x20;
    p.data_size = 4;
    r.symbol("q", kind_public_equ, nullptr, 300);
    Symbol& q = r.symbol("r", kind_public_variable, dat, 0x10);
    q.attributes = 0x10;
    q.data_size = 2;
    local = &r.symbol("l", kind_label, dat, 5);
    r.symbol("m", kind_equ, nullptr, -1);
    number_symbols(r.a);
  }

  Bytes part(const Bytes& module, int k, int next) {
    uint32_t table = r.a.object.part_table_offset;
    return slice(module, part_offset(module, table, k), part_offset(module, table, next));
  }
};

const char* const head_sections =
    "E6 01 C1 D3 D0 03 61 62 73  E2 D3 01 20  E2 CC 01 82 10 00"
    "E6 02 DA C3 C4 03 64 61 74  E7 02 02  E2 D3 02 82 01 2C"
    "E6 03 D9 C3 D2 03 72 6F 6D  E7 03 04  E2 D3 03 00";
const char* const head_symbols =
    "E8 22 01 70  F1 C9 22 05 13 04  E2 C9 22 D2 01 08 A5"
    "E8 23 01 71  F1 C9 23 0F 13 00  E2 C9 23 82 01 2C"
    "E8 24 01 72  F1 C9 24 03 13 02  E2 C9 24 D2 02 10 A5"
    "E9 0C 01 65  F1 D8 0C 0F 80 01"
    "E9 0D 01 66  F1 D8 0D 0F 80 00";
const char* const section_blocks =
    "F8 0B 00 00 01 01 82 10 00 F9 20"
    "F8 0B 00 00 02 02 D2 02 F9 82 01 2C"
    "F8 0B 00 00 03 03 D2 03 F9 00"
    "F9";

TEST(ObjectModule, SectionAndExternalParts) {
  HeadFixture h;
  object_begin(h.r.a);
  const Bytes module = h.r.finish();
  EXPECT_EQ(show(h.part(module, part_sections, part_externals)), show(hex(head_sections)));
  EXPECT_EQ(show(h.part(module, part_externals, part_debug)), show(hex(head_symbols)));
  const Bytes debug = h.part(module, part_debug, part_end);
  const Bytes bb10_head = hex("F8 0A 00 08") + text_bytes("demo.asm") +
                          hex("00 82 01 9C 04 31 2E 30 62 82 07 EA 0C 04 0F 1E 00");
  EXPECT_EQ(show(debug), show(bb10_head + hex(section_blocks)));
  EXPECT_EQ(h.local->object_index, 0);
}

// BB1 and BB3 of a source without debug directives, module demo.
const char* const empty_debug_blocks = "F8 01 00 04 64 65 6D 6F F9  F8 03 00 04 64 65 6D 6F F9";

// With -g or -g1 the local label and the EQU symbol follow the BB10 head
// with the N indices after the last public one; -g puts the (here empty)
// type and symbol blocks first and leaves out a label its debug blocks
// described.
TEST(ObjectModule, LocalSymbolsUnderDebugOptions) {
  const char* const label = "F0 25 01 6C  F1 CE 25 0F 13 01 00  E2 CE 25 D2 02 05 A5";
  const char* const equ = "F0 26 01 6D  F1 CE 26 0F 13 01 00  E2 CE 26 84 FF FF FF FF";
  const char* const equ_after_described = "F0 25 01 6D  F1 CE 25 0F 13 01 00  E2 CE 25 84 FF FF FF FF";
  struct Case {
    uint32_t option;
    bool described;
    Bytes locals;
  };
  const Case cases[] = {
      {opt_debug, false, hex(label) + hex(equ)},
      {opt_debug_second_form, false, hex(label) + hex(equ)},
      {opt_debug, true, hex(equ_after_described)},
  };
  for (const Case& c : cases) {
    HeadFixture h;
    h.r.a.run.options |= c.option;
    if (c.described) h.local->attributes |= attribute_debug_described;
    object_begin(h.r.a);
    const Bytes module = h.r.finish();
    const Bytes blocks = c.option == opt_debug ? hex(empty_debug_blocks) : Bytes{};
    const Bytes expected = blocks + hex("F8 0A 00 08") + text_bytes("demo.asm") +
                           hex("00 82 01 9C 04 31 2E 30 62 82 07 EA 0C 04 0F 1E 00") + c.locals +
                           hex(section_blocks);
    EXPECT_EQ(show(h.part(module, part_debug, part_end)), show(expected)) << c.option << " " << c.described;
    if (!c.described) {
      EXPECT_EQ(h.local->object_index, 37);
    }
  }
}

// A tool identification replaces the default tool number and version marks:
// digits give their value, letters their letter code, other characters are
// skipped, at most three marks.
TEST(ObjectModule, ToolIdentificationOfTheDebugDirectives) {
  struct Case {
    uint32_t tool;
    const char* version;
    const char* bytes;
  };
  const Case cases[] = {
      {7, "2.1a", "07 02 01 C1"},
      {300, "v-9", "82 01 2C D6 09"},
      {1, "1.23.4", "01 01 02 03"},
      {5, "", "05"},
  };
  for (const Case& c : cases) {
    ObjectRun r;
    r.a.object.tool = ToolIdentification{true, c.tool, c.version};
    object_begin(r.a);
    const Bytes module = r.finish();
    const Bytes atn54 = hex("F1 CE 21 00 36") + hex(c.bytes);
    const uint32_t w4 = part_offset(module, 16, part_debug);  // no section or symbol part
    EXPECT_EQ(show(slice(module, w4 - static_cast<uint32_t>(atn54.size()), w4)), show(atn54))
        << c.version;
  }
}

// The BB10 head names the source file with "/" separators; a FILE directive's
// name replaces it exactly as written, the same text its BB5 block carries.
TEST(ObjectModule, AssemblerBlockNamesTheSourceOrTheFirstFileName) {
  struct Case {
    const char* source;
    const char* file_directive;
    const char* shown;
  };
  const Case cases[] = {
      {"src\\demo.asm", "", "src/demo.asm"},
      {"src\\demo.asm", "lib\\a.c", "lib\\a.c"},
  };
  for (const Case& c : cases) {
    ObjectRun r;
    r.a.settings.source_name = c.source;
    r.a.object.debug_source_name = c.file_directive;
    object_begin(r.a);
    const Bytes module = r.finish();
    const std::string shown = c.shown;
    const Bytes head = hex("F8 0A 00") + Bytes{static_cast<uint8_t>(shown.size())} + text_bytes(shown) +
                       hex("00 82 01 9C 04 31 2E 30 62");
    const uint32_t w4 = part_offset(module, 16, part_debug);
    EXPECT_EQ(show(slice(module, w4, w4 + static_cast<uint32_t>(head.size()))), show(head)) << c.shown;
  }
}

// Attributes of the environment part: years before 92 count from 2000; the
// status byte says 2 when there were errors, warnings or not.
TEST(ObjectModule, CreationYearAndStatusByte) {
  struct Case {
    int year;
    uint32_t errors, warnings;
    uint32_t at;
    const char* bytes;
  };
  const Case cases[] = {
      {91, 0, 0, 105, "F1 CE 21 00 32 82 08 2B 01 04 0F 1E 00"},  // 2091, January
      {126, 2, 3, 141, "F1 CE 21 00 34 02"},
  };
  for (const Case& c : cases) {
    ObjectRun r;
    r.a.run.time_stamp.tm_year = c.year;
    if (c.year == 91) r.a.run.time_stamp.tm_mon = 0;
    object_begin(r.a);
    r.a.diag.error_count = c.errors;
    r.a.diag.warning_count = c.warnings;
    const Bytes module = r.finish();
    const Bytes expected = hex(c.bytes);
    EXPECT_EQ(show(slice(module, c.at, c.at + static_cast<uint32_t>(expected.size()))), show(expected)) << c.bytes;
  }
}

// A record longer than the 8192-byte output block goes out whole, in order.
TEST(ObjectModule, RecordLongerThanTheOutputBlock) {
  ObjectRun r;
  std::string command(9000, 'c');
  for (std::size_t i = 0; i < command.size(); ++i) command[i] = static_cast<char>('a' + i % 26);
  r.a.run.command_line = command;
  object_begin(r.a);
  const Bytes module = r.finish();
  const Bytes atn51 = hex("F1 CE 21 00 33 DF 23 28") + text_bytes(command);
  EXPECT_EQ(slice(module, 118, 118 + 9008), atn51);
  EXPECT_EQ(show(slice(module, 9126, 9132)), show(hex("F1 CE 21 00 34 00")));
  EXPECT_EQ(module.back(), 0xE1);
  EXPECT_EQ(part_offset(module, 16, part_end), module.size() - 1);
}

TEST(ObjectModule, NoObjectOptionCreatesNoFile) {
  ObjectRun r;
  r.a.run.options |= opt_no_object;
  Section& code = r.section("c", section_code, 16, 4);
  object_begin(r.a);
  r.enter(code);
  const uint8_t bytes[] = {1, 2, 3, 4};
  object_load_bytes(r.a, bytes, 4);
  object_skip(r.a, 20, true);
  object_finish(r.a);
  struct stat st;
  EXPECT_NE(::stat(r.a.settings.object_name.c_str(), &st), 0);
}

}  // namespace
}  // namespace koral
