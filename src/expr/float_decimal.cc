// Scaled decimal values read back as 32-bit integers and written as decimal
// text: both go through the "%+.15e" form of the mantissa, whose printed
// exponent is raised by the value's decimal exponent.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "expr/constants.h"

namespace koral {
namespace {

constexpr int warning_out_of_range = 501;
constexpr int warning_float_type = 518;

constexpr int mantissa_precision = 15;
constexpr int mantissa_digits = mantissa_precision + 1;

// A value from 214748365 on has no room for another decimal digit.
constexpr uint32_t integer_room_limit = 214748365u;

// Beyond this many zeros after the mantissa digits the wrapped value is 0.
constexpr int64_t max_filling_zeros = 40;

// Scales m by 10^e with repeated multiplication or division by 10.0; stops
// early once the value leaves the normal range.
double scale_by_ten(double m, int32_t e) {
  for (; e > 0 && std::isnormal(m); --e) m *= 10.0;
  for (; e < 0 && std::isnormal(m); ++e) m /= 10.0;
  return m;
}

// The mantissa in the "%+.15e" form, split into sign, digits and exponent.
struct PrintedMantissa {
  bool negative = false;
  char digits[mantissa_digits];
  int64_t exponent = 0;
  char text[40];  // the printed mantissa up to the exponent letter
  int text_length = 0;
};

PrintedMantissa print_mantissa(double m, int32_t e, bool scale) {
  if (scale && e < 308) {
    const double scaled = scale_by_ten(m, e);
    if (std::isnormal(scaled)) {
      m = scaled;
      e = 0;
    }
  }
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%+.*e", mantissa_precision, m);
  PrintedMantissa p;
  p.negative = buffer[0] == '-';
  const char* letter = std::strchr(buffer, 'e');
  p.text_length = static_cast<int>(letter - buffer);
  std::memcpy(p.text, buffer, static_cast<std::size_t>(p.text_length));
  p.digits[0] = buffer[1];
  std::memcpy(p.digits + 1, buffer + 3, mantissa_precision);
  p.exponent = std::strtol(letter + 1, nullptr, 10) + static_cast<int64_t>(e);
  return p;
}

void warn_integer_range(Assembly& a) {
  if (a.constants.integer_range_reported) return;
  a.constants.integer_range_reported = true;
  report_warning(a, warning_out_of_range);
}

int32_t finish_integer(Assembly& a, uint32_t value, bool negative) {
  const int32_t result = static_cast<int32_t>(negative ? 0u - value : value);
  std::snprintf(a.constants.integer_text, sizeof a.constants.integer_text, "%+ld",
                static_cast<long>(result));
  return result;
}

struct ExponentRange {
  int32_t lowest;   // smallest decimal exponent without warning
  int32_t highest;  // largest decimal exponent without warning
};

ExponentRange exponent_range(FloatFormat format) {
  switch (format) {
    case float_single: return {-38, 38};
    case float_double: return {-308, 308};
    default: return {-4932, 4932};
  }
}

void warn_decimal_range(Assembly& a) {
  if (a.constants.decimal_range_reported) return;
  a.constants.decimal_range_reported = true;
  report_warning(a, warning_float_type);
}

}  // namespace

int32_t integer_of_scaled(Assembly& a, ScaledDecimal value) {
  if (value.mantissa == 0.0) return finish_integer(a, 0, false);
  if (!std::isfinite(value.mantissa)) {
    warn_integer_range(a);
    return finish_integer(a, 0, false);
  }
  const PrintedMantissa p = print_mantissa(value.mantissa, value.exponent, true);
  // Digits before the point once it has moved by the exponent.
  const int64_t integer_length = 1 + p.exponent;

  uint32_t result = 0;
  const int64_t taken = integer_length < mantissa_digits ? integer_length : mantissa_digits;
  for (int64_t i = 0; i < taken; ++i) {
    if (result >= integer_room_limit) warn_integer_range(a);
    result = result * 10u + static_cast<uint32_t>(p.digits[i] - '0');
  }
  int64_t zeros = integer_length - mantissa_digits;
  if (zeros > max_filling_zeros) zeros = max_filling_zeros;
  for (int64_t i = 0; i < zeros; ++i) {
    if (result >= integer_room_limit) warn_integer_range(a);
    result *= 10u;
  }

  // The fraction: the digits after the point, led by zeros when the point
  // moved in front of the first digit.
  char fraction[5];
  for (int i = 0; i < 5; ++i) {
    const int64_t position = integer_length + i;  // index into the digits
    fraction[i] = position >= 0 && position < mantissa_digits ? p.digits[position]
                  : position < 0                               ? '0'
                                                               : '\0';
  }
  if (std::memcmp(fraction, "99999", 5) == 0) ++result;
  return finish_integer(a, result, p.negative);
}

DecimalText decimal_text_of_scaled(Assembly& a, ScaledDecimal value, FloatFormat format) {
  DecimalText t;
  if (value.mantissa == 0.0) {
    t.text[0] = '0';
    t.length = 1;
    return t;
  }
  if (!std::isfinite(value.mantissa)) {
    warn_decimal_range(a);
    const char* word = std::isnan(value.mantissa) ? "nan" : value.mantissa < 0 ? "-inf" : "+inf";
    t.length = static_cast<int32_t>(std::strlen(word));
    std::memcpy(t.text, word, static_cast<std::size_t>(t.length));
    return t;
  }
  // The printed exponent raised by e is m scaled by 10^e without the rounding
  // of repeated multiplication, so every format takes it unscaled.
  const PrintedMantissa p = print_mantissa(value.mantissa, value.exponent, false);
  int64_t exponent = p.exponent;
  if (exponent > INT32_MAX) exponent = INT32_MAX;
  if (exponent < INT32_MIN) exponent = INT32_MIN;
  std::memcpy(t.text, p.text, static_cast<std::size_t>(p.text_length));
  t.length = p.text_length;
  t.length += std::snprintf(t.text + t.length, sizeof t.text - static_cast<std::size_t>(t.length),
                            "e%+d", static_cast<int>(exponent));
  const ExponentRange range = exponent_range(format);
  if (exponent < range.lowest || exponent > range.highest) warn_decimal_range(a);
  return t;
}

}  // namespace koral
