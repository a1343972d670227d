// Cross-check of the floating images against the host's conversions (strtof,
// strtod and strtold with the x86-64 80-bit long double), which round
// correctly with ties to even.
//
// The images round the exact decimal value at the first dropped bit, ties away
// from zero, computed with a 128-bit intermediate.  The two may differ only:
//   - on an exact tie (the input lies halfway between two neighbours), where
//     the host picks the even neighbour and we the one farther from zero;
//   - on inputs that lie so close to halfway (within 2^-120 of the value) that
//     more than 128 bits would be needed to decide, since the intermediate
//     keeps 128 bits of the digits and of every product;
//   - below the smallest normal number, where the host gives a subnormal
//     number and we give the all-zero image with warning 501.
// Every difference is proved to be one of these with exact big-integer
// arithmetic on the decimal input; any other difference fails the test.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "driver/assembly.h"
#include "expr/constants.h"

namespace koral {
namespace {

// ---- exact arithmetic on non-negative integers -----------------------------

struct Big {
  std::vector<uint32_t> words;  // least significant first, no leading zero words

  void trim() {
    while (!words.empty() && words.back() == 0) words.pop_back();
  }
  void multiply_add(uint32_t factor, uint32_t addend) {
    uint64_t carry = addend;
    for (uint32_t& w : words) {
      const uint64_t cell = static_cast<uint64_t>(w) * factor + carry;
      w = static_cast<uint32_t>(cell);
      carry = cell >> 32;
    }
    if (carry != 0) words.push_back(static_cast<uint32_t>(carry));
    trim();
  }
  void shift_left(int64_t bits) {
    if (words.empty() || bits == 0) return;
    const std::size_t whole = static_cast<std::size_t>(bits / 32);
    const int part = static_cast<int>(bits % 32);
    words.insert(words.begin(), whole, 0u);
    if (part != 0) {
      uint32_t carry = 0;
      for (std::size_t i = whole; i < words.size(); ++i) {
        const uint32_t w = words[i];
        words[i] = (w << part) | carry;
        carry = w >> (32 - part);
      }
      if (carry != 0) words.push_back(carry);
    }
  }
  void multiply_power_of_five(int64_t count) {
    constexpr uint32_t five_13 = 1220703125u;  // 5^13
    for (; count >= 13; count -= 13) multiply_add(five_13, 0);
    for (; count > 0; --count) multiply_add(5, 0);
  }
  static Big of(uint64_t value) {
    Big b;
    b.words = {static_cast<uint32_t>(value), static_cast<uint32_t>(value >> 32)};
    b.trim();
    return b;
  }
};

int compare(const Big& a, const Big& b) {
  if (a.words.size() != b.words.size()) return a.words.size() < b.words.size() ? -1 : 1;
  for (std::size_t i = a.words.size(); i-- > 0;)
    if (a.words[i] != b.words[i]) return a.words[i] < b.words[i] ? -1 : 1;
  return 0;
}

Big add(const Big& a, const Big& b) {
  Big r;
  uint64_t carry = 0;
  for (std::size_t i = 0; i < std::max(a.words.size(), b.words.size()); ++i) {
    const uint64_t cell = carry + (i < a.words.size() ? a.words[i] : 0) +
                          (i < b.words.size() ? b.words[i] : 0);
    r.words.push_back(static_cast<uint32_t>(cell));
    carry = cell >> 32;
  }
  if (carry != 0) r.words.push_back(static_cast<uint32_t>(carry));
  r.trim();
  return r;
}

Big subtract(const Big& a, const Big& b) {  // a >= b
  Big r = a;
  int64_t borrow = 0;
  for (std::size_t i = 0; i < r.words.size(); ++i) {
    int64_t cell = static_cast<int64_t>(r.words[i]) - borrow - (i < b.words.size() ? b.words[i] : 0);
    borrow = cell < 0 ? 1 : 0;
    if (cell < 0) cell += int64_t{1} << 32;
    r.words[i] = static_cast<uint32_t>(cell);
  }
  r.trim();
  return r;
}

// A decimal text as N × 10^k, every digit kept.
struct ExactDecimal {
  Big digits;
  int64_t exponent = 0;
};

ExactDecimal exact_decimal(const std::string& text) {
  ExactDecimal d;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool point = false;
  for (; i < text.size(); ++i) {
    if (text[i] == '.') {
      point = true;
      continue;
    }
    if (text[i] < '0' || text[i] > '9') break;
    d.digits.multiply_add(10, static_cast<uint32_t>(text[i] - '0'));
    if (point) --d.exponent;
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E'))
    d.exponent += std::strtol(text.c_str() + i + 1, nullptr, 10);
  return d;
}

// A binary magnitude q × 2^e.
struct Binary {
  uint64_t q;
  int64_t e;
};

// Both sides brought to integers with the same scale: x (the decimal, scaled
// by `decimal_factor`) and y (the sum of the binaries).
void common_scale(const ExactDecimal& d, uint32_t decimal_factor, const std::vector<Binary>& sum,
                  Big& x, Big& y) {
  x = d.digits;
  x.multiply_add(decimal_factor, 0);
  int64_t low = sum[0].e;
  for (const Binary& b : sum) low = std::min(low, b.e);
  y = Big{};
  for (const Binary& b : sum) {
    Big term = Big::of(b.q);
    term.shift_left(b.e - low);
    y = add(y, term);
  }
  // x × 10^k = x × 5^k × 2^k against y × 2^low.
  if (d.exponent >= 0) x.multiply_power_of_five(d.exponent);
  else y.multiply_power_of_five(-d.exponent);
  const int64_t base = std::min(d.exponent, low);
  x.shift_left(d.exponent - base);
  y.shift_left(low - base);
}

enum class Halfway { exactly, too_close_for_128_bits, no };

// Whether the value lies halfway between h and o: exactly, or so close
// (2 × value within 2^-120 of h + o, relative) that 128 bits cannot decide.
Halfway halfway(const std::string& text, Binary h, Binary o) {
  Big x, y;
  common_scale(exact_decimal(text), 2, {h, o}, x, y);
  const int order = compare(x, y);
  if (order == 0) return Halfway::exactly;
  Big difference = order > 0 ? subtract(x, y) : subtract(y, x);
  difference.shift_left(120);
  return compare(difference, y) <= 0 ? Halfway::too_close_for_128_bits : Halfway::no;
}

// Sign of |value| − q × 2^e.
int compare_with(const std::string& text, Binary b) {
  Big x, y;
  common_scale(exact_decimal(text), 1, {b}, x, y);
  return compare(x, y);
}

// ---- formats ----------------------------------------------------------------

struct Format {
  FloatFormat format;
  int bytes;
  int precision;
  int exponent_bits;
  int bias;
  bool explicit_leading;
};

constexpr Format single_format{float_single, 4, 24, 8, 127, false};
constexpr Format double_format{float_double, 8, 53, 11, 1023, false};
constexpr Format extended_format{float_extended, 10, 64, 15, 16383, true};

using Image = std::vector<uint8_t>;  // most significant byte first

struct HostResult {
  Image image;
  bool subnormal_or_zero;
  bool infinite;
  Image next_up;    // the neighbour farther from zero
  Image next_down;  // the neighbour nearer to zero
};

template <typename T>
Image image_of(T value, int bytes) {
  uint8_t memory[sizeof(T)] = {};
  std::memcpy(memory, &value, sizeof(T) < 10 ? sizeof(T) : 10);
  Image image(static_cast<std::size_t>(bytes));
  for (int i = 0; i < bytes; ++i) image[static_cast<std::size_t>(i)] = memory[bytes - 1 - i];
  return image;
}

// Infinity as we lay it out: exponent all ones, significand 0.
Image infinity_image(const Format& f, bool negative) {
  Image image(static_cast<std::size_t>(f.bytes), 0);
  const int sign_and_exponent_bits = 1 + f.exponent_bits;
  uint32_t top = ((negative ? 1u : 0u) << f.exponent_bits) | ((1u << f.exponent_bits) - 1);
  top <<= 16 - sign_and_exponent_bits;
  image[0] = static_cast<uint8_t>(top >> 8);
  image[1] = static_cast<uint8_t>(top & 0xFF);
  return image;
}

// The image of a host value, infinity laid out as we lay it out.
template <typename T>
Image our_layout(const Format& f, T value) {
  if (std::isinf(value)) return infinity_image(f, std::signbit(value));
  return image_of(value, f.bytes);
}

template <typename T>
HostResult host_result(const Format& f, T value, T (*next)(T, T)) {
  HostResult r;
  const int kind = std::fpclassify(value);
  r.image = our_layout(f, value);
  r.subnormal_or_zero = kind == FP_SUBNORMAL || kind == FP_ZERO;
  r.infinite = kind == FP_INFINITE;
  const T far = std::signbit(value) ? -INFINITY : INFINITY;
  r.next_up = our_layout(f, next(value, far));
  r.next_down = our_layout(f, next(value, -far));
  return r;
}

HostResult host_convert(const Format& f, const std::string& text) {
  switch (f.format) {
    case float_single: return host_result<float>(f, std::strtof(text.c_str(), nullptr), nextafterf);
    case float_double: return host_result<double>(f, std::strtod(text.c_str(), nullptr), nextafter);
    default: return host_result<long double>(f, std::strtold(text.c_str(), nullptr), nextafterl);
  }
}

// The magnitude of a finite image (or 2^(largest exponent + 1) for infinity).
Binary binary_of(const Format& f, const Image& image) {
  uint64_t high = 0;
  for (int i = 0; i < 2; ++i) high = (high << 8) | image[static_cast<std::size_t>(i)];
  uint64_t low = 0;
  const int fraction_bytes = f.explicit_leading ? 8 : f.bytes;
  for (int i = f.bytes - fraction_bytes; i < f.bytes; ++i) low = (low << 8) | image[static_cast<std::size_t>(i)];
  int64_t exponent_field;
  uint64_t q;
  if (f.explicit_leading) {
    exponent_field = static_cast<int64_t>(high & 0x7FFF);
    q = low;
  } else {
    const int fraction_bits = f.precision - 1;
    exponent_field = static_cast<int64_t>((low >> fraction_bits) & ((1u << f.exponent_bits) - 1));
    q = (low & ((uint64_t{1} << fraction_bits) - 1)) | (uint64_t{1} << fraction_bits);
  }
  if (exponent_field == (int64_t{1} << f.exponent_bits) - 1) q = uint64_t{1} << (f.precision - 1);
  return Binary{q, exponent_field - f.bias - (f.precision - 1)};
}

Binary smallest_normal(const Format& f) {
  return Binary{uint64_t{1} << (f.precision - 1), 1 - f.bias - (f.precision - 1)};
}

bool all_zero(const Image& image) {
  for (uint8_t b : image)
    if (b != 0) return false;
  return true;
}

std::string hex(const Image& image) {
  std::string text;
  char two[4];
  for (uint8_t b : image) {
    std::snprintf(two, sizeof two, "%02X", b);
    text += two;
  }
  return text;
}

// ---- the comparison -----------------------------------------------------------

struct Tally {
  int compared = 0;
  int equal = 0;
  int halfway = 0;       // ties, or too close to halfway for 128 bits
  int exact_ties = 0;
  int below_normal = 0;  // zero image with warning 501
};

// Converts `text` both ways and checks that any difference is one the
// comment at the top allows.
void check(const Format& f, const std::string& text, Tally& tally) {
  SCOPED_TRACE(text + " in " + std::to_string(f.format));
  Assembly a;
  a.run.pass = pass_final;
  const FloatImage ours_image = float_image_of_text(a, f.format, text);
  const Image ours(ours_image.bytes, ours_image.bytes + ours_image.size);
  const bool warned = !a.diag.pending.empty();
  const HostResult host = host_convert(f, text);
  const bool negative = text[0] == '-';
  ++tally.compared;
  ASSERT_EQ(ours.size(), static_cast<std::size_t>(f.bytes));

  const ExactDecimal exact = exact_decimal(text);
  if (exact.digits.words.empty()) {
    EXPECT_TRUE(all_zero(ours));
    EXPECT_FALSE(warned);
    ++tally.equal;
    return;
  }
  if (host.subnormal_or_zero) {
    EXPECT_TRUE(all_zero(ours)) << hex(ours);
    EXPECT_TRUE(warned);
    ++tally.below_normal;
    return;
  }
  if (all_zero(ours)) {
    // Only a value below the smallest normal number gives the zero image;
    // the host may still round it up to that number.
    EXPECT_TRUE(warned);
    EXPECT_LT(compare_with(text, smallest_normal(f)), 0) << "host " << hex(host.image);
    ++tally.below_normal;
    return;
  }
  EXPECT_FALSE(warned);
  EXPECT_EQ((ours[0] & 0x80) != 0, negative);
  if (ours == host.image) {
    ++tally.equal;
    return;
  }
  // A difference must be a neighbour, and the value must lie halfway.
  ASSERT_TRUE(ours == host.next_up || ours == host.next_down)
      << "ours " << hex(ours) << " host " << hex(host.image);
  const Binary mine = binary_of(f, ours);
  const Halfway where = halfway(text, binary_of(f, host.image), mine);
  EXPECT_NE(where, Halfway::no) << "ours " << hex(ours) << " host " << hex(host.image);
  // On an exact tie ours is the neighbour farther from zero.
  if (where == Halfway::exactly) {
    EXPECT_LT(compare_with(text, mine), 0);
    ++tally.exact_ties;
  }
  ++tally.halfway;
}

// A fixed generator with a fixed start value, so every run sees the same inputs.
struct Inputs {
  std::mt19937_64 generator{0x4B4F52414C2D3332ull};
  uint64_t below(uint64_t n) { return generator() % n; }
  int64_t between(int64_t low, int64_t high) {
    return low + static_cast<int64_t>(below(static_cast<uint64_t>(high - low + 1)));
  }

  // A decimal of 1..max_digits digits whose magnitude lies between 10^low and 10^high.
  std::string decimal(int max_digits, int low, int high) {
    const int count = static_cast<int>(between(1, max_digits));
    const int point = static_cast<int>(between(0, count));
    std::string text = below(2) ? "-" : "+";
    for (int i = 0; i < count; ++i) {
      if (i == point) text += '.';
      text += static_cast<char>('0' + (i == 0 ? between(1, 9) : between(0, 9)));
    }
    const int64_t exponent = between(low - point, high - point);
    text += 'e' + std::to_string(exponent);
    return text;
  }
};

std::string printed(const char* form, long double value) {
  char text[128];
  std::snprintf(text, sizeof text, form, value);
  return text;
}

struct Range {
  const Format* format;
  int low;   // decimal exponents spanned by the random inputs
  int high;
  const char* round_trip;  // enough digits to read a value back exactly
};

const Range ranges[] = {
    {&single_format, -48, 40, "%.8Le"},
    {&double_format, -327, 310, "%.16Le"},
    {&extended_format, -4975, 4935, "%.20Le"},
};

TEST(FloatCrossCheck, RandomDecimalsAgreeWithTheHost) {
  Inputs inputs;
  for (const Range& r : ranges) {
    Tally tally;
    for (int i = 0; i < 6000; ++i) check(*r.format, inputs.decimal(22, r.low, r.high), tally);
    for (int i = 0; i < 1000; ++i) check(*r.format, inputs.decimal(60, r.low, r.high), tally);
    EXPECT_EQ(tally.compared, 7000);
    EXPECT_GT(tally.equal, 6000);        // the ranges are mostly normal numbers
    EXPECT_GT(tally.below_normal, 20);   // and some fall below
    EXPECT_LE(tally.halfway, 7);         // random inputs seldom lie halfway
    EXPECT_LE(tally.halfway - tally.exact_ties, 2);  // and hardly ever within 2^-120 of it
  }
}

// Random normal numbers of each format printed with enough digits to read
// back exactly: our image must be the number itself.
TEST(FloatCrossCheck, PrintedNumbersReadBackExactly) {
  Inputs inputs;
  for (const Range& r : ranges) {
    Tally tally;
    for (int i = 0; i < 3000; ++i) {
      long double value;
      Image original;
      if (r.format->format == float_single) {
        const uint32_t bits = static_cast<uint32_t>(inputs.between(0x00800000, 0x7F7FFFFF)) |
                              (inputs.below(2) ? 0x80000000u : 0u);
        float f;
        std::memcpy(&f, &bits, 4);
        value = f;
        original = image_of(f, 4);
      } else if (r.format->format == float_double) {
        const uint64_t bits =
            static_cast<uint64_t>(inputs.between(0x0010000000000000, 0x7FEFFFFFFFFFFFFF)) |
            (inputs.below(2) ? 0x8000000000000000ull : 0ull);
        double d;
        std::memcpy(&d, &bits, 8);
        value = d;
        original = image_of(d, 8);
      } else {
        const uint64_t significand = inputs.generator() | 0x8000000000000000ull;
        const int exponent = static_cast<int>(inputs.between(1, 32766)) - 16383 - 63;
        value = std::ldexp(static_cast<long double>(significand), exponent);
        if (inputs.below(2)) value = -value;
        original = image_of(value, 10);
      }
      const std::string text = printed(r.round_trip, value);
      Assembly a;
      const FloatImage ours = float_image_of_text(a, r.format->format, text);
      EXPECT_EQ(hex(Image(ours.bytes, ours.bytes + ours.size)), hex(original)) << text;
      check(*r.format, text, tally);
    }
    EXPECT_EQ(tally.equal, 3000);
  }
}

// The largest and smallest normal numbers, their neighbours and the powers
// of two across each range, printed with many digits.
TEST(FloatCrossCheck, BoundariesAgreeWithTheHost) {
  std::vector<std::pair<const Format*, long double>> values = {
      {&single_format, FLT_MAX},  {&single_format, FLT_MIN},  {&single_format, 1.0f},
      {&double_format, DBL_MAX},  {&double_format, DBL_MIN},  {&double_format, 1.0},
      {&extended_format, LDBL_MAX}, {&extended_format, LDBL_MIN}, {&extended_format, 1.0L},
  };
  for (int e = -126; e <= 127; e += 3) values.push_back({&single_format, std::ldexp(1.0L, e)});
  for (int e = -1022; e <= 1023; e += 11) values.push_back({&double_format, std::ldexp(1.0L, e)});
  for (int e = -16382; e <= 16383; e += 97) values.push_back({&extended_format, std::ldexp(1.0L, e)});
  for (const auto& [format, value] : values) {
    Tally tally;
    long double near[3] = {value, value, value};
    if (format->format == float_single) {
      near[1] = nextafterf(static_cast<float>(value), INFINITY);
      near[2] = nextafterf(static_cast<float>(value), 0.0f);
    } else if (format->format == float_double) {
      near[1] = nextafter(static_cast<double>(value), INFINITY);
      near[2] = nextafter(static_cast<double>(value), 0.0);
    } else {
      near[1] = nextafterl(value, INFINITY);
      near[2] = nextafterl(value, 0.0L);
    }
    for (long double v : near) {
      if (std::isinf(v)) continue;
      for (const char* form : {"%.8Le", "%.16Le", "%.20Le", "%.25Le", "%.40Le"}) {
        check(*format, printed(form, v), tally);
        check(*format, printed(form, -v), tally);
      }
    }
  }
}

// Exact ties with short decimals: the host rounds to even, we away from
// zero, to the neighbour farther from zero.
TEST(FloatCrossCheck, ExactTiesRoundAwayFromZero) {
  Inputs inputs;
  for (const Range& r : ranges) {
    const Format& f = *r.format;
    int away = 0;  // ties where the host's even choice is the lower neighbour
    for (int i = 0; i < 300; ++i) {
      // (2q + 1) / 2 × 2^shift: halfway between q and q + 1 units of 2^shift.
      const uint64_t q = (uint64_t{1} << (f.precision - 1)) |
                         (inputs.generator() & ((uint64_t{1} << (f.precision - 1)) - 1));
      const int shift = static_cast<int>(inputs.between(-12, 12));
      unsigned __int128 twice = (static_cast<unsigned __int128>(q) << 1) | 1u;
      // The tie is twice × 2^(shift − 1) = twice × 5^(1 − shift) / 10^(1 − shift) for shift <= 0.
      int decimal_exponent = 0;
      if (shift >= 1) {
        twice <<= (shift - 1);
      } else {
        for (int k = 0; k < 1 - shift; ++k) twice *= 5;
        decimal_exponent = shift - 1;
      }
      std::string digits;
      for (unsigned __int128 v = twice; v != 0; v /= 10) digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
      const bool negative = inputs.below(2) != 0;
      const std::string text = (negative ? "-" : "+") + digits + "e" + std::to_string(decimal_exponent);
      SCOPED_TRACE(text);
      ASSERT_LE(digits.size(), 38u);  // exact in the 128-bit intermediate
      Assembly a;
      const FloatImage ours_image = float_image_of_text(a, f.format, text);
      const Image ours(ours_image.bytes, ours_image.bytes + ours_image.size);
      const HostResult host = host_convert(f, text);
      // Ours lies above the value in magnitude and is the host's even choice
      // or the neighbour above it.
      EXPECT_LT(compare_with(text, binary_of(f, ours)), 0) << hex(ours);
      EXPECT_TRUE(ours == host.image || ours == host.next_up) << hex(ours) << " host " << hex(host.image);
      if (ours != host.image) ++away;
    }
    EXPECT_GT(away, 100);  // about half the ties have an odd upper neighbour
  }
}

}  // namespace
}  // namespace koral
