#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driver/assembly.h"
#include "expr/constants.h"

namespace koral {
namespace {

using Codes = std::vector<int32_t>;

std::vector<int32_t> reported(const Assembly& a) {
  std::vector<int32_t> codes;
  for (const PendingDiagnostic& d : a.diag.pending) codes.push_back(d.code);
  return codes;
}

std::string hex(const uint8_t* bytes, int count) {
  std::string text;
  char two[4];
  for (int i = 0; i < count; ++i) {
    std::snprintf(two, sizeof two, i == 0 ? "%02X" : " %02X", bytes[i]);
    text += two;
  }
  return text;
}

std::string hex(const FloatImage& image) { return hex(image.bytes, image.size); }

// Images of decimal texts, most significant byte first.
TEST(FloatImage, ImagesOfDecimalTexts) {
  struct Case {
    const char* text;
    FloatFormat format;
    const char* image;
    Codes codes;
  };
  const Case cases[] = {
      {"-2.5", float_single, "C0 20 00 00", {}},
      {"-2.5", float_extended, "C0 00 A0 00 00 00 00 00 00 00", {}},
      {"0.1", float_single, "3D CC CC CD", {}},
      {"0.1", float_double, "3F B9 99 99 99 99 99 9A", {}},
      {"+1.000000000000000e-1", float_double, "3F B9 99 99 99 99 99 9A", {}},
      {"0.1", float_extended, "3F FB CC CC CC CC CC CC CC CD", {}},
      {"1e308", float_double, "7F E1 CC F3 85 EB C8 A0", {}},
      {"+3.40282347E+38", float_single, "7F 7F FF FF", {}},
      {"+1.17549435E-38", float_single, "00 80 00 00", {}},
      {"+2.2250738585072014e-308", float_double, "00 10 00 00 00 00 00 00", {}},
      {"+1.7976931348623157e308", float_double, "7F EF FF FF FF FF FF FF", {}},
      // Ties round away from zero: 2^24 + 1, 2^53 + 1, 2^64 + 1.
      {"16777217", float_single, "4B 80 00 01", {}},
      {"-16777217", float_single, "CB 80 00 01", {}},
      {"9007199254740993", float_double, "43 40 00 00 00 00 00 01", {}},
      {"18446744073709551617", float_extended, "40 3F 80 00 00 00 00 00 00 01", {}},
      // Below a tie the value is kept: 2^24 + 0.999.
      {"16777216.999", float_single, "4B 80 00 00", {}},
      // A carry out of the significand: 2^24 - 0.5 rounds to 2^24.
      {"16777215.5", float_single, "4B 80 00 00", {}},
      // Infinity of the sign above the largest number.
      {"3.5e38", float_single, "7F 80 00 00", {}},
      {"-1e39", float_single, "FF 80 00 00", {}},
      {"1e309", float_double, "7F F0 00 00 00 00 00 00", {}},
      {"1e4933", float_extended, "7F FF 00 00 00 00 00 00 00 00", {}},
      {"-1e99999", float_extended, "FF FF 00 00 00 00 00 00 00 00", {}},
      // Below the smallest normal number: warning 501 and all zero.
      {"1.0e-38", float_single, "00 00 00 00", {501}},
      {"-1e-320", float_double, "00 00 00 00 00 00 00 00", {501}},
      {"1e-4940", float_extended, "00 00 00 00 00 00 00 00 00 00", {501}},
      {"1e-99999", float_double, "00 00 00 00 00 00 00 00", {501}},
      // Zero, however written.
      {"0", float_double, "00 00 00 00 00 00 00 00", {}},
      {"-0.000e5", float_single, "00 00 00 00", {}},
      // Digits beyond the intermediate only move the exponent.  The images of
  // these two are the exact values rounded, worked out with rational
  // arithmetic.
      {"123456789012345678901234567890123456789012345678901234567890", float_double,
       "4C 33 AA F5 04 E4 BC 1E", {}},
      {"0.000000000000000000000000000000000000000000001e45", float_single, "3F 80 00 00", {}},
      {"1.5e4000", float_extended, "73 E7 9D 4B E2 5A FE C0 29 49", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " in " + std::to_string(c.format));
    Assembly a;
    a.run.pass = pass_final;
    EXPECT_EQ(hex(float_image_of_text(a, c.format, c.text)), c.image);
    EXPECT_EQ(reported(a), c.codes);
  }
}

TEST(FloatImage, ImagesOfIntegers) {
  struct Case {
    int32_t value;
    FloatFormat format;
    const char* image;
  };
  const Case cases[] = {
      {1, float_single, "3F 80 00 00"},
      {-1, float_single, "BF 80 00 00"},
      {0, float_double, "00 00 00 00 00 00 00 00"},
      {INT32_MIN, float_single, "CF 00 00 00"},
      {INT32_MAX, float_single, "4F 00 00 00"},  // 2^31 - 1 rounds up to 2^31
      {INT32_MAX, float_double, "41 DF FF FF FF C0 00 00"},
      {16777217, float_single, "4B 80 00 01"},
      {10, float_extended, "40 02 A0 00 00 00 00 00 00 00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    Assembly a;
    EXPECT_EQ(hex(float_image_of_integer(a, c.format, c.value)), c.image);
  }
}

// The stored bytes of floating-data items: least significant byte first.
TEST(FloatData, ItemsAreStoredLeastSignificantByteFirst) {
  struct Case {
    ScaledDecimal value;
    FloatFormat format;
    const char* stored;
    Codes codes;
  };
  const Case cases[] = {
      {{0.1, 0}, float_single, "CD CC CC 3D", {}},  // through the text +1.000000000000000e-1
      {{-0.5, 2}, float_single, "00 00 48 C2", {}},  // -50
      // 10^4000, the exact value rounded (worked out with rational arithmetic).
      {{1.0, 4000}, float_extended, "61 8C 55 FE 23 83 BA D1 E6 73", {}},
      {{1.0, 39}, float_single, "00 00 80 7F", {518}},
      {{1.0, -40}, float_single, "00 00 00 00", {518, 501}},
      {{0.0, 0}, float_double, "00 00 00 00 00 00 00 00", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.value.mantissa) + "e" + std::to_string(c.value.exponent));
    Assembly a;
    a.run.pass = pass_final;
    uint8_t stored[FloatImage::max_bytes] = {};
    const int32_t size = float_data_item(a, c.format, c.value, stored);
    EXPECT_EQ(size, float_format_size(c.format));
    EXPECT_EQ(hex(stored, size), c.stored);
    EXPECT_EQ(reported(a), c.codes);
  }
}

TEST(FloatData, StatementSizeIsLimitedTo10000Bytes) {
  Assembly a;
  a.run.pass = pass_final;
  EXPECT_EQ(float_data_size(a, float_double, 1250), 10000u);
  EXPECT_EQ(float_data_size(a, float_extended, 3), 30u);
  EXPECT_EQ(float_data_size(a, float_single, 0), 0u);
  EXPECT_EQ(reported(a), Codes{});
  EXPECT_EQ(float_data_size(a, float_double, 1251), 10000u);
  EXPECT_EQ(float_data_size(a, float_extended, 0xFFFFFFFFu), 10000u);
  EXPECT_EQ(reported(a), (Codes{501, 501}));
}

TEST(FloatFunction, PartsOfTheImage) {
  struct Case {
    FloatFunction function;
    ScaledDecimal value;
    uint32_t result;
  };
  const Case cases[] = {
      {fims, {1.0, 0}, 0x3F800000u},
      {fims, {-2.5, 0}, 0xC0200000u},
      {fimdh, {1.0, 0}, 0x3FF00000u},
      {fimdl, {1.0, 0}, 0u},
      {fimdh, {0.1, 0}, 0x3FB99999u},
      {fimdl, {0.1, 0}, 0x9999999Au},
      {fimxh, {1.0, 0}, 0x3FFFu},
      {fimxm, {1.0, 0}, 0x80000000u},
      {fimxl, {1.0, 0}, 0u},
      {fimxh, {-0.1, 0}, 0xBFFBu},
      {fimxm, {0.1, 0}, 0xCCCCCCCCu},
      {fimxl, {0.1, 0}, 0xCCCCCCCDu},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.function));
    Assembly a;
    EXPECT_EQ(float_function_value(a, c.function, c.value), c.result);
  }
}

}  // namespace
}  // namespace koral
