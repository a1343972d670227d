#include "expr/evaluate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "symbols/hash.h"
#include "symbols/symbol_table.h"

namespace koral {
namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

class Evaluator : public ::testing::Test {
 protected:
  void SetUp() override {
    a.sources.files.push_back(SourceFile{"t.asm", "/t.asm"});
    a.sources.files[0].line_in_file = a.sources.files[0].listing_line = 10;
    a.run.pass = pass_final;
    code = section("code", section_code, 24);
    other = section("other", section_code, 16);
    fixed = section("fixed", section_absolute | section_data, 0);
    fixed->start = 0x1000;
    a.run.section = code;
  }

  Section* section(const char* name, int32_t kind, int32_t size_attribute) {
    lookup_section(a, name, hash_name(name));
    Section* s = insert_name(a, name, kind).section;
    s->kind = kind;
    s->size_attribute = size_attribute;
    return s;
  }
  Symbol* symbol(const char* name, int32_t kind, int32_t value, Section* in = nullptr,
                 int32_t line = 1) {
    lookup_symbol(a, name, hash_name(name));
    Symbol* s = insert_name(a, name, kind).symbol;
    s->value = value;
    s->section = in;
    s->listing_line = line;
    return s;
  }
  ArenaRef num(int32_t v) { return make_integer_leaf(a, v); }
  ArenaRef name(Symbol* s) { return make_name_leaf(a, name_symbol, handle_of(s), 0); }
  ArenaRef op(int32_t code, ArenaRef l, ArenaRef r = 0) { return make_operator(a, code, l, r); }

  // Codes of the diagnostics reported since the last call, in the order they
  // would print: the records of the error files (which keep the earlier ones
  // too), then the final pass's pending list.
  std::vector<int> codes() {
    int32_t pass = a.run.pass;
    a.run.pass = pass_final;
    rewind_error_files(a);
    CaptureStderr();
    print_remaining_diagnostics(a);
    std::vector<int> recorded = codes_in(GetCapturedStderr());
    CaptureStderr();
    print_statement_diagnostics(a);
    std::vector<int> found(recorded.begin() + static_cast<long>(recorded_seen), recorded.end());
    recorded_seen = recorded.size();
    for (int code : codes_in(GetCapturedStderr())) found.push_back(code);
    a.run.pass = pass;
    return found;
  }
  static std::vector<int> codes_in(const std::string& text) {
    std::vector<int> found;
    std::regex code_pattern("-(Error|Warning)-([0-9]+) :");
    for (std::sregex_iterator it(text.begin(), text.end(), code_pattern), end; it != end; ++it)
      found.push_back(std::stoi((*it)[2]));
    return found;
  }

