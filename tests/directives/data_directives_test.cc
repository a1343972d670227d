// The data, fill, storage and floating-data directives: sizes and label
// marks, their diagnostics, and the data part they give the object module.
#include <gtest/gtest.h>

#include <string>

#include "directives/data_support.h"
#include "directives/directives.h"
#include "directives/directive_run.h"
#include "source/statement_kinds.h"
#include "source/statement_record.h"
#include "source/token_file.h"

namespace koral {
namespace {

using directive_test::Bytes;
using directive_test::DirectiveRun;
using directive_test::hex;
using directive_test::Reports;
using directive_test::show;

// --- sizes and label data marks ---------------------------------------------------------

struct MarkCase {
  const char* section;    // CODE or DATA
  const char* statement;  // after the label "lab"
  uint32_t size;          // bytes the statement occupies
  uint32_t mark;          // data-type mark on the label
  int32_t count;          // element count on the label
};

TEST(DataDirectives, SizesAndLabelMarks) {
  const MarkCase cases[] = {
      {"CODE", "DB 1, \"ABC\", 2", 5, 0x10, 5},
      {"CODE", "DB \"\"", 0, 0x10, 0},
      {"CODE", "DL 1", 4, 0x40, 1},
      {"CODE", "DD 1, 2", 8, 0x40, 2},
      {"CODE", "DFB 5, 1", 5, 0x10, 5},
      {"CODE", "DFB 3, \"AB\"", 6, 0x10, 3},
      {"CODE", "DFW 6, 1", 12, 0x10, 6},
      {"CODE", "DFP 2, 1", 6, 0x10, 2},
      {"CODE", "DFL 2, 1", 8, 0x10, 2},
      {"CODE", "DFD 3, 1", 12, 0x10, 3},
      {"DATA", "DSB 7", 7, 0x10, 7},
      {"DATA", "DSP 2", 6, 0x40, 2},
      {"DATA", "DSL 2", 8, 0x40, 2},
      {"DATA", "DSD 1", 4, 0x40, 1},
      {"CODE", "FDATAS 1.0F, 2.0F", 8, 0x100, 2},
      {"CODE", "FDATAD 1.0", 8, 0x200, 1},
      {"CODE", "FDATAX 1.0L, 2.0L", 20, 0x400, 2},
  };
  for (const MarkCase& c : cases) {
    DirectiveRun run;
    std::string source = std::string("sec SECTION ") + c.section + "\n DB 9\nlab " + c.statement + "\n END\n";
    if (std::string(c.section) == "DATA") source = std::string("sec SECTION DATA\n DSB 1\nlab ") + c.statement + "\n END\n";
    EXPECT_EQ(run.assemble(source), 0) << c.statement << "\n" << run.stderr_text;
    EXPECT_EQ(run.section("sec")->size, 1 + c.size) << c.statement;
    Symbol* lab = run.symbol("lab");
    ASSERT_NE(lab, nullptr) << c.statement;
    EXPECT_EQ(lab->kind, kind_label) << c.statement;
    EXPECT_EQ(lab->value, 1) << c.statement;
    EXPECT_EQ(lab->attributes & 0x770u, c.mark) << c.statement;
    EXPECT_EQ(lab->data_size, c.count) << c.statement;
  }
}

TEST(DataDirectives, StorageCountFromLabelDifference) {
  DirectiveRun run;
  // A difference of two labels of the section is an absolute count.
  EXPECT_EQ(run.assemble("ram SECTION DATA\nfirst DSB 3\nlast DSB 1\nbuf DSW last-first\n END\n"), 0)
      << run.stderr_text;
  EXPECT_EQ(run.section("ram")->size, 3u + 1u + 2u * 3u);
  EXPECT_EQ(run.symbol("buf")->value, 4);
}

// --- diagnostics ------------------------------------------------------------------------------

struct ReportCase {
  std::string source;  // the statements after "prog SECTION CODE" (line 1)
  Reports expected;
};

TEST(DataDirectives, Diagnostics) {
  const ReportCase cases[] = {
      {" DB 256", {{2, 501}}},
      {" DB 300, 400", {{2, 501}, {2, 501}}},  // pass 1 tests every operand
      {" DW -32769", {{2, 501}}},
      {" DP 0xFFFFFF, -8388608", {}},
      {" DP 0x1000000", {{2, 501}}},
      {" DP -8388609", {{2, 501}}},
      {" DL 0x7FFFFFFF, -0x7FFFFFFF, 65536", {}},
      {" DB 'AB'", {{2, 501}}},
      {" DB \"" + std::string(511, 'x') + "\"", {}},
      {" DB \"" + std::string(512, 'x') + "\"", {{2, 209}}},
      {" DFB 2, \"" + std::string(512, 'x') + "\"", {{2, 209}}},
      // Relocatable values: the bits of the known part count.
      {"lab DB lab+300", {{2, 501}}},
      {"lab DB lab+255", {}},
      {" EXTERN ext\n DB ext", {}},
      {"lab DW lab+70000", {{2, 501}}},
      {"lab DP lab+70000", {}},
      {"lab DFB 1, lab+256", {{2, 501}}},
      // The width test of a relocatable fill value does not depend on
      // warnings the statement had before.
      {"lab DFB -1, lab+256", {{2, 501}, {2, 501}}},
      {"ram SECTION DATA\nlab DFW 2, lab+0x10000", {{3, 505}, {3, 501}}},
      // Fills.
      {" DFB 2, 256", {{2, 501}}},
      {" DFW 2, 65536", {{2, 501}}},
      {" DFP 1, 0x1000000", {{2, 501}}},
      {" DFL 1, -1", {}},
      // Not evaluable: a multiply defined symbol.
      {"md:\nmd:\n DB md", {{3, 203}, {4, 206}}},
      {"md:\nmd:\n DW 1, md", {{3, 203}, {4, 206}}},
      {"md:\nmd:\n DFW 2, md", {{3, 203}, {4, 204}}},
      {"md:\nmd:\n DFB md, 1", {{3, 203}, {4, 220}}},
      {"md:\nmd:\n DSB md", {{3, 203}, {4, 505}, {4, 206}}},
      {"md:\nmd:\n FDATAD md", {{3, 203}, {4, 518}, {4, 206}}},
      // Known only to the linker, or never.
      {" DB nowhere", {{2, 221}}},
      {" DW nowhere", {{2, 221}}},
      {" EXTERN ext\n FDATAS ext", {{3, 518}, {3, 206}}},
      // Sections.
      {" DSB 1", {{2, 505}}},
      {"ram SECTION DATA\n DFW 1, 1", {{3, 505}}},
      {"ram SECTION DATA\n FDATAS 1.0F", {}},
      {"ram SECTION DATA\n DSW -4", {{3, 501}}},
      {"rom SECTION ROMDATA\n DB 1\n DFL 1, 2", {}},
  };
  for (const ReportCase& c : cases) {
    DirectiveRun run;
    run.assemble("prog SECTION CODE\n" + c.source + "\n END\n");
    EXPECT_EQ(run.reports(), c.expected) << c.source << "\n" << run.stderr_text;
  }
}

TEST(DataDirectives, NoSectionIsError215) {
  for (const char* statement : {" DB 1", " DW 1", " DFB 2, 1", " DFW 2, 1", " DSB 1", " FDATAS 1.0F"}) {
    DirectiveRun run;
    EXPECT_EQ(run.assemble(std::string(statement) + "\n END\n"), 16) << statement;
    EXPECT_EQ(run.reports(), (Reports{{1, 215}})) << statement << "\n" << run.stderr_text;
  }
}

// --- the data part of the object module ---------------------------------------------------

struct DataPartCase {
  const char* source;
  const char* data_part;
};

TEST(DataDirectives, DataPart) {
  const DataPartCase cases[] = {
      // Absolute values of one statement are one run; string characters are
      // loaded one by one; relocated items end a run.
      {"prog SECTION CODE\n DB 1, \"AB\", 2", "E5 01 E2 D0 01 D2 01 E4 01 01 E4 01 41 E4 01 42 E4 01 02"},
      {"prog SECTION CODE\nlab DW 1, lab, 2",
       "E5 01 E2 D0 01 D2 01 E4 02 01 00 E4 BC D2 01 00 A5 02 BD E4 02 02 00"},
      {"prog SECTION CODE\n DW $", "E5 01 E2 D0 01 D2 01 E4 BC D0 01 02 BD"},
      {"prog SECTION CODE\n DB \"\"", "E5 01 E2 D0 01 D2 01"},
      // Absolute sections load with LD and place by address.
      {"fixed SECTION CODE ABS=0x100\n DB 1, 2", "E5 01 E2 D0 01 82 01 00 ED 02 01 02"},
      {"fixed SECTION DATA ABS=0x200\n DSB 4", "E5 01 E2 D0 01 82 02 00 E2 D0 01 82 02 04"},
      // Fills: the repeat record and one element.
      {"prog SECTION CODE\n DB 0\n DFB 0, 7\n DB 1", "E5 01 E2 D0 01 D2 01 E4 01 00 E4 01 01"},
      {"prog SECTION CODE\n DB 0\n EXTERN ext\n DFP 2, ext",
       "E5 01 E2 D0 01 D2 01 E4 01 00 F7 02 E4 BC D8 0C 03 BD"},
      // Storage: a gap that is never filled, even with -Fc.
      {"prog SECTION CODE\n DB 0\n DSW 2\n DB 1",
       "E5 01 E2 D0 01 D2 01 E4 01 00 E2 D0 01 D2 01 05 A5 E4 01 01"},
      // Floating data: one run per statement.
      {"prog SECTION CODE\n FDATAS 1.0F, -2.0F", "E5 01 E2 D0 01 D2 01 E4 08 00 00 80 3F 00 00 00 C0"},
  };
  for (const DataPartCase& c : cases) {
    DirectiveRun run;
    run.assemble(std::string(c.source) + "\n END\n", {"-Fc"});
    EXPECT_EQ(run.data_part(), hex(c.data_part)) << c.source << "\n" << show(run.data_part()) << "\n"
                                                 << run.stderr_text;
  }
}

TEST(DataDirectives, LabelAlignmentGapComesBeforeTheData) {
  DirectiveRun run;
  EXPECT_EQ(run.assemble("prog SECTION CODE ALIGN=,4\n DB 1\nlab DB 2\n END\n", {"-Fc"}), 0)
      << run.stderr_text;
  EXPECT_EQ(run.symbol("lab")->value, 4);
  EXPECT_EQ(run.data_part(), hex("E5 01 E2 D0 01 D2 01 E4 01 01 E4 03 00 00 00 E2 D0 01 D2 01 04 A5 E4 01 02"))
      << show(run.data_part());
}

TEST(DataDirectives, LongFillStringSplitsIntoLoadRecords) {
  DirectiveRun run;
  run.assemble("prog SECTION CODE\n DB 0\n DFB 1, \"" + std::string(300, 'x') + "\"\n END\n");
  Bytes want = hex("E5 01 E2 D0 01 D2 01 E4 01 00 E4 7F");
  want.insert(want.end(), 127, 'x');
  want.insert(want.end(), {0xE4, 0x7F});
  want.insert(want.end(), 127, 'x');
  want.insert(want.end(), {0xE4, 0x2E});
  want.insert(want.end(), 46, 'x');
  EXPECT_EQ(run.data_part(), want);
}

// --- the 10000-byte limit, on a statement built by hand -----------------------------------

TEST(DataDirectives, SizeLimitOfOneStatement) {
  auto a = std::make_unique<Assembly>();
  a->sources.files.push_back(SourceFile{"t.asm", "t.asm"});
  EXPECT_EQ(limited_data_size(*a, 10000), 10000u);
  EXPECT_FALSE(a->diag.warning_mark);
  EXPECT_EQ(limited_data_size(*a, 10001), 10000u);
  EXPECT_TRUE(a->diag.warning_mark);
}

TEST(DataDirectives, DbAbove10000BytesCountsAs10000) {
  auto a = std::make_unique<Assembly>();
  a->sources.files.push_back(SourceFile{"t.asm", "t.asm"});
  Section section;
  section.kind = section_code;
  a->run.section = &section;
  a->run.pass = pass_one;
  a->run.statement_kind = statement_db;
  start_record(*a);
  StatementDescriptor& d = a->statement.d;
  d.kind = statement_db;
  d.kind_byte = alloc_body(*a, 1);
  // Twenty strings of 511 characters: 10220 bytes.
  uint32_t previous = 0;
  for (int i = 0; i < 20; ++i) {
    uint32_t at = alloc_body(*a, sizeof(DataItem));
    DataItem* item = a->token_file.item<DataItem>(at);
    item->type = 0;
    item->length = 511;
    if (previous) a->token_file.item<DataItem>(previous)->next = static_cast<int32_t>(at - previous);
    else d.first_item = at;
    previous = at;
  }
  db_handler(*a);
  EXPECT_FALSE(a->diag.error_mark);
  EXPECT_TRUE(a->diag.warning_mark);
  EXPECT_EQ(a->run.statement_size, 10000u);
}

}  // namespace
}  // namespace koral
