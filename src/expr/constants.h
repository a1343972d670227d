// Numeric and floating constants: the record the lexer hands over for every
// number, and its conversion into integer values, scaled decimal values and
// the byte images of the three floating formats.
#pragma once

#include <cstdint>
#include <string_view>

namespace koral {

struct Assembly;

// Floating formats, named by their size in bits (also the radix codes the
// lexer gives floating constants).
enum FloatFormat : int32_t { float_none = 0, float_single = 32, float_double = 64, float_extended = 80 };

// A number as scanned: normalised text (a leading "+" and the digits, point,
// exponent letter and exponent sign as written; radix prefix and suffix
// removed), the token class (299 integer, 300 floating), a word the lexer
// sets to 0, and the radix code (2, 8, 10, 16, or a FloatFormat).
struct NumericConstant {
  static constexpr int max_text = 112;
  char text[max_text];
  int32_t length = 0;
  int32_t token_class = 0;
  int32_t integer_word = 0;
  int32_t radix = 0;
};

constexpr int32_t token_integer = 299;
constexpr int32_t token_float = 300;

// A floating quantity: mantissa × 10^exponent.
struct ScaledDecimal {
  double mantissa = 0.0;
  int32_t exponent = 0;
};

// Marks the constant conversions keep for the statement in hand; cleared by
// begin_statement_constants at the start of every statement.
struct ConstantState {
  bool overflow_mark = false;           // an integer constant did not fit in 32 bits (pass 1)
  bool integer_range_reported = false;  // warning 501 of integer_of_scaled given
  bool decimal_range_reported = false;  // warning 518 of decimal_text_of_scaled given
  char integer_text[16] = {};           // last result of integer_of_scaled, "%+ld"
};

// Lexical range test of a floating constant of `format` (called by the lexer
// for every floating constant): warning 518 when its exponent or mantissa
// lies beyond the format's limits; an exponent beyond the limit exponent is
// replaced by it in `constant.text`.
void check_float_constant_text(Assembly& a, FloatFormat format, NumericConstant& constant);

// Clears the per-statement marks of ConstantState.
void begin_statement_constants(Assembly& a);

// Called at the end of a statement: warning 501 when an integer constant of
// the statement overflowed.
void report_constant_overflow(Assembly& a);

// The 32-bit value of a constant used where an integer is built.  An integer
// constant wraps modulo 2^32 (pass 1 sets the overflow mark); a digit outside
// the radix is error 200 (unless `after_end`) and gives 0.  A floating
// constant converts its digits before the first ".", "e" or "E" as decimal
// (0 on overflow) and always gives warning 501.
int32_t integer_constant_value(Assembly& a, const NumericConstant& constant, bool after_end);

// The scaled decimal value of a constant.  False (value 0.0) when the text
// does not give a finite number, or, for an "F" constant of a floating-data
// list (`in_float_data`), a non-zero magnitude outside the single range;
// both give warning 501.  An integer constant gives its integer value.
bool floating_constant_value(Assembly& a, const NumericConstant& constant, bool in_float_data,
                             ScaledDecimal& value);

// The pair of a 32-bit integer (exponent 0).
ScaledDecimal scaled_of_integer(int32_t value);

// The 32-bit integer of a scaled decimal value: truncated toward zero, except
// that a fraction starting with "99999" rounds up; a value beyond 32 bits
// wraps with warning 501 (once per statement).  Also leaves the result as
// text in `a.constants.integer_text`.
int32_t integer_of_scaled(Assembly& a, ScaledDecimal value);

// Decimal text of a scaled decimal value for `format`: "0", or a signed
// mantissa with 15 fraction digits and an exponent "e%+d".  Warning 518 (once
// per statement) when the exponent lies beyond the format's range.
struct DecimalText {
  static constexpr int max_text = 48;
  char text[max_text];
  int32_t length = 0;
  std::string_view view() const { return {text, static_cast<std::size_t>(length)}; }
};
DecimalText decimal_text_of_scaled(Assembly& a, ScaledDecimal value, FloatFormat format);

// The bytes of a value in a floating format, most significant byte first.
struct FloatImage {
  static constexpr int max_bytes = 10;
  uint8_t bytes[max_bytes] = {};
  int32_t size = 0;
};

// Bytes of one value of `format`: 4, 8 or 10 (0 for float_none).
int32_t float_format_size(FloatFormat format);

// The image of a decimal text (sign, digits, point, exponent): the exact
// value rounded at the first dropped bit (ties away from zero); infinity
// above the largest number; an all-zero image with warning 501 below the
// smallest normal number.
FloatImage float_image_of_text(Assembly& a, FloatFormat format, std::string_view text);

// The image of a 32-bit integer.
FloatImage float_image_of_integer(Assembly& a, FloatFormat format, int32_t value);

// The image of a scaled decimal value, through its decimal text.
FloatImage float_image_of_scaled(Assembly& a, FloatFormat format, ScaledDecimal value);

// One item of FDATAS, FDATAD or FDATAX: the image of `value` stored least
// significant byte first into `out` (room for float_format_size bytes).
// Returns the number of bytes stored.
int32_t float_data_item(Assembly& a, FloatFormat format, ScaledDecimal value, uint8_t* out);

// Statement size of a floating-data statement of `items` items; above 10000
// bytes warning 501 and 10000.
constexpr uint32_t max_statement_data = 10000;
uint32_t float_data_size(Assembly& a, FloatFormat format, uint32_t items);

// The floating part functions, numbered by their reserved-word values.
enum FloatFunction : int32_t { fims = 0, fimdh = 1, fimdl = 2, fimxh = 3, fimxm = 4, fimxl = 5 };

// Format whose image a part function reads.
FloatFormat float_function_format(FloatFunction function);

// The part of the image of `value` that `function` selects, read as one
// big-endian integer.
uint32_t float_function_value(Assembly& a, FloatFunction function, ScaledDecimal value);

}  // namespace koral
