#include "expr/evaluate.h"

#include <gtest/gtest.h>

#include <cmath>
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

  // Codes of the diagnostics recorded so far, in the order they would print.
  std::vector<int> codes() {
    int32_t pass = a.run.pass;
    a.run.pass = pass_final;
    rewind_error_files(a);
    CaptureStderr();
    print_remaining_diagnostics(a);
    print_statement_diagnostics(a);
    std::string text = GetCapturedStderr();
    a.run.pass = pass;
    std::vector<int> found;
    std::regex code_pattern("-(Error|Warning)-([0-9]+) :");
    for (std::sregex_iterator it(text.begin(), text.end(), code_pattern), end; it != end; ++it)
      found.push_back(std::stoi((*it)[2]));
    return found;
  }

  Assembly a;
  Section* code = nullptr;
  Section* other = nullptr;
  Section* fixed = nullptr;
};

TEST_F(Evaluator, KindsOfSymbolArithmetic) {
  Symbol* here = symbol("here", kind_label, 0x40, code);
  Symbol* far1 = symbol("far1", kind_label, 0x10, other);
  Symbol* far2 = symbol("far2", kind_label, 0x34, other);
  Symbol* ext = symbol("ext", kind_external, 0);
  Symbol* abs_label = symbol("port", kind_label, 0x1004, fixed);
  Symbol* equ = symbol("five", kind_equ, 5);

  struct Case {
    const char* what;
    ArenaRef tree;
    uint32_t kind;
    int32_t value;
  } cases[] = {
      {"sym+3-sym", op(op_subtract, op(op_add, name(here), num(3)), name(here)), V_ABSOTHER, 3},
      {"local label", name(here), V_LOCAL, 0x40},
      {"label of another section", name(far1), V_EXPR, 0x10},
      {"difference in another section", op(op_subtract, name(far2), name(far1)), V_ABS, 0x24},
      {"ext+1", op(op_add, name(ext), num(1)), V_EXPR, 0},
      {"ext*2", op(op_multiply, name(ext), num(2)), V_EXPR, 0},
      {"label of an absolute section", name(abs_label), V_ABSOTHER, 0x1004},
      {"constant plus absolute label", op(op_add, num(1), name(abs_label)), V_ABS, 0x1005},
      {"absolute label plus constant", op(op_add, name(abs_label), num(1)), V_ABSOTHER, 0x1005},
      {"equ", op(op_multiply, name(equ), num(3)), V_ABS, 15},
      {"local minus external", op(op_subtract, name(here), name(ext)), V_EXPR, 0},
      {"-local", op(op_negate, name(here)), V_LOCAL, -0x40},
      {"~ext", op(op_complement, name(ext)), V_EXPR, 0},
  };
  for (const Case& c : cases) {
    Value v = evaluate(a, c.tree);
    EXPECT_EQ(v.kind, c.kind) << c.what;
    if (c.kind != V_EXPR) {
      EXPECT_EQ(v.value, c.value) << c.what;
    }
  }
  EXPECT_TRUE(codes().empty());
}

TEST_F(Evaluator, IntegerOperators) {
  struct Case {
    const char* what;
    ArenaRef tree;
    int32_t value;
  } cases[] = {
      {"1<<32", op(op_shift_left, num(1), num(32)), 0},
      {"-8>>1", op(op_shift_right, num(-8), num(1)), -4},
      {"1<<-31", op(op_shift_left, num(1), num(-31)), 2},
      {"7%-3", op(op_remainder, num(7), num(-3)), 1},
      {"-7/2", op(op_divide, num(-7), num(2)), -3},
      {"wrap", op(op_add, num(0x7FFFFFFF), num(1)), INT32_MIN},
      {"1|2^3&4", op(op_or, num(1), op(op_xor, num(2), op(op_and, num(3), num(4)))), 3},
      {"0x1234:16", op(op_width, num(0x1234), num(16)), 0x1234},
  };
  for (const Case& c : cases) {
    Value v = evaluate(a, c.tree);
    EXPECT_EQ(v.kind, V_ABS) << c.what;
    EXPECT_EQ(v.value, c.value) << c.what;
  }
  EXPECT_TRUE(codes().empty());
}

