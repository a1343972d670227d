// Cross-check of the floating images against the host's conversions (strtof,
// strtod and strtold with the x86-64 80-bit long double), which round
// correctly with ties to even.
//
// The images round the exact decimal value at the first dropped bit, ties away
// from zero, computed with a 128-bit intermediate.  The two may differ only:
//   - where the input lies halfway between two neighbours, or so close to
//     halfway that a 128-bit intermediate cannot decide: the host's 113-bit
//     conversion (strtof128) then reads the input as the midpoint itself;
//   - below the smallest normal number, where the host gives a subnormal
//     number and we give the all-zero image with warning 501.
// Any other difference fails the test.
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

using Quad = _Float128;
using Image = std::vector<uint8_t>;  // most significant byte first

struct Format {
  FloatFormat format;
  int bytes;
};

constexpr Format single_format{float_single, 4};
constexpr Format double_format{float_double, 8};
constexpr Format extended_format{float_extended, 10};

template <typename T>
Image image_of(T value, int bytes) {
  uint8_t memory[sizeof(T)] = {};
  std::memcpy(memory, &value, sizeof(T) < 10 ? sizeof(T) : 10);
  Image image(static_cast<std::size_t>(bytes));
  for (int i = 0; i < bytes; ++i) image[static_cast<std::size_t>(i)] = memory[bytes - 1 - i];
  return image;
}

// The image of a host value; infinity as we lay it out, with the significand
// all zero (the 80-bit form keeps no explicit leading bit there).
template <typename T>
Image our_layout(const Format& f, T value) {
  Image image = image_of(value, f.bytes);
  if (std::isinf(value) && f.bytes == 10) image[2] = 0;
  return image;
}

// The magnitude of an image as a quad; infinity stays infinite.
Quad magnitude(const Format& f, Image image) {
  image[0] &= 0x7F;
  uint8_t memory[16] = {};
  for (int i = 0; i < f.bytes; ++i) memory[f.bytes - 1 - i] = image[static_cast<std::size_t>(i)];
  if (f.format == float_single) {
    float v;
    std::memcpy(&v, memory, 4);
    return v;
  }
  if (f.format == float_double) {
    double v;
    std::memcpy(&v, memory, 8);
    return v;
  }
  if (image[0] == 0x7F && image[1] == 0xFF) return static_cast<Quad>(INFINITY);
  long double v;
  std::memcpy(&v, memory, 10);
  return static_cast<Quad>(v);
}

struct HostResult {
  Image image;
  bool subnormal_or_zero;
  Image next_up;    // the neighbour farther from zero
  Image next_down;  // the neighbour nearer to zero
  Quad smallest_normal;
};

template <typename T>
HostResult host_result(const Format& f, T value, T (*next)(T, T), T smallest) {
  const int kind = std::fpclassify(value);
  const T far = std::signbit(value) ? -INFINITY : INFINITY;
  return {our_layout(f, value), kind == FP_SUBNORMAL || kind == FP_ZERO, our_layout(f, next(value, far)),
          our_layout(f, next(value, -far)), static_cast<Quad>(smallest)};
}

HostResult host_convert(const Format& f, const std::string& text) {
  switch (f.format) {
    case float_single: return host_result<float>(f, std::strtof(text.c_str(), nullptr), nextafterf, FLT_MIN);
    case float_double: return host_result<double>(f, std::strtod(text.c_str(), nullptr), nextafter, DBL_MIN);
    default: return host_result<long double>(f, std::strtold(text.c_str(), nullptr), nextafterl, LDBL_MIN);
  }
}

// Halfway between two neighbouring magnitudes; infinity stands for the power
// of two above the largest number.
Quad midpoint(Quad a, Quad b) {
  if (std::isinf(static_cast<long double>(a))) std::swap(a, b);
  if (std::isinf(static_cast<long double>(b))) return a / 2 + std::ldexp(1.0L, std::ilogb(static_cast<long double>(a)));
  return a / 2 + b / 2;
}

// The magnitude of a decimal text rounded to the host's 113 bits.
Quad magnitude_of(const std::string& text) {
  const Quad v = strtof128(text.c_str(), nullptr);
  return v < 0 ? -v : v;
}

bool all_zero(const Image& image) {
  for (uint8_t b : image)
    if (b != 0) return false;
  return true;
}

