#include "expr/constants.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "driver/assembly.h"

namespace koral {
namespace {

NumericConstant constant(const char* text, int32_t radix) {
  NumericConstant c;
  c.length = static_cast<int32_t>(std::strlen(text));
  std::memcpy(c.text, text, static_cast<std::size_t>(c.length) + 1);
  c.radix = radix;
  c.token_class = radix == 2 || radix == 8 || radix == 10 || radix == 16 ? token_integer : token_float;
  return c;
}

std::vector<int32_t> reported(const Assembly& a) {
  std::vector<int32_t> codes;
  for (const PendingDiagnostic& d : a.diag.pending) codes.push_back(d.code);
  return codes;
}

using Codes = std::vector<int32_t>;

// Integer constants of every radix, converted in pass 1 where overflow is
// noticed; the statement's end then reports it.
TEST(IntegerConstant, ValuesAndOverflowByRadix) {
  struct Case {
    const char* text;
    int32_t radix;
    uint32_t value;
    bool overflow;
  };
  const Case cases[] = {
      {"+4294967295", 10, 0xFFFFFFFFu, false},
      {"+4294967296", 10, 0u, true},
      {"+4294967300", 10, 4u, true},           // 429496730 and another digit
      {"+9999999999", 10, 1410065407u, true},  // 9999999999 mod 2^32
      {"+42949672950", 10, 0xFFFFFFF6u, true}, // eleven significant digits
      {"+0004294967295", 10, 0xFFFFFFFFu, false},  // leading zeros do not count
      {"+1234", 10, 1234u, false},
      {"+0", 10, 0u, false},
      {"+FFFFFFFF", 16, 0xFFFFFFFFu, false},
      {"+ffff", 16, 0xFFFFu, false},
      {"+100000000", 16, 0u, true},
      {"+00000000FF", 16, 0xFFu, false},
      {"4142", 16, 0x4142u, false},  // a character constant: hex text without a sign
      {"+37777777777", 8, 0xFFFFFFFFu, false},
      {"+77777777777", 8, 0xFFFFFFFFu, false},  // 2^33 - 1 wraps without notice
      {"+100000000000", 8, 0u, true},
      {"+11111111111111111111111111111111", 2, 0xFFFFFFFFu, false},
      {"+100000000000000000000000000000000", 2, 0u, true},
      {"+0000000000000000000000000000000000001", 2, 1u, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " radix " + std::to_string(c.radix));
    Assembly a;
    a.run.pass = pass_one;
    EXPECT_EQ(static_cast<uint32_t>(integer_constant_value(a, constant(c.text, c.radix), false)),
              c.value);
    EXPECT_EQ(a.constants.overflow_mark, c.overflow);
    a.run.pass = pass_final;
    report_constant_overflow(a);
    EXPECT_EQ(reported(a), c.overflow ? Codes{501} : Codes{});
  }
}

TEST(IntegerConstant, OverflowIsNoticedOnlyInPassOne) {
  Assembly a;
  a.run.pass = pass_two;
  EXPECT_EQ(integer_constant_value(a, constant("+4294967296", 10), false), 0);
  EXPECT_FALSE(a.constants.overflow_mark);
  a.run.pass = pass_one;
  integer_constant_value(a, constant("+4294967296", 10), false);
  EXPECT_TRUE(a.constants.overflow_mark);
  begin_statement_constants(a);
  EXPECT_FALSE(a.constants.overflow_mark);
}

// Reports of the final pass: a digit outside the radix is a syntax error,
// unless the statement follows END; a floating constant where an integer is
// built gives the digits before the point or exponent, as decimal, always
// with warning 501.
TEST(IntegerConstant, ReportsOfTheFinalPass) {
  struct Case {
    const char* text;
    int32_t radix;
    bool after_end;
    int32_t value;
    Codes codes;
  };
  const Case cases[] = {
      {"+19", 8, false, 0, {200}},
      {"+102", 2, false, 0, {200}},
      {"+12G", 16, false, 0, {200}},
      {"+1A", 10, false, 0, {200}},
      {"+19", 8, true, 0, {}},
      {"+102", 2, true, 0, {}},
      {"+12G", 16, true, 0, {}},
      {"+1A", 10, true, 0, {}},
      {"+2.999999", 64, false, 2, {501}},
      {"+12e3", 64, false, 12, {501}},
      {"+7.5", 32, false, 7, {501}},
      {"+42E-1", 80, false, 42, {501}},
      {"+99999999999.5", 64, false, 0, {501}},  // overflow gives 0
      {"+4294967296.0", 64, false, 0, {501}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + (c.after_end ? " after END" : ""));
    Assembly a;
    a.run.pass = pass_final;
    EXPECT_EQ(integer_constant_value(a, constant(c.text, c.radix), c.after_end), c.value);
    EXPECT_EQ(reported(a), c.codes);
    EXPECT_FALSE(a.constants.overflow_mark);
  }
}

TEST(FloatingConstant, ValuesAndFailures) {
  struct Case {
    const char* text;
    int32_t radix;
    bool in_float_data;
    bool ok;
    double mantissa;
    int32_t exponent;
    Codes codes;
  };
  const Case cases[] = {
      {"+1.5", 64, false, true, 1.5, 0, {}},
      {"+0", 64, true, true, 0.0, 0, {}},
      {"+2.5E3", 64, false, true, 2500.0, 0, {}},
      {"+1E400", 64, false, false, 0.0, 0, {501}},
      {"+1.0E-38", 32, true, false, 0.0, 0, {501}},   // below the single range in floating data
      {"+1.0E-38", 32, false, true, 1.0E-38, 0, {}},  // elsewhere it is just a double
      {"+3.5E38", 32, true, false, 0.0, 0, {501}},
      {"+3.40282347E38", 32, true, true, 3.40282347E38, 0, {}},
      {"+1.17549435E-38", 32, true, true, 1.17549435E-38, 0, {}},
      {"+1.0E300", 80, true, true, 1.0E300, 0, {}},
      {"+1.5E4000", 80, true, true, 1.5, 4000, {}},  // beyond a double: the exponent is kept apart
      {"+2.0E-4000", 80, true, true, 2.0, -4000, {}},
      {"+FF", 16, true, true, 255.0, 0, {}},  // an integer constant gives its value
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Assembly a;
    a.run.pass = pass_final;
    ScaledDecimal value{9.0, 9};
    EXPECT_EQ(floating_constant_value(a, constant(c.text, c.radix), c.in_float_data, value), c.ok);
    EXPECT_EQ(value.mantissa, c.mantissa);
    EXPECT_EQ(value.exponent, c.exponent);
    EXPECT_EQ(reported(a), c.codes);
  }
}

TEST(FloatingConstant, ScaledOfTheSmallestInteger) {
  EXPECT_EQ(scaled_of_integer(INT32_MIN).mantissa, -2147483648.0);
}

TEST(ScaledToInteger, TruncatesExceptForFiveNines) {
  struct Case {
    double mantissa;
    int32_t exponent;
    int32_t value;
    const char* text;
  };
  const Case cases[] = {
      {2.999999, 0, 3, "+3"},
      {2.99998, 0, 2, "+2"},
      {2.5, 0, 2, "+2"},
      {-2.999999, 0, -3, "-3"},
      {-2.5, 0, -2, "-2"},
      {2.9999999999999996, 0, 3, "+3"},
      {0.0, 12, 0, "+0"},
      {1.5, 3, 1500, "+1500"},
      {15.0, -1, 1, "+1"},
      {1.5, -1, 0, "+0"},
      {9.99999, -1, 1, "+1"},   // the point moves in front of the digits: .999990
      {9.99999, -2, 0, "+0"},   // .0999999
      {2147483647.0, 0, 2147483647, "+2147483647"},
      {123456.0, 2, 12345600, "+12345600"},
      {1.2345, 308, 0, "+0"},   // exponent from 308 on: the printed exponent is raised
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.mantissa) + "e" + std::to_string(c.exponent));
    Assembly a;
    a.run.pass = pass_final;
    EXPECT_EQ(integer_of_scaled(a, ScaledDecimal{c.mantissa, c.exponent}), c.value);
    EXPECT_STREQ(a.constants.integer_text, c.text);
    const bool wraps = c.exponent == 308;
    EXPECT_EQ(reported(a), wraps ? Codes{501} : Codes{});
  }
}