TEST_F(Evaluator, WidthOperatorDropsBitsWithWarningAndRejectsBadWidths) {
  Value v = evaluate(a, op(op_width, num(0x1234), num(8)));
  EXPECT_EQ(v.kind, V_ABS);
  EXPECT_EQ(v.value, 0x34);
  EXPECT_EQ(codes(), std::vector<int>{501});
  begin_statement_marks(a);
  v = evaluate(a, op(op_width, num(5), num(33)));
  EXPECT_EQ(v.kind, V_EXPR);
  EXPECT_EQ(codes(), std::vector<int>{206});
}

TEST_F(Evaluator, DivisionByZeroReportedInTheFinalPassOnly) {
  a.run.pass = pass_two;
  Value v = evaluate(a, op(op_divide, num(7), num(0)));
  EXPECT_EQ(v.value, 0);
  EXPECT_TRUE(codes().empty());
  a.run.pass = pass_final;
  v = evaluate(a, op(op_divide, num(7), num(0)));
  EXPECT_EQ(v.kind, V_ABS);
  EXPECT_EQ(v.value, 0);
  EXPECT_EQ(codes(), std::vector<int>{201});
}

TEST_F(Evaluator, CodeAddressKeepsBit16OnlyForRelativeJumpsAndVectors) {
  ArenaRef tree = op(op_code_address, num(0x12345));
  a.evaluation.mnemonic = 1039;  // JP
  EXPECT_EQ(evaluate(a, tree).value, 0x2345);
  a.evaluation.mnemonic = 1035;  // JR
  EXPECT_EQ(evaluate(a, tree).value, 0x12345);
  a.evaluation.mnemonic = 0;     // a directive
  EXPECT_EQ(evaluate(a, tree).value, 0x2345);
  EXPECT_TRUE(codes().empty());
  evaluate(a, op(op_code_address, num(0x20000)));
  EXPECT_EQ(codes(), std::vector<int>{206});
}

TEST_F(Evaluator, ForwardReferencesByPass) {
  Symbol* later = symbol("later", kind_forward, 0);
  symbol("code", kind_forward, 0);  // also the name of a section
  Symbol* shadow = symbol_from_handle(a, handle_of(lookup_symbol(a, "code", hash_name("code"))));

  a.run.pass = pass_one;
  Value v = evaluate(a, name(later));
  EXPECT_EQ(v.kind, V_EXPR);
  EXPECT_EQ(v.value, 0);
  a.run.pass = pass_two;
  begin_statement_marks(a);
  EXPECT_EQ(evaluate(a, name(later)).kind, V_INVALID);
  begin_statement_marks(a);
  EXPECT_EQ(evaluate(a, name(shadow)).kind, V_INVALID);
  EXPECT_EQ(codes(), (std::vector<int>{221, 225}));
}

TEST_F(Evaluator, LocationCounterSymbol) {
  Symbol* dollar = symbol("$", kind_location, 0);
  code->location = 0x20;
  Value v = evaluate(a, name(dollar));
  EXPECT_EQ(v.kind, V_HERE);
  EXPECT_EQ(v.value, 0x20);
  a.run.statement_kind = 258;  // ORG
  EXPECT_EQ(evaluate(a, op(op_add, name(dollar), num(4))).kind, V_ABSADDR);
  a.run.statement_kind = 0;
  a.run.section = fixed;
  fixed->location = 0x1010;
  v = evaluate(a, name(dollar));
  EXPECT_EQ(v.kind, V_ABSADDR);
  EXPECT_EQ(v.value, 0x1010);
}

