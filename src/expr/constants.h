// Numeric and floating constants: the record the lexer hands over for every
// number, and its conversion into integer values, scaled decimal values and
// the byte images of the three floating formats.
#pragma once

#include <cstdint>

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

// Lexical range test of a floating constant of `format` (called by the lexer
// for every floating constant): warning 518 when its exponent or mantissa
// lies beyond the format's limits; an exponent beyond the limit exponent is
// replaced by it in `constant.text`.
void check_float_constant_text(Assembly& a, FloatFormat format, NumericConstant& constant);

}  // namespace koral
