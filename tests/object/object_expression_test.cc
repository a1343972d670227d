// Relocatable expressions: the postfix text of a tree and its object bytes.
#include "object/object_expression.h"

#include <gtest/gtest.h>

#include <string>

#include "driver/assembly.h"
#include "object_test_support.h"

namespace koral {
namespace {

using namespace object_test;

// Trees over an external "ext" (index 12), sections and labels of a run.
struct Trees {
  ObjectRun r;
  Assembly& a = r.a;
  Section* code;
  Section* data;
  Section* fixed;
  Symbol* ext;

  Trees() {
    code = &r.section("code", section_code, 24, 0x40);
    data = &r.section("data", section_data, 16, 0x20);
    fixed = &r.section("fixed", section_absolute | section_data, 0, 0x10, 0x2000);
    ext = &r.symbol("ext", kind_external);
    ext->object_index = 12;
    ext->model = 16;
    a.run.section = code;
  }

  ArenaRef n(int32_t value) { return make_integer_leaf(a, value); }
  ArenaRef sym(Symbol* s) { return make_name_leaf(a, name_symbol, handle_of(s), 0); }
  ArenaRef x() { return sym(ext); }
  ArenaRef op(int32_t code, ArenaRef l, ArenaRef r2 = 0) { return make_operator(a, code, l, r2); }

