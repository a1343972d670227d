// The byte images of the three floating formats, the items of the
// floating-data statements and the part functions that read an image as
// integers.
#include <cstring>

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "expr/constants.h"
#include "expr/float_binary.h"

namespace koral {
namespace {

constexpr int warning_out_of_range = 501;

struct FormatLayout {
  int32_t bytes;
  int32_t precision;       // significand bits, the leading 1 included
  int32_t exponent_bits;
  int32_t bias;
  bool explicit_leading;   // the leading 1 is stored
};

constexpr FormatLayout single_layout{4, 24, 8, 127, false};
constexpr FormatLayout double_layout{8, 53, 11, 1023, false};
constexpr FormatLayout extended_layout{10, 64, 15, 16383, true};

const FormatLayout* layout_of(FloatFormat format) {
  switch (format) {
    case float_single: return &single_layout;
    case float_double: return &double_layout;
    case float_extended: return &extended_layout;
    default: return nullptr;
  }
}

// Stores `count` bytes of `bits`, most significant first, from `at`.
void put_big_endian(FloatImage& image, int at, int count, uint64_t bits) {
  for (int i = count - 1; i >= 0; --i) {
    image.bytes[at + i] = static_cast<uint8_t>(bits & 0xFF);
    bits >>= 8;
  }
}

// Sign, biased exponent and stored significand laid out in the format.
void put_fields(FloatImage& image, const FormatLayout& layout, bool negative, uint64_t biased,
                uint64_t significand) {
  const uint64_t sign = negative ? 1 : 0;
  if (layout.explicit_leading) {
    put_big_endian(image, 0, 2, (sign << 15) | biased);
    put_big_endian(image, 2, 8, significand);
    return;
  }
  const int fraction_bits = layout.precision - 1;
  const uint64_t fraction = significand & ((uint64_t{1} << fraction_bits) - 1);
  const uint64_t bits = (sign << (fraction_bits + layout.exponent_bits)) |
                        (biased << fraction_bits) | fraction;
  put_big_endian(image, 0, layout.bytes, bits);
}

uint64_t top_bits(const Wide128& w) {
  uint64_t bits = 0;
  for (int i = 0; i < 4; ++i) bits = (bits << 16) | w.digit[i];
  return bits;
}

// Rounds the significand to the format's precision (a 1 in the first dropped
// bit adds one unit in the last kept place) and packs the image.
FloatImage pack(Assembly& a, const FormatLayout& layout, const BinaryValue& value) {
  FloatImage image;
  image.size = layout.bytes;
  if (value.zero) return image;
  const uint64_t all_ones = (uint64_t{1} << layout.exponent_bits) - 1;
  if (value.infinite) {
    put_fields(image, layout, value.negative, all_ones, 0);
    return image;
  }
  const uint64_t top = top_bits(value.significand);
  const int p = layout.precision;
  uint64_t significand = p < 64 ? top >> (64 - p) : top;
  const bool round_up = p < 64 ? ((top >> (63 - p)) & 1) != 0
                               : (value.significand.digit[4] & 0x8000) != 0;
  int64_t exponent = value.exponent;
  if (round_up) {
    ++significand;
    const uint64_t carried = p < 64 ? uint64_t{1} << p : 0;  // 2^64 wraps to 0
    if (significand == carried) {
      significand = uint64_t{1} << (p - 1);
      ++exponent;
    }
  }
  const int64_t biased = exponent + layout.bias;
  if (biased >= static_cast<int64_t>(all_ones)) {
    put_fields(image, layout, value.negative, all_ones, 0);
    return image;
  }
  if (biased <= 0) {
    report_warning(a, warning_out_of_range);
    return image;
  }
  put_fields(image, layout, value.negative, static_cast<uint64_t>(biased), significand);
  return image;
}

uint32_t read_big_endian(const FloatImage& image, int first, int count) {
  uint32_t value = 0;
  for (int i = first; i < first + count; ++i) value = (value << 8) | image.bytes[i];
  return value;
}

}  // namespace

int32_t float_format_size(FloatFormat format) {
  const FormatLayout* layout = layout_of(format);
  return layout != nullptr ? layout->bytes : 0;
}

FloatImage float_image_of_text(Assembly& a, FloatFormat format, std::string_view text) {
  const FormatLayout* layout = layout_of(format);
  if (layout == nullptr) return FloatImage{};
  return pack(a, *layout, decimal_to_binary(text));
}

FloatImage float_image_of_integer(Assembly& a, FloatFormat format, int32_t value) {
  const FormatLayout* layout = layout_of(format);
  if (layout == nullptr) return FloatImage{};
  return pack(a, *layout, integer_to_binary(value));
}

FloatImage float_image_of_scaled(Assembly& a, FloatFormat format, ScaledDecimal value) {
  const DecimalText text = decimal_text_of_scaled(a, value, format);
  return float_image_of_text(a, format, text.view());
}

int32_t float_data_item(Assembly& a, FloatFormat format, ScaledDecimal value, uint8_t* out) {
  const FloatImage image = float_image_of_scaled(a, format, value);
  for (int32_t i = 0; i < image.size; ++i) out[i] = image.bytes[image.size - 1 - i];
  return image.size;
}

uint32_t float_data_size(Assembly& a, FloatFormat format, uint32_t items) {
  const uint64_t size = static_cast<uint64_t>(items) * static_cast<uint64_t>(float_format_size(format));
  if (size > max_statement_data) {
    report_warning(a, warning_out_of_range);
    return max_statement_data;
  }
  return static_cast<uint32_t>(size);
}

FloatFormat float_function_format(FloatFunction function) {
  switch (function) {
    case fims: return float_single;
    case fimdh:
    case fimdl: return float_double;
    default: return float_extended;
  }
}

uint32_t float_function_value(Assembly& a, FloatFunction function, ScaledDecimal value) {
  struct Part {
    int first;
    int count;
  };
  // Bytes of the image (0 = most significant) each function reads.
  static constexpr Part parts[] = {{0, 4}, {0, 4}, {4, 4}, {0, 2}, {2, 4}, {6, 4}};
  if (function < fims || function > fimxl) return 0;
  const FloatImage image = float_image_of_scaled(a, float_function_format(function), value);
  return read_big_endian(image, parts[function].first, parts[function].count);
}

}  // namespace koral