TEST_F(Evaluator, StorageStatementsRefuseLaterDefinitions) {
  Symbol* below = symbol("below", kind_label, 4, code, 20);
  Symbol* above = symbol("above", kind_label, 4, code, 5);
  a.run.statement_kind = 328;  // DSB
  a.run.pass = pass_two;
  EXPECT_EQ(evaluate(a, name(above)).kind, V_LOCAL);
  EXPECT_EQ(evaluate(a, name(below)).kind, V_INVALID);
  EXPECT_EQ(codes(), std::vector<int>{223});
}

TEST_F(Evaluator, MultiDefinedSymbolReportedOnceInPassTwo) {
  Symbol* twice = symbol("twice", kind_label, 0, code);
  twice->status |= status_multi_defined;
  a.run.pass = pass_two;
  EXPECT_EQ(evaluate(a, op(op_add, name(twice), name(twice))).kind, V_INVALID);
  EXPECT_EQ(codes(), std::vector<int>{220});
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

TEST_F(Evaluator, FloatingDataWarnsOnSymbols) {
  Symbol* equ = symbol("k", kind_equ, 2);
  a.evaluation.floating_data = true;
  EXPECT_EQ(evaluate(a, op(op_add, name(equ), name(equ))).value, 4);
  EXPECT_EQ(codes(), std::vector<int>{518});  // once: the mark stops the second
}

TEST_F(Evaluator, AbsoluteEvaluator) {
  Symbol* dollar = symbol("$", kind_location, 0);
  Symbol* equ = symbol("k", kind_equ, 12);
  Symbol* far1 = symbol("far1", kind_label, 0x10, other);
  Symbol* port = symbol("port", kind_label, 0x1004, fixed);
  Symbol* ext = symbol("ext", kind_external, 0);
  EXPECT_EQ(evaluate_absolute(a, op(op_add, name(equ), name(port))).value, 0x1010);
  EXPECT_EQ(evaluate_absolute(a, op(op_width, num(0x1234), num(8))).value, 0);
  EXPECT_EQ(evaluate_absolute(a, op(op_shift_left, num(1), num(256))).value, 0);
  EXPECT_EQ(evaluate_absolute(a, op(op_shift_left, num(1), num(33))).value, 2);
  EXPECT_TRUE(codes().empty());

  struct Case {
    const char* what;
    ArenaRef tree;
    int code;
  } failures[] = {
      {"$", name(dollar), 226},
      {"label of another relocatable section", name(far1), 226},
      {"external", name(ext), 226},
      {"division by zero", op(op_divide, num(1), num(0)), 201},
  };
  for (const Case& c : failures) {
    begin_statement_marks(a);
    evaluate_absolute(a, c.tree);
    EXPECT_EQ(codes(), std::vector<int>{c.code}) << c.what;
  }
}

TEST_F(Evaluator, ArenaLimitIsFatal) {
  ArenaRef tree = num(1);
  EXPECT_THROW(
      {
        for (int i = 0; i < 1000; ++i) tree = op(op_add, tree, num(1));
      },
      RunAborted);
  // 10001 bytes hold 208 pairs of a 32-byte constant and a 16-byte operator.
  EXPECT_LE(a.arena.used(), NodeArena::capacity);
}

TEST(BitsNeeded, BySignedness) {
  EXPECT_EQ(bits_needed(0, signed_range), 1);
  EXPECT_EQ(bits_needed(0, unsigned_range), 0);
  EXPECT_EQ(bits_needed(127, signed_range), 8);
  EXPECT_EQ(bits_needed(-128, signed_range), 8);
  EXPECT_EQ(bits_needed(-129, signed_range), 9);
  EXPECT_EQ(bits_needed(255, either_range), 8);
  EXPECT_EQ(bits_needed(-256, either_range), 8);
  EXPECT_EQ(bits_needed(-1, unsigned_range), 32);
  EXPECT_EQ(bits_needed(INT32_MIN, signed_range), 32);
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

}  // namespace
}  // namespace koral