  std::size_t recorded_seen = 0;
  Assembly a;
  Section* code = nullptr;
  Section* other = nullptr;
  Section* fixed = nullptr;
};

// One evaluation per row, in its own statement, with the diagnostics it
// prints.  A row without a kind or a value leaves that one unchecked.
TEST_F(Evaluator, KindsValuesAndDiagnostics) {
  Symbol* here = symbol("here", kind_label, 0x40, code);
  Symbol* far1 = symbol("far1", kind_label, 0x10, other);
  Symbol* far2 = symbol("far2", kind_label, 0x34, other);
  Symbol* ext = symbol("ext", kind_external, 0);
  Symbol* port = symbol("port", kind_label, 0x1004, fixed);
  Symbol* five = symbol("five", kind_equ, 5);
  Symbol* k = symbol("k", kind_equ, 2);
  Symbol* later = symbol("later", kind_forward, 0);
  symbol("code", kind_forward, 0);  // also the name of a section
  Symbol* shadow = symbol_from_handle(a, handle_of(lookup_symbol(a, "code", hash_name("code"))));
  Symbol* dollar = symbol("$", kind_location, 0);
  Symbol* below = symbol("below", kind_label, 4, code, 20);
  Symbol* above = symbol("above", kind_label, 4, code, 5);
  Symbol* twice = symbol("twice", kind_label, 0, code);
  twice->status |= status_multi_defined;
  code->location = 0x20;
  fixed->location = 0x1010;
  constexpr int32_t jp = 1039, jr = 1035, org = 258, dsb = 328;

  struct Case {
    const char* what;
    ArenaRef tree;
    uint32_t kind = 0;
    std::optional<int32_t> value = {};
    std::vector<int> codes = {};
    int32_t pass = pass_final;
    int32_t statement = 0;
    int32_t mnemonic = 0;
    bool floating_data = false;
    bool in_fixed = false;
  };
  const Case cases[] = {
      // Symbol arithmetic and the kind of its result.
      {"sym+3-sym", op(op_subtract, op(op_add, name(here), num(3)), name(here)), V_ABSOTHER, 3},
      {"local label", name(here), V_LOCAL, 0x40},
      {"label of another section", name(far1), V_EXPR},
      {"difference in another section", op(op_subtract, name(far2), name(far1)), V_ABS, 0x24},
      {"ext+1", op(op_add, name(ext), num(1)), V_EXPR},
      {"ext*2", op(op_multiply, name(ext), num(2)), V_EXPR},
      {"label of an absolute section", name(port), V_ABSOTHER, 0x1004},
      {"constant plus absolute label", op(op_add, num(1), name(port)), V_ABS, 0x1005},
      {"absolute label plus constant", op(op_add, name(port), num(1)), V_ABSOTHER, 0x1005},
      {"equ", op(op_multiply, name(five), num(3)), V_ABS, 15},
      {"local minus external", op(op_subtract, name(here), name(ext)), V_EXPR},
      {"-local", op(op_negate, name(here)), V_LOCAL, -0x40},
      {"~ext", op(op_complement, name(ext)), V_EXPR},
      // Integer operators.
      {"1<<32", op(op_shift_left, num(1), num(32)), V_ABS, 0},
      {"-8>>1", op(op_shift_right, num(-8), num(1)), V_ABS, -4},
      {"1<<-31", op(op_shift_left, num(1), num(-31)), V_ABS, 2},
      {"7%-3", op(op_remainder, num(7), num(-3)), V_ABS, 1},
      {"-7/2", op(op_divide, num(-7), num(2)), V_ABS, -3},
      {"wrap", op(op_add, num(0x7FFFFFFF), num(1)), V_ABS, INT32_MIN},
      {"1|2^3&4", op(op_or, num(1), op(op_xor, num(2), op(op_and, num(3), num(4)))), V_ABS, 3},
      {"0x1234:16", op(op_width, num(0x1234), num(16)), V_ABS, 0x1234},
      {"0x1234:8 drops bits", op(op_width, num(0x1234), num(8)), V_ABS, 0x34, {501}},
      {"5:33", op(op_width, num(5), num(33)), V_EXPR, {}, {206}},
      {"7/0 before the final pass", op(op_divide, num(7), num(0)), V_ABS, 0, {}, pass_two},
      {"7/0", op(op_divide, num(7), num(0)), V_ABS, 0, {201}},
      // CODE_ADDR keeps bit 16 only for relative jumps and vectors.
      {"JP CODE_ADDR", op(op_code_address, num(0x12345)), 0, 0x2345, {}, pass_final, 0, jp},
      {"JR CODE_ADDR", op(op_code_address, num(0x12345)), 0, 0x12345, {}, pass_final, 0, jr},
      {"directive CODE_ADDR", op(op_code_address, num(0x12345)), 0, 0x2345},
      {"CODE_ADDR out of range", op(op_code_address, num(0x20000)), 0, {}, {206}},
      // Forward references and doubly defined symbols.
      {"forward in pass 1", name(later), V_EXPR, 0, {}, pass_one},
      {"forward in pass 2", name(later), V_INVALID, {}, {221}, pass_two},
      {"symbol named like a section", name(shadow), V_INVALID, {}, {225}, pass_two},
      {"doubly defined, once", op(op_add, name(twice), name(twice)), V_INVALID, {}, {220}, pass_two},
      // The location counter.
      {"$", name(dollar), V_HERE, 0x20},
      {"$+4 in ORG", op(op_add, name(dollar), num(4)), V_ABSADDR, {}, {}, pass_final, org},
      {"$ in an absolute section", name(dollar), V_ABSADDR, 0x1010, {}, pass_final, 0, 0, false, true},
      // Storage statements refuse labels defined after them.
      {"DSB, earlier label", name(above), V_LOCAL, {}, {}, pass_two, dsb},
      {"DSB, later label", name(below), V_INVALID, {}, {223}, pass_two, dsb},
      // Floating data warns once on symbols.
      {"k+k in floating data", op(op_add, name(k), name(k)), 0, 4, {518}, pass_final, 0, 0, true},
  };
  for (const Case& c : cases) {
    a.run.pass = c.pass;
    a.run.statement_kind = c.statement;
    a.evaluation.mnemonic = c.mnemonic;
    a.evaluation.floating_data = c.floating_data;
    a.run.section = c.in_fixed ? fixed : code;
    begin_statement_marks(a);
    const Value v = evaluate(a, c.tree);
    if (c.kind != 0) {
      EXPECT_EQ(v.kind, c.kind) << c.what;
    }
    if (c.value) {
      EXPECT_EQ(v.value, *c.value) << c.what;
    }
    EXPECT_EQ(codes(), c.codes) << c.what;
  }
}

// The kind rules of the operators over every kind of operand, with the
// value where the kind says it is computed.
TEST_F(Evaluator, KindRulesOfTheOperators) {
  Symbol* here = symbol("here", kind_label, 0x40, code);
  Symbol* far1 = symbol("far1", kind_label, 0x10, other);
  Symbol* ext = symbol("ext", kind_external, 0);
  Symbol* port = symbol("port", kind_label, 0x1004, fixed);
  Symbol* dollar = symbol("$", kind_location, 0);
  Symbol* later = symbol("later", kind_forward, 0);
  code->location = 0x20;
  constexpr int32_t jp = 1039, dsb = 328;
  auto real = [&](double m) { return make_floating_leaf(a, m, 0, 0); };

  struct Case {
    const char* what;
    ArenaRef tree;
    uint32_t kind;
    std::optional<int32_t> value = {};
    std::vector<int> codes = {};
    int32_t pass = pass_final;
    int32_t statement = 0;
    int32_t mnemonic = 0;
  };
  // Cases with diagnostics of pass 1 come first: the helper reads the pass-1
  // error file before the pass-2 one.
  const Case cases[] = {
      // Floating division by zero is reported in pass 1, integer division in the final pass.
      {"1.5/0 in pass 1", op(op_divide, real(1.5), num(0)), V_ABS, 0, {201}, pass_one},
      // Differences.
      {"$-here", op(op_subtract, name(dollar), name(here)), V_ABSOTHER, -0x20},
      {"here-ext", op(op_subtract, name(here), name(ext)), V_EXPR},
      {"here-far1", op(op_subtract, name(here), name(far1)), V_EXPR},
      {"far1-here", op(op_subtract, name(far1), name(here)), V_EXPR},
      {"far1+1-far1 is not two plain symbols", op(op_subtract, op(op_add, name(far1), num(1)), name(far1)), V_EXPR},
      {"5-ext", op(op_subtract, num(5), name(ext)), V_EXPR},
      {"port-1", op(op_subtract, name(port), num(1)), V_ABSOTHER, 0x1003},
      // Multiplicative operators take the right operand's kind unless it is V_ABS.
      {"2*port", op(op_multiply, num(2), name(port)), V_ABSOTHER, 0x2008},
      {"port*2", op(op_multiply, name(port), num(2)), V_ABSOTHER, 0x2008},
      {"here*2", op(op_multiply, name(here), num(2)), V_EXPR},
      {"$&0xF0", op(op_and, name(dollar), num(0xF0)), V_EXPR, 0x20},
      {"zero divisor that is not V_ABS", op(op_divide, name(port), op(op_subtract, name(port), name(port))),
       V_ABSOTHER, 0},
      // Shifts by a relocatable count.
      {"1<<$", op(op_shift_left, num(1), name(dollar)), V_INVALID},
      {"1<<$ before the final pass", op(op_shift_left, num(1), name(dollar)), V_EXPR, 0x20, {}, pass_two},
      {"1<<ext before the final pass", op(op_shift_left, num(1), name(ext)), V_EXPR, {}, {}, pass_two},
      {"ext>>2", op(op_shift_right, name(ext), num(2)), V_EXPR, 2},
      {"here>>2", op(op_shift_right, name(here), num(2)), V_EXPR, 2},
      // Width: no bits dropped from an unresolved value; $ is known.
      {"ext:8", op(op_width, name(ext), num(8)), V_EXPR},
      {"here:4", op(op_width, name(here), num(4)), V_LOCAL},
      {"$:4", op(op_width, name(dollar), num(4)), V_HERE, 0, {501}},
      {"1:later", op(op_width, num(1), name(later)), V_INVALID, {}, {221}, pass_two},
      // Unary operators compute the value of V_LOCAL only among the unresolved.
      {"-ext", op(op_negate, name(ext)), V_EXPR, 0},
      {"~here", op(op_complement, name(here)), V_LOCAL, ~0x40},
      {"-$", op(op_negate, name(dollar)), V_HERE, -0x20},
      // CODE_ADDR.
      {"CODE_ADDR of a local label", op(op_code_address, name(here)), V_LOCAL, 0x40, {}, pass_final, 0, jp},
      {"CODE_ADDR of a floating value", op(op_code_address, real(1.5)), V_INVALID},
      {"CODE_ADDR(0x10000) in a directive", op(op_code_address, num(0x10000)), V_ABS, 0},
      {"CODE_ADDR(0xFFFF)", op(op_code_address, num(0xFFFF)), V_ABS, 0xFFFF, {206}},
      {"1.5/0 in the final pass", op(op_divide, real(1.5), num(0)), V_ABS, 0},
      {"7/0 in pass 1", op(op_divide, num(7), num(0)), V_ABS, 0, {}, pass_one},
      // A storage statement refuses a symbol that is not defined.
      {"DSB, undefined", name(later), V_INVALID, {}, {226}, pass_two, dsb},
      {"undefined in pass 1", name(later), V_EXPR, 0, {}, pass_one, dsb},
  };
  for (const Case& c : cases) {
    a.run.pass = c.pass;
    a.run.statement_kind = c.statement;
    a.evaluation.mnemonic = c.mnemonic;
    a.run.section = code;
    begin_statement_marks(a);
    const Value v = evaluate(a, c.tree);
    EXPECT_EQ(v.kind, c.kind) << c.what;
    if (c.value) {
      EXPECT_EQ(v.value, *c.value) << c.what;
    }
    EXPECT_EQ(codes(), c.codes) << c.what;
  }
}

// "$" is 0 in a statement that has already reported an error, and a missing
// tree reports 206 only when nothing was reported yet.
TEST_F(Evaluator, AfterAnErrorOfTheStatement) {
  Symbol* dollar = symbol("$", kind_location, 0);
  code->location = 0x20;
  begin_statement_marks(a);
  EXPECT_EQ(evaluate(a, name(dollar)).value, 0x20);
  EXPECT_EQ(evaluate(a, 0).kind, V_INVALID);
  EXPECT_EQ(codes(), std::vector<int>{206});
  Value v = evaluate(a, name(dollar));
  EXPECT_EQ(v.kind, V_HERE);
  EXPECT_EQ(v.value, 0);
  EXPECT_EQ(evaluate(a, 0).kind, V_INVALID);
  EXPECT_EQ(codes(), std::vector<int>{});
}

TEST_F(Evaluator, AbsoluteEvaluatorKindsAndChecks) {
  Symbol* here = symbol("here", kind_label, 0x40, code);
  Symbol* later = symbol("later", kind_forward, 0);
  Symbol* same_line = symbol("same", kind_label, 4, code, 10);
  Symbol* twice = symbol("twice", kind_equ, 1);
  twice->status |= status_multi_defined;
  constexpr int32_t equ = 305;
  struct Case {
    const char* what;
    ArenaRef tree;
    uint32_t kind;
    int32_t value;
    std::vector<int> codes;
    int32_t pass = pass_final;
    int32_t statement = 0;
  } cases[] = {
      {"label of the current section", name(here), V_ABS, 0x40, {}},
      {"SIZEOF", make_name_leaf(a, name_sizeof, 0, handle_of(other)), V_LOCAL, 0, {}},
      {"SIZEOF+1", op(op_add, make_name_leaf(a, name_sizeof, 0, handle_of(other)), num(1)), V_INVALID, 0, {}},
      {"CODE_ADDR", op(op_code_address, num(0x12345)), V_INVALID, 0, {}},
      {"5:3", op(op_width, num(5), num(3)), V_ABS, 0, {}},
      {"1<<-255", op(op_shift_left, num(1), num(-255)), V_ABS, 2, {}},
      {"1<<-256", op(op_shift_left, num(1), num(-256)), V_ABS, 0, {}},
      {"7%0", op(op_remainder, num(7), num(0)), V_ABS, 0, {201}, pass_one},
      {"forward in pass 1", name(later), V_INVALID, 0, {}, pass_one},
      {"forward in EQU, pass 2", name(later), V_INVALID, 0, {221}, pass_two, equ},
      {"forward in the final pass", name(later), V_INVALID, 0, {221}},
      {"EQU of a label on its own line", name(same_line), V_INVALID, 0, {223}, pass_final, equ},
      {"multiply defined", name(twice), V_INVALID, 0, {220}},
  };
  for (const Case& c : cases) {
    a.run.pass = c.pass;
    a.run.statement_kind = c.statement;
    begin_statement_marks(a);
    const Value v = evaluate_absolute(a, c.tree);
    EXPECT_EQ(v.kind, c.kind) << c.what;
    if (c.kind == V_ABS) {
      EXPECT_EQ(v.value, c.value) << c.what;
    }
    EXPECT_EQ(codes(), c.codes) << c.what;
  }
}

TEST_F(Evaluator, WidthsOfNameLeaves) {
  Symbol* dollar = symbol("$", kind_location, 0);
  Symbol* big = symbol("big", kind_equ, 300);
  Symbol* port = symbol("port", kind_label, 0x1004, fixed);
  Symbol* later = symbol("later", kind_forward, 0);
  Symbol* ext = symbol("ext", kind_external, 0);
  EXPECT_EQ(relocatable_width(a, name(dollar), either_range), 24);
  a.run.section = other;
  EXPECT_EQ(relocatable_width(a, name(dollar), either_range), 16);
  EXPECT_EQ(relocatable_width(a, name(big), either_range), 9);
  EXPECT_EQ(relocatable_width(a, name(big), signed_range), 10);
  EXPECT_EQ(relocatable_width(a, name(port), unsigned_range), 13);
  EXPECT_EQ(relocatable_width(a, make_name_leaf(a, name_startof, 0, handle_of(code)), either_range), 16);
  EXPECT_EQ(relocatable_width(a, op(op_shift_right, name(ext), num(8)), either_range), 16);
  EXPECT_EQ(relocatable_width(a, op(op_code_address, num(5)), either_range), 3);
  EXPECT_EQ(relocatable_width(a, op(op_width, name(ext), name(big)), either_range), 0);
  EXPECT_EQ(relocatable_width(a, name(later), either_range), 16);
  a.run.pass = pass_one;
  EXPECT_EQ(relocatable_width(a, name(later), either_range), 8);
}

TEST_F(Evaluator, ScaledDecimalArithmetic) {
  ArenaRef tree = op(op_multiply, make_floating_leaf(a, 1.5, 0, 0), num(3));
  Value v = evaluate(a, tree);
  EXPECT_EQ(v.kind, V_ABS);
  EXPECT_DOUBLE_EQ(v.mantissa * std::pow(10.0, v.exponent), 4.5);
  EXPECT_EQ(v.value, 4);
  // Exponents are aligned to the larger one for + and -.
  v = evaluate(a, op(op_add, make_floating_leaf(a, 2.0, 3, 0), make_floating_leaf(a, 5.0, 1, 0)));
  EXPECT_EQ(v.exponent, 3);
  EXPECT_DOUBLE_EQ(v.mantissa, 2.05);
  EXPECT_EQ(v.value, 2050);
  // A floating constant at the top of a tree leaves its integer value to the caller.
  v = evaluate(a, make_floating_leaf(a, 2.5, 0, 0));
  EXPECT_EQ(v.value, 0);
  EXPECT_DOUBLE_EQ(v.mantissa, 2.5);
}

TEST_F(Evaluator, AbsoluteEvaluator) {
  Symbol* dollar = symbol("$", kind_location, 0);
  Symbol* equ = symbol("k", kind_equ, 12);
  Symbol* far1 = symbol("far1", kind_label, 0x10, other);
  Symbol* port = symbol("port", kind_label, 0x1004, fixed);
  Symbol* ext = symbol("ext", kind_external, 0);
  struct Case {
    const char* what;
    ArenaRef tree;
    int32_t value;
    std::vector<int> codes;
  } cases[] = {
      {"equ plus absolute label", op(op_add, name(equ), name(port)), 0x1010, {}},
      {"0x1234:8", op(op_width, num(0x1234), num(8)), 0, {}},
      {"1<<256", op(op_shift_left, num(1), num(256)), 0, {}},
      {"1<<33", op(op_shift_left, num(1), num(33)), 2, {}},
      {"$", name(dollar), 0, {226}},
      {"label of another relocatable section", name(far1), 0, {226}},
      {"external", name(ext), 0, {226}},
      {"division by zero", op(op_divide, num(1), num(0)), 0, {201}},
  };
  for (const Case& c : cases) {
    begin_statement_marks(a);
    const Value v = evaluate_absolute(a, c.tree);
    if (c.codes.empty()) {
      EXPECT_EQ(v.value, c.value) << c.what;
    }
    EXPECT_EQ(codes(), c.codes) << c.what;
  }
}

TEST(BitsNeeded, BySignedness) {
  struct Case {
    int32_t value;
    Signedness range;
    int bits;
  } cases[] = {
      {0, signed_range, 1},     {0, unsigned_range, 0},     {127, signed_range, 8},
      {-128, signed_range, 8},  {-129, signed_range, 9},    {255, either_range, 8},
      {-256, either_range, 8},  {-1, unsigned_range, 32},   {INT32_MIN, signed_range, 32},
  };
  for (const Case& c : cases) EXPECT_EQ(bits_needed(c.value, c.range), c.bits) << c.value << " " << c.range;
}

TEST_F(Evaluator, Widths) {
  Symbol* here = symbol("here", kind_label, 0x40, code);
  Symbol* ext = symbol("ext", kind_external, 0);
  Symbol* small = symbol("small", kind_external, 0);
  small->model = 8;
  EXPECT_EQ(relocatable_width(a, name(here), either_range), 24);
  EXPECT_EQ(relocatable_width(a, name(small), either_range), 8);
  EXPECT_EQ(relocatable_width(a, op(op_width, name(ext), num(8)), either_range), 8);
  EXPECT_EQ(relocatable_width(a, op(op_code_address, name(here)), either_range), 16);
  EXPECT_EQ(relocatable_width(a, op(op_add, name(ext), num(300)), either_range), 16);
  EXPECT_EQ(declared_width(a, op(op_add, op(op_width, num(1), num(16)), op(op_width, num(2), num(8)))), 16);
  EXPECT_EQ(declared_width(a, op(op_width, num(1), num(40))), 0);
}

// The width after ":" is any absolute number the operators make from
// constants and EQU symbols, not only a sum or a product.
TEST_F(Evaluator, DeclaredWidthFromAnyConstantOperator) {
  Symbol* ext = symbol("ext", kind_external, 0);
  ext->model = 8;
  Symbol* four = symbol("four", kind_equ, 4);
  struct Case {
    const char* what;
    ArenaRef width;
    int bits;
  } cases[] = {
      {"32/2", op(op_divide, num(32), num(2)), 16},
      {"1<<four", op(op_shift_left, num(1), name(four)), 16},
      {"64>>2", op(op_shift_right, num(64), num(2)), 16},
      {"40%24", op(op_remainder, num(40), num(24)), 16},
      {"0x1F&0x18", op(op_and, num(0x1F), num(0x18)), 24},
      {"0x10|four", op(op_or, num(0x10), name(four)), 20},
      {"0x1C^four", op(op_xor, num(0x1C), name(four)), 24},
      {"~-17", op(op_complement, num(-17)), 16},
      {"four*4", op(op_multiply, name(four), num(4)), 16},
      {"32/0", op(op_divide, num(32), num(0)), 0},
      {"1<<6", op(op_shift_left, num(1), num(6)), 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(declared_width(a, op(op_width, num(5), c.width)), c.bits) << c.what;
    EXPECT_EQ(relocatable_width(a, op(op_width, name(ext), c.width), either_range), c.bits) << c.what;
  }
}

// The node arena rounds each allocation up to 4 bytes; one that would pass
// 10001 bytes ends the run with fatal 155.
TEST(NodeArenaLimit, RoundsToFourAndStopsPast10001Bytes) {
  Assembly a;
  EXPECT_EQ(a.arena.allocate(a, 1), 1u);
  EXPECT_EQ(a.arena.used(), 4u);
  EXPECT_EQ(a.arena.allocate(a, 9992), 5u);
  EXPECT_EQ(a.arena.used(), 9996u);
  EXPECT_THROW(a.arena.allocate(a, 5), RunAborted);  // 8 bytes: 10004
  EXPECT_EQ(a.arena.allocate(a, 4), 9997u);          // exactly 10000
  EXPECT_THROW(a.arena.allocate(a, 1), RunAborted);
  // 208 constants and 207 operator nodes fit; one more of each does not.
  Assembly b;
  ArenaRef tree = make_integer_leaf(b, 1);
  for (int i = 1; i < 208; ++i) tree = make_operator(b, op_add, tree, make_integer_leaf(b, 1));
  EXPECT_EQ(b.arena.used(), 9968u);
  EXPECT_THROW(make_operator(b, op_add, tree, make_integer_leaf(b, 1)), RunAborted);
}

}  // namespace
}  // namespace koral
