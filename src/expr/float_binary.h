// Exact decimal-to-binary conversion: a decimal text becomes a 128-bit
// significand and a binary exponent, from which the floating images are cut.
#pragma once

#include <cstdint>
#include <string_view>

namespace koral {

// 128 bits as eight 16-bit digits, the most significant first.
struct Wide128 {
  static constexpr int digit_count = 8;
  uint16_t digit[digit_count] = {};
};

// A binary value: significand × 2^(exponent − 127), the significand's top
// bit set unless the value is zero; or infinity when the decimal exponent
// lies beyond every format.
struct BinaryValue {
  bool negative = false;
  bool zero = true;
  bool infinite = false;
  Wide128 significand;
  int32_t exponent = 0;  // of the leading bit
};

// Reads a decimal text (optional sign, digits with an optional point, an
// optional "e"/"E" with optional sign and digits).  Digits beyond the 128-bit
// intermediate only move the decimal exponent.
BinaryValue decimal_to_binary(std::string_view text);

// The binary value of a 32-bit integer.
BinaryValue integer_to_binary(int32_t value);

}  // namespace koral
