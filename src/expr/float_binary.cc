// The decimal digits are accumulated into a 128-bit intermediate, which is
// normalised and multiplied by the powers of ten that compose the decimal
// exponent; each product keeps its upper 128 bits.  Small negative exponents
// are divided out exactly instead, so that a value lying exactly halfway
// between two numbers of a format is not pushed below halfway by the
// rounded reciprocals.
#include "expr/float_binary.h"

namespace koral {
namespace {

// A power of ten: digits × 2^binary_exponent, digits normalised.
struct PowerOfTen {
  Wide128 digits;
  int32_t binary_exponent;
};

constexpr int power_count = 11;  // 10^1, 10^2, 10^4, ..., 10^1024

// 10^(2^i), rounded to 128 bits.
constexpr PowerOfTen positive_powers[power_count] = {
    {{{0xA000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000}}, -124},   // 10^1
    {{{0xC800, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000}}, -121},   // 10^2
    {{{0x9C40, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000}}, -114},   // 10^4
    {{{0xBEBC, 0x2000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000}}, -101},   // 10^8
    {{{0x8E1B, 0xC9BF, 0x0400, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000}}, -74},    // 10^16
    {{{0x9DC5, 0xADA8, 0x2B70, 0xB59D, 0xF020, 0x0000, 0x0000, 0x0000}}, -21},    // 10^32
    {{{0xC278, 0x1F49, 0xFFCF, 0xA6D5, 0x3CBF, 0x6B71, 0xC76B, 0x25FB}}, 85},     // 10^64
    {{{0x93BA, 0x47C9, 0x80E9, 0x8CDF, 0xC66F, 0x336C, 0x36B1, 0x0137}}, 298},    // 10^128
    {{{0xAA7E, 0xEBFB, 0x9DF9, 0xDE8D, 0xDDBB, 0x901B, 0x98FE, 0xEAB8}}, 723},    // 10^256
    {{{0xE319, 0xA0AE, 0xA60E, 0x91C6, 0xCC65, 0x5C54, 0xBC50, 0x58F9}}, 1573},   // 10^512
    {{{0xC976, 0x7586, 0x8175, 0x0C17, 0x650D, 0x3D28, 0xF18B, 0x50CE}}, 3274},   // 10^1024
};

// 10^-(2^i), rounded to 128 bits.
constexpr PowerOfTen negative_powers[power_count] = {
    {{{0xCCCC, 0xCCCC, 0xCCCC, 0xCCCC, 0xCCCC, 0xCCCC, 0xCCCC, 0xCCCD}}, -131},   // 10^-1
    {{{0xA3D7, 0x0A3D, 0x70A3, 0xD70A, 0x3D70, 0xA3D7, 0x0A3D, 0x70A4}}, -134},   // 10^-2
    {{{0xD1B7, 0x1758, 0xE219, 0x652B, 0xD3C3, 0x6113, 0x404E, 0xA4A9}}, -141},   // 10^-4
    {{{0xABCC, 0x7711, 0x8461, 0xCEFC, 0xFDC2, 0x0D2B, 0x36BA, 0x7C3D}}, -154},   // 10^-8
    {{{0xE695, 0x94BE, 0xC44D, 0xE15B, 0x4C2E, 0xBE68, 0x7989, 0xA9B4}}, -181},   // 10^-16
    {{{0xCFB1, 0x1EAD, 0x4539, 0x94BA, 0x67DE, 0x18ED, 0xA581, 0x4AF2}}, -234},   // 10^-32
    {{{0xA87F, 0xEA27, 0xA539, 0xE9A5, 0x3F23, 0x98D7, 0x47B3, 0x6224}}, -340},   // 10^-64
    {{{0xDDD0, 0x467C, 0x64BC, 0xE4A0, 0xAC7C, 0xB3F6, 0xD05D, 0xDBDF}}, -553},   // 10^-128
    {{{0xC031, 0x4325, 0x637A, 0x1939, 0xFA91, 0x1155, 0xFEFB, 0x5309}}, -978},   // 10^-256
    {{{0x9049, 0xEE32, 0xDB23, 0xD21C, 0x7132, 0xD332, 0xE3F2, 0x04D5}}, -1828},  // 10^-512
    {{{0xA2A6, 0x82A5, 0xDA57, 0xC0BD, 0x87A6, 0x0158, 0x6BD3, 0xF699}}, -3529},  // 10^-1024
};

constexpr int32_t largest_power = 1024;

// The intermediate takes another digit while its top digit leaves room for
// ×10 + 9.
constexpr uint16_t room_for_digit = 0x1999;

// Beyond this decimal exponent every format overflows or falls below its
// smallest normal number, whatever the digits.
constexpr int32_t decimal_exponent_bound = 6000;

bool is_zero(const Wide128& w) {
  for (uint16_t d : w.digit)
    if (d != 0) return false;
  return true;
}

// w = w × 10 + digit.
void multiply_ten_add(Wide128& w, uint32_t digit) {
  uint32_t carry = digit;
  for (int i = Wide128::digit_count - 1; i >= 0; --i) {
    const uint32_t product = static_cast<uint32_t>(w.digit[i]) * 10u + carry;
    w.digit[i] = static_cast<uint16_t>(product & 0xFFFF);
    carry = product >> 16;
  }
}

// Shifts w left until its top bit is set; returns the shift.
int normalise(Wide128& w) {
  constexpr int n = Wide128::digit_count;
  int shift = 0;
  while (w.digit[0] == 0) {
    for (int i = 0; i < n - 1; ++i) w.digit[i] = w.digit[i + 1];
    w.digit[n - 1] = 0;
    shift += 16;
  }
  int bits = 0;
  while (((w.digit[0] << bits) & 0x8000) == 0) ++bits;
  if (bits > 0) {
    for (int i = 0; i < n; ++i) {
      const uint32_t next = i + 1 < n ? w.digit[i + 1] : 0;
      w.digit[i] = static_cast<uint16_t>((static_cast<uint32_t>(w.digit[i]) << bits) |
                                         (next >> (16 - bits)));
    }
  }
  return shift + bits;
}

// value = value × power, keeping the upper 128 bits of the product.
void multiply_power(BinaryValue& value, const PowerOfTen& power) {
  constexpr int n = Wide128::digit_count;
  uint32_t product[2 * n] = {};  // 16-bit digits, most significant first
  for (int i = n - 1; i >= 0; --i) {
    uint32_t carry = 0;
    for (int j = n - 1; j >= 0; --j) {
      const uint32_t cell = static_cast<uint32_t>(value.significand.digit[i]) * power.digits.digit[j] +
                            product[i + j + 1] + carry;
      product[i + j + 1] = cell & 0xFFFF;
      carry = cell >> 16;
    }
    product[i] = carry;
  }
  // Both factors have their top bit set, so the product's top bit is bit 255
  // or bit 254.
  const bool top_set = (product[0] & 0x8000) != 0;
  for (int i = 0; i < n; ++i) {
    uint32_t digit = product[i];
    if (!top_set) digit = ((digit << 1) | (product[i + 1] >> 15)) & 0xFFFF;
    value.significand.digit[i] = static_cast<uint16_t>(digit);
  }
  // significand × 2^(e − 127) × P × 2^p = product × 2^(e − 127 + p); the kept
  // digits are the product shifted down by 128 (or 127) bits.
  value.exponent += power.binary_exponent + 127 + (top_set ? 1 : 0);
}

// 10^count as a 128-bit integer (count up to 38).
Wide128 exact_power_of_ten(int count) {
  Wide128 power;
  power.digit[Wide128::digit_count - 1] = 1;
  for (int i = 0; i < count; ++i) multiply_ten_add(power, 0);
  return power;
}

// Digits of a remainder during the division: 129 bits need nine 16-bit digits.
constexpr int remainder_digits = Wide128::digit_count + 1;

bool remainder_at_least(const uint32_t* remainder, const Wide128& divisor) {
  if (remainder[0] != 0) return true;
  for (int i = 0; i < Wide128::digit_count; ++i)
    if (remainder[i + 1] != divisor.digit[i]) return remainder[i + 1] > divisor.digit[i];
  return true;
}

void remainder_subtract(uint32_t* remainder, const Wide128& divisor) {
  uint32_t borrow = 0;
  for (int i = remainder_digits - 1; i >= 0; --i) {
    const uint32_t subtrahend = (i > 0 ? divisor.digit[i - 1] : 0u) + borrow;
    borrow = remainder[i] < subtrahend ? 1 : 0;
    remainder[i] = (remainder[i] + (borrow << 16) - subtrahend) & 0xFFFF;
  }
}

void remainder_double(uint32_t* remainder) {
  for (int i = 0; i < remainder_digits; ++i) {
    const uint32_t next = i + 1 < remainder_digits ? remainder[i + 1] >> 15 : 0u;
    remainder[i] = ((remainder[i] << 1) | next) & 0xFFFF;
  }
}

// value = value / 10^count for count 1..38, by long division: the kept
// quotient is the exact one cut after 128 bits, so a value that lies exactly
// halfway between two numbers of a format stays exactly halfway.
void divide_power_of_ten(BinaryValue& value, int count) {
  Wide128 divisor = exact_power_of_ten(count);
  const int divisor_shift = normalise(divisor);  // 10^count = divisor × 2^-divisor_shift
  // quotient = floor(significand × 2^128 / divisor): 129 bits, the top one
  // set when significand >= divisor.
  uint32_t remainder[remainder_digits] = {};
  for (int i = 0; i < Wide128::digit_count; ++i) remainder[i + 1] = value.significand.digit[i];
  const bool top_bit = remainder_at_least(remainder, divisor);
  if (top_bit) remainder_subtract(remainder, divisor);
  Wide128 quotient;
  for (int bit = 127; bit >= 0; --bit) {
    remainder_double(remainder);
    if (remainder_at_least(remainder, divisor)) {
      remainder_subtract(remainder, divisor);
      quotient.digit[7 - bit / 16] = static_cast<uint16_t>(quotient.digit[7 - bit / 16] | (1u << (bit % 16)));
    }
  }
  if (top_bit) {
    // Keep the upper 128 of the 129 bits.
    for (int i = Wide128::digit_count - 1; i >= 0; --i) {
      const uint32_t above = i > 0 ? (quotient.digit[i - 1] & 1u) : 1u;
      quotient.digit[i] = static_cast<uint16_t>((quotient.digit[i] >> 1) | (above << 15));
    }
  }
  value.significand = quotient;
  // significand × 2^(e − 127) / (divisor × 2^-shift) = quotient × 2^(e − 255 + shift).
  value.exponent += divisor_shift - 128 + (top_bit ? 1 : 0);
}

// Decimal exponents from −76 up are divided out exactly; beyond, the
// reciprocal powers of the table are multiplied in.
constexpr int32_t largest_exact_power = 38;
constexpr int32_t lowest_divided_exponent = -2 * largest_exact_power;

void scale_by_power_of_ten(BinaryValue& value, int32_t decimal_exponent) {
  if (decimal_exponent < 0 && decimal_exponent >= lowest_divided_exponent) {
    int32_t remaining = -decimal_exponent;
    if (remaining > largest_exact_power) {
      divide_power_of_ten(value, largest_exact_power);
      remaining -= largest_exact_power;
    }
    divide_power_of_ten(value, remaining);
    return;
  }
  const PowerOfTen* table = decimal_exponent < 0 ? negative_powers : positive_powers;
  int32_t remaining = decimal_exponent < 0 ? -decimal_exponent : decimal_exponent;
  while (remaining >= largest_power) {
    multiply_power(value, table[power_count - 1]);
    remaining -= largest_power;
  }
  for (int i = power_count - 2; i >= 0; --i) {
    if (remaining & (1 << i)) multiply_power(value, table[i]);
  }
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

BinaryValue decimal_to_binary(std::string_view text) {
  BinaryValue value;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) value.negative = text[i++] == '-';
  if (text.substr(i, 3) == "inf") {
    value.zero = false;
    value.infinite = true;
    return value;
  }

  int32_t decimal_exponent = 0;
  bool after_point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.' && !after_point) {
      after_point = true;
      continue;
    }
    if (!is_digit(c)) break;
    if (value.significand.digit[0] < room_for_digit) {
      multiply_ten_add(value.significand, static_cast<uint32_t>(c - '0'));
      if (after_point) --decimal_exponent;
    } else if (!after_point) {
      ++decimal_exponent;
    }
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negative_exponent = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative_exponent = text[i++] == '-';
    int32_t written = 0;
    for (; i < text.size() && is_digit(text[i]); ++i)
      if (written < 10 * decimal_exponent_bound) written = written * 10 + (text[i] - '0');
    decimal_exponent += negative_exponent ? -written : written;
  }

  if (is_zero(value.significand)) return value;
  value.zero = false;
  if (decimal_exponent > decimal_exponent_bound) {
    value.infinite = true;
    return value;
  }
  if (decimal_exponent < -decimal_exponent_bound) {
    // Far below every normal number: keep the smallest possible exponent.
    value.exponent = -8 * decimal_exponent_bound;
    normalise(value.significand);
    return value;
  }
  value.exponent = 127 - normalise(value.significand);
  scale_by_power_of_ten(value, decimal_exponent);
  return value;
}

BinaryValue integer_to_binary(int32_t number) {
  BinaryValue value;
  if (number == 0) return value;
  value.zero = false;
  value.negative = number < 0;
  const uint32_t magnitude = value.negative ? 0u - static_cast<uint32_t>(number)
                                            : static_cast<uint32_t>(number);
  value.significand.digit[6] = static_cast<uint16_t>(magnitude >> 16);
  value.significand.digit[7] = static_cast<uint16_t>(magnitude & 0xFFFF);
  value.exponent = 127 - normalise(value.significand);
  return value;
}

}  // namespace koral
