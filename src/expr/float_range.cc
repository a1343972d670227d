// The lexical range test of floating constants: the exponent written in the
// text is held against the limit exponent of the constant's format.
#include <cstring>

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "expr/constants.h"

namespace koral {
namespace {

constexpr int warning_float_type = 518;

struct FormatLimits {
  const char* limit_exponent;   // decimal digits, no leading zeros
  const char* smallest_normal;  // mantissa text of the smallest normal number
  const char* largest;          // mantissa text of the largest number
};

const FormatLimits* limits_of(FloatFormat format) {
  static constexpr FormatLimits single{"38", "1.17549435", "3.40282347"};
  static constexpr FormatLimits double_{"308", "2.2250738585072014", "1.7976931348623154"};
  static constexpr FormatLimits extended{"4932", "3.362103143112093503", "1.189731495357231499"};
  switch (format) {
    case float_single: return &single;
    case float_double: return &double_;
    case float_extended: return &extended;
    default: return nullptr;
  }
}

// Compares two unsigned decimal digit strings by value (leading zeros allowed
// in `digits`): negative, zero or positive.
int compare_digit_strings(const char* digits, int length, const char* limit) {
  while (length > 1 && *digits == '0') {
    ++digits;
    --length;
  }
  const int limit_length = static_cast<int>(std::strlen(limit));
  if (length != limit_length) return length < limit_length ? -1 : 1;
  return std::strncmp(digits, limit, static_cast<std::size_t>(length));
}

// Compares the mantissa text with a limit mantissa character by character,
// the shorter text counting as padded with nothing.
int compare_mantissa_text(const char* mantissa, int length, const char* limit) {
  const int limit_length = static_cast<int>(std::strlen(limit));
  const int common = length < limit_length ? length : limit_length;
  const int order = std::strncmp(mantissa, limit, static_cast<std::size_t>(common));
  if (order != 0) return order;
  return length - limit_length;
}

}  // namespace

void check_float_constant_text(Assembly& a, FloatFormat format, NumericConstant& constant) {
  const FormatLimits* limits = limits_of(format);
  if (limits == nullptr) return;
  char* text = constant.text;
  const int length = constant.length;

  int split = 0;
  while (split < length && text[split] != 'e' && text[split] != 'E') ++split;
  if (split >= length) return;  // no exponent: nothing to test

  int mantissa_start = 0;
  if (mantissa_start < split && (text[0] == '+' || text[0] == '-')) mantissa_start = 1;

  int digits_start = split + 1;
  bool negative_exponent = false;
  if (digits_start < length && (text[digits_start] == '+' || text[digits_start] == '-')) {
    negative_exponent = text[digits_start] == '-';
    ++digits_start;
  }
  const int digit_count = length - digits_start;
  if (digit_count <= 0) return;

  const int order = compare_digit_strings(text + digits_start, digit_count, limits->limit_exponent);
  if (order > 0) {
    report_warning(a, warning_float_type);
    const int limit_length = static_cast<int>(std::strlen(limits->limit_exponent));
    std::memcpy(text + digits_start, limits->limit_exponent, static_cast<std::size_t>(limit_length));
    constant.length = digits_start + limit_length;
    if (constant.length < NumericConstant::max_text) text[constant.length] = '\0';
    return;
  }
  if (order < 0) return;

  const char* mantissa = text + mantissa_start;
  const int mantissa_length = split - mantissa_start;
  if (negative_exponent) {
    if (compare_mantissa_text(mantissa, mantissa_length, limits->smallest_normal) < 0)
      report_warning(a, warning_float_type);
  } else if (compare_mantissa_text(mantissa, mantissa_length, limits->largest) > 0) {
    report_warning(a, warning_float_type);
  }
}

}  // namespace koral
