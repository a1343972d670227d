// Sections and location counters: ALIGN in every pass, the label alignment
// exemption, and the element count a storage label keeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "directives/directive_run.h"

namespace koral {
namespace {

using directive_test::DirectiveRun;
using directive_test::hex;
using directive_test::Reports;
using directive_test::show;

// An ALIGN operand that pass 1 rejects (0, or above 2^31) counts as 1 in the
// later passes too: no fill, the warning once.
struct AlignCase {
  const char* operand;
  Reports reports;
};

TEST(Sections, RejectedAlignOperandIsOneInEveryPass) {
  const AlignCase cases[] = {
      {"0", {{3, 508}}},
      {"-1", {{3, 508}}},
      {"0x80000001", {{3, 508}}},
      {"0x90000000", {{3, 508}}},
      {"1", {}},
  };
  for (const AlignCase& c : cases) {
    DirectiveRun run;
    run.assemble(std::string("prog SECTION CODE\n DB 1\n ALIGN ") + c.operand + "\nlab DB 2\n END\n", {"-Fc"});
    EXPECT_EQ(run.reports(), c.reports) << c.operand << "\n" << run.stderr_text;
    EXPECT_EQ(run.section("prog")->size, 2u) << c.operand;
    EXPECT_EQ(run.symbol("lab")->value, 1) << c.operand;
    EXPECT_EQ(run.data_part(), hex("E5 01 E2 D0 01 D2 01 E4 01 01 E4 01 02")) << c.operand << "\n"
                                                                            << show(run.data_part());
  }
}

// An operand that failed in pass 1 (a floating zero divisor) is not judged:
// error 201 without warning 508, and no fill.
TEST(Sections, AlignOperandInErrorGetsNoWarning) {
  DirectiveRun run;
  run.assemble("prog SECTION CODE\n DB 1\n ALIGN 2.0/0.0\nlab DB 2\n END\n");
  Reports reports = run.reports();
  EXPECT_NE(std::find(reports.begin(), reports.end(), std::make_pair(3, 201)), reports.end()) << run.stderr_text;
  EXPECT_EQ(std::find(reports.begin(), reports.end(), std::make_pair(3, 508)), reports.end()) << run.stderr_text;
  EXPECT_EQ(run.symbol("lab")->value, 1);
}

// ALIGN 2^31 is accepted: from offset 1 it fills 0x7FFFFFFF bytes.
TEST(Sections, AlignOfTwoToThe31IsAccepted) {
  DirectiveRun run;
  run.assemble("prog SECTION CODE\n DB 1\n ALIGN 0x80000000\n END\n");
  EXPECT_EQ(run.reports(), Reports{});
  EXPECT_EQ(run.section("prog")->size, 0x80000000u);
}

// A non-power of two is a valid ALIGN operand; the next label after it is not
// moved by the section's label alignment, the one after that is.
TEST(Sections, AlignToThreeAndTheLabelExemption) {
  DirectiveRun run;
  run.assemble("prog SECTION CODE ALIGN=,8\n DB 1\n ALIGN 3\nfirst DB 2\nsecond DB 3\n END\n", {"-Fc0xEE"});
  EXPECT_EQ(run.reports(), Reports{});
  EXPECT_EQ(run.symbol("first")->value, 3);
  EXPECT_EQ(run.symbol("second")->value, 8);
  EXPECT_EQ(run.data_part(), hex("E5 01 E2 D0 01 D2 01 E4 01 01 E4 02 EE EE E2 D0 01 D2 01 03 A5 E4 01 02 "
                                 "E4 04 EE EE EE EE E2 D0 01 D2 01 08 A5 E4 01 03"))
      << show(run.data_part());
}

// The element count of a storage label is its operand, also when the
// reservation itself is one element.
struct CountCase {
  const char* statement;
  int32_t count;
  uint32_t size;
};

TEST(Sections, StorageLabelKeepsItsOperandAsCount) {
  const CountCase cases[] = {
      {"buf DSB 0", 0, 1},
      {"buf DSW -2", -2, 2},
      {"buf DSL 3", 3, 12},
  };
  for (const CountCase& c : cases) {
    DirectiveRun run;
    run.assemble(std::string("ram SECTION DATA\n") + c.statement + "\n END\n");
    EXPECT_EQ(run.symbol("buf")->data_size, c.count) << c.statement;
    EXPECT_EQ(run.section("ram")->size, c.size) << c.statement;
  }
}


// Overlap of absolute sections: a section ends at start + size - 1, so an
// empty one at a nonzero address ends just below its start (only at address
// 0 does an empty section end at 0).
struct OverlapCase {
  const char* source;
  Reports reports;
};

TEST(Sections, AbsoluteSectionOverlap) {
  const OverlapCase cases[] = {
      {"a1 SECTION CODE ABS=0x100\n DFB 0x100, 0\na2 SECTION CODE ABS=0x180\n DFB 0x100, 1", {{3, 217}}},
      {"a1 SECTION CODE ABS=0x100\n DFB 0x100, 0\na2 SECTION CODE ABS=0x200\n DFB 0x100, 1", {}},
      {"a1 SECTION CODE ABS=0x200\n DFB 0x100, 0\na2 SECTION CODE ABS=0x100\n DFB 0x100, 1", {}},
      {"a1 SECTION CODE ABS=0x100\n DFB 0x100, 0\na2 SECTION CODE ABS=0x140\n DFB 0x10, 1", {{3, 217}}},
      {"a1 SECTION CODE ABS=0x140\n DFB 0x10, 0\na2 SECTION CODE ABS=0x100\n DFB 0x100, 1", {{3, 217}}},
      // An empty section right after a full one.
      {"a1 SECTION CODE ABS=0x100\n DFB 0x100, 0\na2 SECTION CODE ABS=0x200", {{3, 217}}},
      // An empty section at the start of a later one.
      {"a1 SECTION CODE ABS=0x300\na2 SECTION CODE ABS=0x300\n DFB 0x100, 1", {}},
      // Two empty sections at address 0 both end at 0.
      {"a1 SECTION CODE ABS=0\na2 SECTION CODE ABS=0", {{2, 217}}},
      // Each SECTION statement of the later section is tested again (a
      // re-opened absolute section also warns in pass 1).
      {"a1 SECTION CODE ABS=0x100\n DFB 0x100, 0\na2 SECTION CODE ABS=0x180\n DB 1\na1 SECTION CODE\na2 SECTION CODE",
       {{3, 217}, {5, 517}, {6, 517}, {6, 217}}},
  };
  for (const OverlapCase& c : cases) {
    DirectiveRun run;
    run.assemble(std::string(c.source) + "\n END\n", {"-Xt"});
    EXPECT_EQ(run.reports(), c.reports) << c.source << "\n" << run.stderr_text;
  }
}
}  // namespace
}  // namespace koral