bool zero_digits(const std::string& text) {
  for (char c : text) {
    if (c == 'e' || c == 'E') break;
    if (c >= '1' && c <= '9') return false;
  }
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

struct Tally {
  int equal = 0;
  int halfway = 0;       // at or too close to halfway
  int below_normal = 0;  // zero image with warning 501
};

Image ours_of(const Format& f, const std::string& text, bool& warned) {
  Assembly a;
  a.run.pass = pass_final;
  const FloatImage image = float_image_of_text(a, f.format, text);
  warned = !a.diag.pending.empty();
  return Image(image.bytes, image.bytes + image.size);
}

// Converts `text` both ways and checks that any difference is one the
// comment at the top allows.
void check(const Format& f, const std::string& text, Tally& tally) {
  SCOPED_TRACE(text + " in " + std::to_string(f.format));
  bool warned = false;
  const Image ours = ours_of(f, text, warned);
  const HostResult host = host_convert(f, text);
  const Quad value = magnitude_of(text);
  ASSERT_EQ(ours.size(), static_cast<std::size_t>(f.bytes));

  if (zero_digits(text)) {
    EXPECT_TRUE(all_zero(ours) && !warned) << hex(ours);
    ++tally.equal;
  } else if (host.subnormal_or_zero || all_zero(ours)) {
    // Only a value below the smallest normal number gives the zero image;
    // the host may still round it up to that number.
    EXPECT_TRUE(all_zero(ours) && warned) << hex(ours);
    EXPECT_LT(value, host.smallest_normal) << "host " << hex(host.image);
    ++tally.below_normal;
  } else if (ours == host.image) {
    EXPECT_FALSE(warned);
    ++tally.equal;
  } else {
    EXPECT_FALSE(warned);
    EXPECT_EQ((ours[0] & 0x80) != 0, text[0] == '-');
    ASSERT_TRUE(ours == host.next_up || ours == host.next_down)
        << "ours " << hex(ours) << " host " << hex(host.image);
    EXPECT_TRUE(value == midpoint(magnitude(f, ours), magnitude(f, host.image)))
        << "ours " << hex(ours) << " host " << hex(host.image);
    ++tally.halfway;
  }
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
    return text + 'e' + std::to_string(between(low - point, high - point));
  }
};

std::string printed(const char* form, long double value) {
  char text[128];
  std::snprintf(text, sizeof text, form, value);
  return text;
}

struct Range {
  const Format* format;
  int low;  // decimal exponents spanned by the random inputs
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
    EXPECT_GT(tally.equal, 6000);       // the ranges are mostly normal numbers
    EXPECT_GT(tally.below_normal, 20);  // and some fall below
    EXPECT_LE(tally.halfway, 7);        // random inputs seldom lie halfway
  }
}

// Random normal numbers of each format printed with enough digits to read
// back exactly: our image must be the number itself, as the host's is.
TEST(FloatCrossCheck, PrintedNumbersReadBackExactly) {
  Inputs inputs;
  for (const Range& r : ranges) {
    Tally tally;
    for (int i = 0; i < 3000; ++i) {
      long double value;
      if (r.format->format == float_single) {
        const uint32_t bits = static_cast<uint32_t>(inputs.between(0x00800000, 0x7F7FFFFF));
        float f;
        std::memcpy(&f, &bits, 4);
        value = f;
      } else if (r.format->format == float_double) {
        const uint64_t bits = static_cast<uint64_t>(inputs.between(0x0010000000000000, 0x7FEFFFFFFFFFFFFF));
        double d;
        std::memcpy(&d, &bits, 8);
        value = d;
      } else {
        const uint64_t significand = inputs.generator() | 0x8000000000000000ull;
        value = std::ldexp(static_cast<long double>(significand), static_cast<int>(inputs.between(1, 32766)) - 16383 - 63);
      }
      check(*r.format, printed(r.round_trip, inputs.below(2) ? -value : value), tally);
    }
    EXPECT_EQ(tally.equal, 3000);
  }
}

// The largest and smallest normal numbers, their neighbours and the powers
// of two across each range, printed with many digits.
TEST(FloatCrossCheck, BoundariesAgreeWithTheHost) {
  std::vector<std::pair<const Format*, long double>> values = {
      {&single_format, FLT_MAX},    {&single_format, FLT_MIN},    {&double_format, DBL_MAX},
      {&double_format, DBL_MIN},    {&extended_format, LDBL_MAX}, {&extended_format, LDBL_MIN},
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
  const int precision[] = {24, 53, 64};
  Inputs inputs;
  for (int k = 0; k < 3; ++k) {
    const Format& f = *ranges[k].format;
    int away = 0;  // ties where the host's even choice is the lower neighbour
    for (int i = 0; i < 300; ++i) {
      // (2q + 1) / 2 × 2^shift: halfway between q and q + 1 units of 2^shift.
      const uint64_t q = (uint64_t{1} << (precision[k] - 1)) |
                         (inputs.generator() & ((uint64_t{1} << (precision[k] - 1)) - 1));
      const int shift = static_cast<int>(inputs.between(-12, 12));
      unsigned __int128 twice = (static_cast<unsigned __int128>(q) << 1) | 1u;
      // The tie is twice × 2^(shift − 1) = twice × 5^(1 − shift) / 10^(1 − shift) for shift <= 0.
      int decimal_exponent = 0;
      if (shift >= 1) {
        twice <<= (shift - 1);
      } else {
        for (int n = 0; n < 1 - shift; ++n) twice *= 5;
        decimal_exponent = shift - 1;
      }
      std::string digits;
      for (unsigned __int128 v = twice; v != 0; v /= 10)
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
      const std::string text = (inputs.below(2) ? "-" : "+") + digits + "e" + std::to_string(decimal_exponent);
      SCOPED_TRACE(text);
      ASSERT_LE(digits.size(), 38u);  // exact in the 128-bit intermediate
      bool warned = false;
      const Image ours = ours_of(f, text, warned);
      const HostResult host = host_convert(f, text);
      // Ours lies above the value in magnitude and is the host's even choice
      // or the neighbour above it.
      EXPECT_GT(magnitude(f, ours), magnitude_of(text)) << hex(ours);
      EXPECT_TRUE(ours == host.image || ours == host.next_up) << hex(ours) << " host " << hex(host.image);
      if (ours != host.image) ++away;
    }
    EXPECT_GT(away, 100);  // about half the ties have an odd upper neighbour
  }
}

}  // namespace
}  // namespace koral