  std::string bytes(ArenaRef tree, uint32_t field_offset = 0) {
    Bytes out;
    put_expression(a, tree, field_offset, out);
    return show(out);
  }
};

// Operators on an external, and constant trees folded like the evaluator.
TEST(ObjectExpression, OperatorsAndFolding) {
  Trees t;
  struct Case {
    const char* what;
    ArenaRef tree;
    const char* bytes;
  };
  const Case cases[] = {
      {"ext+1", t.op(op_add, t.x(), t.n(1)), "D8 0C 01 A5"},
      {"ext+2*3", t.op(op_add, t.x(), t.op(op_multiply, t.n(2), t.n(3))), "D8 0C 06 A5"},
      {"1+ext", t.op(op_add, t.n(1), t.x()), "01 D8 0C A5"},
      {"ext-1", t.op(op_subtract, t.x(), t.n(1)), "D8 0C 01 A6"},
      {"ext+(-1)", t.op(op_add, t.x(), t.op(op_negate, t.n(1))), "D8 0C 84 FF FF FF FF A5"},
      {"-ext", t.op(op_negate, t.x()), "00 D8 0C A6"},
      {"+ext", t.op(op_plus, t.x()), "00 D8 0C A5"},
      {"~ext", t.op(op_complement, t.x()), "D8 0C A4"},
      {"ext*2", t.op(op_multiply, t.x(), t.n(2)), "D8 0C 02 A8"},
      {"ext/2", t.op(op_divide, t.x(), t.n(2)), "D8 0C 02 A7"},
      {"ext%3", t.op(op_remainder, t.x(), t.n(3)), "D8 0C 03 AB"},
      {"ext&0xFF", t.op(op_and, t.x(), t.n(0xFF)), "D8 0C 81 FF B0"},
      {"ext|1", t.op(op_or, t.x(), t.n(1)), "D8 0C 01 B1"},
      {"ext^1", t.op(op_xor, t.x(), t.n(1)), "D8 0C 01 B2"},
      {"ext>>8", t.op(op_shift_right, t.x(), t.n(8)), "D8 0C 08 0F B3"},
      {"ext>>40", t.op(op_shift_right, t.x(), t.n(40)), "D8 0C 20 0F B3"},
      {"ext>>-3", t.op(op_shift_right, t.x(), t.n(-3)), "D8 0C 00 0F B3"},
      {"ext<<4", t.op(op_shift_left, t.x(), t.n(4)), "D8 0C 00 1F B3 10 A8"},
      {"ext<<32", t.op(op_shift_left, t.x(), t.n(32)), "D8 0C 00 1F B3 00 A8"},
      {"ext:8", t.op(op_width, t.x(), t.n(8)),
       "00 D8 0C 00 07 B3 00 07 B4 00 82 01 00 04 B9"},
      {"ext:32", t.op(op_width, t.x(), t.n(32)), "00 D8 0C 00 1F B3 00 1F B4"},
      {"ext+1+2+3+4+5",
       t.op(op_add, t.op(op_add, t.op(op_add, t.op(op_add, t.op(op_add, t.x(), t.n(1)), t.n(2)), t.n(3)),
                         t.n(4)),
            t.n(5)),
       "D8 0C 01 A5 02 A5 03 A5 04 A5 05 A5"},
      // Constant trees fold like the evaluator.
      {"7/0", t.op(op_divide, t.n(7), t.n(0)), "00"},
      {"-7/2", t.op(op_divide, t.n(-7), t.n(2)), "84 FF FF FF FD"},
      {"-7%2", t.op(op_remainder, t.n(-7), t.n(2)), "84 FF FF FF FF"},
      {"1<<32", t.op(op_shift_left, t.n(1), t.n(32)), "00"},
      {"-8>>1", t.op(op_shift_right, t.n(-8), t.n(1)), "84 FF FF FF FC"},
      {"0x1234:8", t.op(op_width, t.n(0x1234), t.n(8)), "34"},
      {"0x7FFFFFFF+1", t.op(op_add, t.n(0x7FFFFFFF), t.n(1)), "84 80 00 00 00"},
  };
  for (const Case& c : cases) EXPECT_EQ(t.bytes(c.tree), show(hex(c.bytes))) << c.what;
}

// Constant parts with floating constants fold like the evaluator: + - * / in
// scaled decimal, and the folded value is written as its integer part.
TEST(ObjectExpression, FloatingConstantsFoldInScaledDecimal) {
  Trees t;
  auto f = [&](double mantissa, int32_t exponent) { return make_floating_leaf(t.a, mantissa, exponent, 0); };
  struct Case {
    const char* what;
    ArenaRef tree;
    const char* bytes;
  };
  const Case cases[] = {
      {"ext+2.5", t.op(op_add, t.x(), f(2.5, 0)), "D8 0C 02 A5"},
      {"ext+1.5*2", t.op(op_add, t.x(), t.op(op_multiply, f(1.5, 0), t.n(2))), "D8 0C 03 A5"},
      {"ext+(2.5+2.5)", t.op(op_add, t.x(), t.op(op_add, f(2.5, 0), f(2.5, 0))), "D8 0C 05 A5"},
      {"ext-7.0/2", t.op(op_subtract, t.x(), t.op(op_divide, f(7.0, 0), t.n(2))), "D8 0C 03 A6"},
      {"ext+-2.5*2", t.op(op_add, t.x(), t.op(op_multiply, t.op(op_negate, f(2.5, 0)), t.n(2))),
       "D8 0C 84 FF FF FF FB A5"},
      {"ext+1.5e1*3", t.op(op_add, t.x(), t.op(op_multiply, f(1.5, 1), t.n(3))), "D8 0C 2D A5"},
      // Operators without a floating meaning take the integer parts.
      {"ext+(2.5|4)", t.op(op_add, t.x(), t.op(op_or, f(2.5, 0), t.n(4))), "D8 0C 06 A5"},
  };
  for (const Case& c : cases) EXPECT_EQ(t.bytes(c.tree), show(hex(c.bytes))) << c.what;
}

// The highest bit kept by ">>" follows the width of the node: below 9 bits 7,
// above 16 bits 31, else 15.
TEST(ObjectExpression, RightShiftWidthFromTheExternalsSize) {
  struct Case {
    int32_t model;
    const char* bytes;
  };
  for (const Case& c : {Case{8, "D8 0C 04 07 B3"}, Case{16, "D8 0C 04 0F B3"}, Case{24, "D8 0C 04 1F B3"}}) {
    Trees t;
    t.ext->model = c.model;
    EXPECT_EQ(t.bytes(t.op(op_shift_right, t.x(), t.n(4))), show(hex(c.bytes))) << c.model;
  }
}

TEST(ObjectExpression, SixOperatorNodesAreFatal155) {
  Trees t;
  ArenaRef tree = t.x();
  for (int i = 1; i <= 6; ++i) tree = t.op(op_add, tree, t.n(i));
  EXPECT_THROW(t.bytes(tree), RunAborted);
  // Folded nodes count too.
  Trees u;
  ArenaRef folded = u.n(1);
  for (int i = 2; i <= 6; ++i) folded = u.op(op_add, folded, u.n(i));
  EXPECT_THROW(u.bytes(u.op(op_add, u.x(), folded)), RunAborted);
}

// Leaves by symbol kind and section.
TEST(ObjectExpression, LeavesBySymbolKindAndSection) {
  Trees t;
  Symbol* pub = &t.r.symbol("pub", kind_public_label, t.data, 4);
  pub->object_index = 34;
  Symbol* late = &t.r.symbol("late", kind_late_public, t.code, 9);
  late->object_index = 35;
  Symbol* local = &t.r.symbol("loc", kind_label, t.data, 5);
  Symbol* there = &t.r.symbol("there", kind_label, t.fixed, 0x2004);
  Symbol* equ = &t.r.symbol("k", kind_equ, nullptr, 0x300);
  Symbol* here = &t.r.symbol("$", kind_location);
  t.code->location = 0x12;
  EXPECT_EQ(t.bytes(t.sym(pub)), show(hex("C9 22")));
  EXPECT_EQ(t.bytes(t.sym(late)), show(hex("C9 23")));
  EXPECT_EQ(t.bytes(t.sym(local)), show(hex("D2 02 05 A5")));
  EXPECT_EQ(t.bytes(t.op(op_add, t.x(), t.sym(there))), show(hex("D8 0C 82 20 04 A5")));
  EXPECT_EQ(t.bytes(t.op(op_add, t.x(), t.sym(equ))), show(hex("D8 0C 82 03 00 A5")));
  EXPECT_EQ(t.bytes(t.sym(here)), show(hex("D0 01")));
  EXPECT_EQ(t.bytes(t.sym(here), 2), show(hex("D0 01 02 A6")));
  // "$" of an absolute section is its location counter.
  t.a.run.section = t.fixed;
  t.fixed->location = 0x2008;
  EXPECT_EQ(t.bytes(t.op(op_subtract, t.x(), t.sym(here))), show(hex("D8 0C 82 20 08 A6")));
}

// With -g a local label is its N variable, unless the debug blocks described
// it themselves.
TEST(ObjectExpression, LocalLabelsUnderDebugOption) {
  Trees t;
  Symbol* local = &t.r.symbol("loc", kind_label, t.data, 5);
  local->object_index = 40;
  t.a.run.options |= opt_debug_second_form;
  EXPECT_EQ(t.bytes(t.sym(local)), show(hex("CE 28")));
  local->attributes |= attribute_debug_described;
  EXPECT_EQ(t.bytes(t.sym(local)), show(hex("D2 02 05 A5")));
}

TEST(ObjectExpression, SizeAndStartOfSections) {
  Trees t;
  Section* ghost = &t.r.section("ghost", 0, 0, 0);
  EXPECT_EQ(t.bytes(make_name_leaf(t.a, name_sizeof, 0, handle_of(t.data))), show(hex("D3 02")));
  EXPECT_EQ(t.bytes(make_name_leaf(t.a, name_startof, 0, handle_of(t.code))), show(hex("CC 01")));
  EXPECT_TRUE(t.a.diag.pending.empty());
  // A section never defined by SECTION: error 232, the leaf gives no text.
  EXPECT_EQ(t.bytes(make_name_leaf(t.a, name_sizeof, 0, handle_of(ghost))), "");
  ASSERT_EQ(t.a.diag.pending.size(), 1u);
  EXPECT_EQ(t.a.diag.pending[0].code, 232);
  EXPECT_EQ(t.a.diag.pending[0].argument, "ghost");
}

// CODE_ADDR keeps its operand for JRS, JR and CALLV, else the linker maps the
// code space: INBLOCK(x, 0x10000, ...) - 0x10000.
TEST(ObjectExpression, CodeAddressConversion) {
  Trees t;
  ArenaRef tree = t.op(op_code_address, t.x());
  EXPECT_EQ(t.bytes(tree), show(hex("D8 0C 83 01 00 00 04 B9 83 01 00 00 A6")));
  t.a.evaluation.mnemonic = 1035;  // JR
  EXPECT_EQ(t.bytes(tree), show(hex("D8 0C")));
  t.a.evaluation.mnemonic = 1039;  // JP
  EXPECT_EQ(t.bytes(tree), show(hex("D8 0C 83 01 00 00 04 B9 83 01 00 00 A6")));
  // Constant operands fold: bit 16 is cleared unless the bit is kept.
  EXPECT_EQ(t.bytes(t.op(op_code_address, t.n(0x12345))), show(hex("82 23 45")));
  t.a.evaluation.mnemonic = 1036;  // CALLV
  EXPECT_EQ(t.bytes(t.op(op_code_address, t.n(0x12345))), show(hex("83 01 23 45")));
}

}  // namespace
}  // namespace koral