TEST(ScaledToInteger, WrapsWithOneWarningPerStatement) {
  Assembly a;
  a.run.pass = pass_final;
  // 214748365 before the last digit: no room, wraps to 2147483650 - 2^32.
  EXPECT_EQ(integer_of_scaled(a, ScaledDecimal{2147483650.0, 0}), -2147483646);
  EXPECT_EQ(integer_of_scaled(a, ScaledDecimal{-5.0, 9}), -705032704);  // 5e9 mod 2^32, negated
  EXPECT_EQ(reported(a), Codes{501});
  begin_statement_constants(a);
  EXPECT_EQ(integer_of_scaled(a, ScaledDecimal{1.0, 400}), 0);  // 10^400 is 0 modulo 2^32
  EXPECT_EQ(reported(a), (Codes{501, 501}));
  // 2147483648 has room before its last digit: it wraps silently.
  Assembly b;
  b.run.pass = pass_final;
  EXPECT_EQ(integer_of_scaled(b, ScaledDecimal{2147483648.0, 0}), INT32_MIN);
  EXPECT_EQ(reported(b), Codes{});
}

TEST(ScaledToDecimalText, FormsAndRangeWarnings) {
  struct Case {
    double mantissa;
    int32_t exponent;
    FloatFormat format;
    const char* text;
    bool warns;
  };
  const Case cases[] = {
      {0.0, 5, float_double, "0", false},
      {1.5, 0, float_double, "+1.500000000000000e+0", false},
      {-2.5, 0, float_single, "-2.500000000000000e+0", false},
      {1.5, 2, float_single, "+1.500000000000000e+2", false},
      {15.0, 2, float_extended, "+1.500000000000000e+3", false},
      {1.0, 38, float_single, "+1.000000000000000e+38", false},
      {1.0, 39, float_single, "+1.000000000000000e+39", true},
      {1.0, -38, float_single, "+1.000000000000000e-38", false},
      {1.0, -39, float_single, "+1.000000000000000e-39", true},
      {1.0, 308, float_double, "+1.000000000000000e+308", false},
      {1.0, 309, float_double, "+1.000000000000000e+309", true},
      {1.0, -309, float_double, "+1.000000000000000e-309", true},
      {1.0, 4932, float_extended, "+1.000000000000000e+4932", false},
      {1.0, 4933, float_extended, "+1.000000000000000e+4933", true},
      {1.0, -4932, float_extended, "+1.000000000000000e-4932", false},
      {1.0, -4933, float_extended, "+1.000000000000000e-4933", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Assembly a;
    a.run.pass = pass_final;
    const DecimalText t = decimal_text_of_scaled(a, ScaledDecimal{c.mantissa, c.exponent}, c.format);
    EXPECT_EQ(t.view(), c.text);
    EXPECT_EQ(reported(a), c.warns ? Codes{518} : Codes{});
  }
}

TEST(ScaledToDecimalText, RangeWarningOncePerStatement) {
  Assembly a;
  a.run.pass = pass_final;
  decimal_text_of_scaled(a, ScaledDecimal{1.0, 50}, float_single);
  decimal_text_of_scaled(a, ScaledDecimal{1.0, -50}, float_single);
  EXPECT_EQ(reported(a), Codes{518});
  begin_statement_constants(a);
  decimal_text_of_scaled(a, ScaledDecimal{1.0, 50}, float_single);
  EXPECT_EQ(reported(a), (Codes{518, 518}));
}

TEST(FloatConstantText, LexicalRangeTest) {
  struct Case {
    const char* text;
    FloatFormat format;
    const char* after;
    bool warns;
  };
  const Case cases[] = {
      {"+1.0E39", float_single, "+1.0E38", true},
      {"+1.0E-40", float_single, "+1.0E-38", true},
      {"+1.0e+39", float_single, "+1.0e+38", true},
      {"+1.0E0039", float_single, "+1.0E38", true},
      {"+1.0E38", float_single, "+1.0E38", false},
      {"+3.40282347E38", float_single, "+3.40282347E38", false},
      {"+3.40282348E38", float_single, "+3.40282348E38", true},
      {"+1.17549435E-38", float_single, "+1.17549435E-38", false},
      {"+1.17549434E-38", float_single, "+1.17549434E-38", true},
      {"+1E-38", float_single, "+1E-38", true},  // 1 lies below 1.17549435
      {"+1.5", float_single, "+1.5", false},
      {"+1E309", float_double, "+1E308", true},
      {"+1.7976931348623155E308", float_double, "+1.7976931348623155E308", true},
      {"+2.2250738585072014E-308", float_double, "+2.2250738585072014E-308", false},
      {"+1E4933", float_extended, "+1E4932", true},
      {"+1.2E-4932", float_extended, "+1.2E-4932", true},
      {"+1E308", float_extended, "+1E308", false},
      {"+1E39", float_none, "+1E39", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Assembly a;
    a.run.pass = pass_final;
    NumericConstant n = constant(c.text, c.format);
    check_float_constant_text(a, c.format, n);
    EXPECT_EQ(std::string(n.text, static_cast<std::size_t>(n.length)), c.after);
    EXPECT_EQ(reported(a), c.warns ? Codes{518} : Codes{});
  }
}

}  // namespace
}  // namespace koral
