// Integer and floating constants as the lexer hands them over: their 32-bit
// values with the overflow rules, and their scaled decimal values.
#include "expr/constants.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "diag/diagnostics.h"
#include "driver/assembly.h"

namespace koral {
namespace {

constexpr int error_syntax = 200;
constexpr int warning_out_of_range = 501;

// Longest prefix of a floating constant converted as an integer.
constexpr int max_integer_prefix = 100;

// Smallest and largest magnitude an "F" constant of a floating-data list may have.
constexpr double single_smallest = 1.17549435E-38;
constexpr double single_largest = 3.40282347E+38;

int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Significant digits from which a constant of `radix` no longer fits in 32 bits.
int overflow_digits(int radix) {
  switch (radix) {
    case 2: return 33;
    case 8: return 12;
    case 10: return 11;
    default: return 9;
  }
}

struct Accumulated {
  uint32_t value = 0;
  bool overflow = false;
  bool bad_digit = false;
};

// Accumulates digits of `radix` modulo 2^32 and notes whether the value
// needed more than 32 bits.
Accumulated accumulate(std::string_view digits, int radix) {
  Accumulated r;
  const int limit = overflow_digits(radix);
  int significant = 0;
  for (char c : digits) {
    const int d = digit_value(c);
    if (d < 0 || d >= radix) {
      r.bad_digit = true;
      r.value = 0;
      return r;
    }
    if (radix == 10 && significant == 9 &&
        (r.value > 429496729u || (r.value == 429496729u && d >= 6)))
      r.overflow = true;
    if (significant > 0 || d != 0) ++significant;
    if (significant >= limit) r.overflow = true;
    r.value = r.value * static_cast<uint32_t>(radix) + static_cast<uint32_t>(d);
  }
  return r;
}

std::string_view unsigned_text(const NumericConstant& constant) {
  std::string_view text(constant.text, static_cast<std::size_t>(constant.length));
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) text.remove_prefix(1);
  return text;
}

bool is_negative(const NumericConstant& constant) {
  return constant.length > 0 && constant.text[0] == '-';
}

int32_t floating_as_integer(Assembly& a, const NumericConstant& constant) {
  std::string_view text = unsigned_text(constant);
  std::size_t end = text.find_first_of(".eE");
  if (end == std::string_view::npos) end = text.size();
  if (end > max_integer_prefix) end = max_integer_prefix;
  Accumulated r = accumulate(text.substr(0, end), 10);
  report_warning(a, warning_out_of_range);
  if (r.overflow || r.bad_digit) return 0;
  const uint32_t value = is_negative(constant) ? 0u - r.value : r.value;
  return static_cast<int32_t>(value);
}

// Reads `text` as a double; false when nothing was converted.  `out_of_range`
// tells that the magnitude lies beyond the double range (either way).
bool read_double(std::string_view text, double& value, bool* out_of_range = nullptr) {
  char buffer[NumericConstant::max_text + 1];
  const std::size_t length = text.size() < NumericConstant::max_text ? text.size()
                                                                     : NumericConstant::max_text;
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  char* end = nullptr;
  errno = 0;
  value = std::strtod(buffer, &end);
  if (out_of_range != nullptr) *out_of_range = errno == ERANGE || !std::isfinite(value);
  return end != buffer;
}

// An extended constant beyond the range of a double keeps its written
// exponent apart: the mantissa text is read alone.
bool split_extended(std::string_view text, ScaledDecimal& value) {
  const std::size_t split = text.find_first_of("eE");
  if (split == std::string_view::npos) return false;
  double mantissa = 0.0;
  if (!read_double(text.substr(0, split), mantissa) || !std::isfinite(mantissa)) return false;
  std::size_t i = split + 1;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t exponent = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    if (exponent < 100000000) exponent = exponent * 10 + (text[i] - '0');
  value.mantissa = mantissa;
  value.exponent = static_cast<int32_t>(negative ? -exponent : exponent);
  return true;
}

}  // namespace

void begin_statement_constants(Assembly& a) {
  ConstantState& s = a.constants;
  s.overflow_mark = false;
  s.integer_range_reported = false;
  s.decimal_range_reported = false;
}

void report_constant_overflow(Assembly& a) {
  if (a.constants.overflow_mark) report_warning(a, warning_out_of_range);
}

int32_t integer_constant_value(Assembly& a, const NumericConstant& constant, bool after_end) {
  if (constant.token_class == token_float) return floating_as_integer(a, constant);
  const int radix = constant.radix == 2 || constant.radix == 8 || constant.radix == 16 ? constant.radix
                                                                                        : 10;
  Accumulated r = accumulate(unsigned_text(constant), radix);
  if (r.bad_digit) {
    if (!after_end) report_error(a, error_syntax);
    return 0;
  }
  if (r.overflow && a.run.pass == pass_one) a.constants.overflow_mark = true;
  const uint32_t value = is_negative(constant) ? 0u - r.value : r.value;
  return static_cast<int32_t>(value);
}

ScaledDecimal scaled_of_integer(int32_t value) {
  // Printing a 32-bit integer with 16 significant digits and reading it back
  // gives the integer itself: every such integer is exact in a double.
  return ScaledDecimal{static_cast<double>(value), 0};
}

bool floating_constant_value(Assembly& a, const NumericConstant& constant, bool in_float_data,
                             ScaledDecimal& value) {
  value = ScaledDecimal{};
  if (constant.token_class != token_float) {
    value = scaled_of_integer(integer_constant_value(a, constant, true));
    return true;
  }
  std::string_view text(constant.text, static_cast<std::size_t>(constant.length));
  if (unsigned_text(constant) == "0") return true;
  double number = 0.0;
  bool beyond_double = false;
  if (!read_double(text, number, &beyond_double)) return false;
  if (constant.radix == float_extended && beyond_double && split_extended(text, value)) return true;
  if (!std::isfinite(number)) {
    report_warning(a, warning_out_of_range);
    return false;
  }
  if (in_float_data && constant.radix == float_single && number != 0.0 &&
      (std::fabs(number) < single_smallest || std::fabs(number) > single_largest)) {
    report_warning(a, warning_out_of_range);
    return false;
  }
  value.mantissa = number;
  return true;
}

}  // namespace koral
