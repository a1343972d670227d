// EQU, PUBLIC and EXTERN: the kinds a name goes through, the values EQU
// gives, and the diagnostics of the three directives.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "directives/directive_run.h"

namespace koral {
namespace {

using directive_test::DirectiveRun;
using directive_test::hex;
using directive_test::Reports;
using directive_test::show;

constexpr int32_t gone = -1;  // no live symbol of the name

struct SymbolCase {
  const char* source;  // "prog SECTION CODE" is line 1
  int32_t kind;        // kind of S after the run, or gone
  int32_t value;       // checked for EQU names
  Reports reports;
};

TEST(SymbolDirectives, KindsValuesAndDiagnostics) {
  const SymbolCase cases[] = {
      // EQU.
      {"S EQU 5*3", kind_equ, 15, {}},
      {" PUBLIC S\nS EQU 5", kind_public_equ, 5, {}},
      {"S EQU 5\n PUBLIC S", kind_public_equ, 5, {}},
      {" DB S\nS EQU 7", kind_equ, 7, {}},
      {"S:\nS EQU 2", kind_label, 0, {{3, 203}}},
      {"S EQU S", gone, 0, {{2, 203}}},
      {"LAB DB 1\nS EQU LAB", gone, 0, {{3, 226}}},
      {"S EQU $", kind_equ, 0, {{2, 226}}},  // reported after S was defined
      {"S EQU nowhere", kind_equ, 0, {{2, 221}}},
      {" EXTERN EX\nS EQU EX", kind_equ, 0, {{3, 226}}},
      {"S EQU SIZEOF(prog)", kind_equ, 0, {{2, 222}}},
      {"T1 EQU 2\nS EQU T1*4+1", kind_equ, 9, {}},
      // PUBLIC.
      {" PUBLIC S\nS:\n DB 1", kind_public_label, 0, {}},
      {" PUBLIC S\nS DB 1", kind_public_variable, 0, {}},
      {"S:\n DB 1\n PUBLIC S", kind_public_label, 0, {}},
      {" PUBLIC S", gone, 0, {{2, 221}}},
      {" DB S\n PUBLIC S", gone, 0, {{2, 206}, {3, 221}}},
      {" EXTERN S\n PUBLIC S\n DB S", kind_external, 0, {{3, 221}}},
      // EXTERN.
      {" EXTERN S\n DB S", kind_external, 0, {}},
      {" EXTERN S", gone, 0, {}},
      {" DB S\n EXTERN S", kind_external, 0, {}},
      {" EXTERN S\nS DB 1", kind_label, 0, {{2, 203}}},
      {" PUBLIC S\n EXTERN S\nS:\n DB 1", kind_public_label, 0, {}},
      {" PUBLIC S\n EXTERN S\n DB S", kind_external, 0, {{2, 221}}},
      {" EXTERN $", gone, 0, {{2, 200}}},
      {" EXTERN LARGE S\n DB S", kind_forward, 0, {{2, 216}, {3, 221}}},
  };
  for (const SymbolCase& c : cases) {
    DirectiveRun run;
    run.assemble("prog SECTION CODE\n" + std::string(c.source) + "\n END\n");
    EXPECT_EQ(run.reports(), c.reports) << c.source << "\n" << run.stderr_text;
    Symbol* s = run.symbol("S");
    EXPECT_EQ(s ? s->kind : gone, c.kind) << c.source;
    if (s && (c.kind == kind_equ || c.kind == kind_public_equ)) {
      EXPECT_EQ(s->value, c.value) << c.source;
    }
  }
}

TEST(SymbolDirectives, ExternalSizeAttribute) {
  struct Row {
    const char* statement;
    std::vector<std::string> options;
    int32_t model;
    const char* attribute_byte;  // last byte of the ATX record
  };
  const Row rows[] = {
      {" EXTERN ext", {}, 16, "01"},
      {" EXTERN SMALL ext", {}, 8, "02"},
      {" EXTERN MEDIUM ext", {}, 16, "01"},
      {" EXTERN LARGE ext", {"-Nc2"}, 24, "00"},
  };
  for (const Row& row : rows) {
    DirectiveRun run;
    EXPECT_EQ(run.assemble(std::string(row.statement) + "\nprog SECTION CODE\n DL ext\n END\n", row.options), 0)
        << row.statement << "\n" << run.stderr_text;
    Symbol* ext = run.symbol("ext");
    ASSERT_NE(ext, nullptr);
    EXPECT_EQ(ext->model, row.model) << row.statement;
    const directive_test::Bytes atx = hex("F1 D8 0C 0F 80 " + std::string(row.attribute_byte));
    auto found = std::search(run.object.begin(), run.object.end(), atx.begin(), atx.end());
    EXPECT_NE(found, run.object.end()) << row.statement << "\n" << show(run.object);
  }
}

TEST(SymbolDirectives, EquOfALabelOfAnAbsoluteSection) {
  // With label alignment LAB moves from 0x101 to 0x104 in pass 2; S follows.
  for (const auto& [align, value] : {std::pair{"", 0x101}, std::pair{" ALIGN=,4", 0x104}}) {
    DirectiveRun run;
    EXPECT_EQ(run.assemble(std::string("fixed SECTION CODE ABS=0x100") + align + "\n DB 0\nLAB DB 1\nS EQU LAB\n END\n"),
              0) << run.stderr_text;
    EXPECT_EQ(run.symbol("LAB")->value, value) << align;
    EXPECT_EQ(run.symbol("S")->value, value) << align;
  }
}

TEST(SymbolDirectives, PublicNamesAreCrossReferenced) {
  DirectiveRun run;
  run.assemble(" PUBLIC S, S\nprog SECTION CODE\nS DB 1\n END\n");
  EXPECT_EQ(run.symbol("S")->references.count, 2);
}

}  // namespace
}  // namespace koral
