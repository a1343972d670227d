#include "source/word_packing.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KORAL_BYTE_SHUFFLE 1
#endif

namespace koral {

namespace {

constexpr uint32_t tag_length[4] = {0, 1, 0, 4};

inline uint32_t load_word(const unsigned char* at) {
  uint32_t word;
  std::memcpy(&word, at, 4);
  return word;
}

inline uint32_t tag_of(uint32_t word) {
  uint32_t nonzero = word != 0;
  uint32_t large = word > 0xFFu;
  uint32_t ones = word == 0xFFFFFFFFu;
  return nonzero + large + (large & (ones ^ 1));
}

// Everything a tag byte says about its four words: where each one's bytes
// start, the byte shuffles that spread and gather them, the bytes set to all
// ones, and the bytes of the group.
struct GroupTables {
  uint8_t start[256][4];
  uint8_t spread[256][16];   // packed bytes -> four words (0x80: a zero byte)
  uint8_t gather[256][16];   // four words -> packed bytes
  uint8_t ones[256][16];
  uint8_t length[256];

  constexpr GroupTables() : start(), spread(), gather(), ones(), length() {
    for (uint32_t byte = 0; byte < 256; ++byte) {
      uint32_t at = 0;
      for (uint32_t i = 0; i < 16; ++i) spread[byte][i] = gather[byte][i] = 0x80;
      for (uint32_t k = 0; k < 4; ++k) {
        uint32_t tag = (byte >> (2 * k)) & 3;
        start[byte][k] = static_cast<uint8_t>(at);
        for (uint32_t i = 0; i < tag_length[tag]; ++i) {
          spread[byte][4 * k + i] = static_cast<uint8_t>(at + i);
          gather[byte][at + i] = static_cast<uint8_t>(4 * k + i);
        }
        for (uint32_t i = 0; i < 4; ++i) ones[byte][4 * k + i] = tag == 2 ? 0xFF : 0;
        at += tag_length[tag];
      }
      length[byte] = static_cast<uint8_t>(at);
    }
  }
};

constexpr GroupTables tables;

inline uint32_t unpack_one(const unsigned char* from, uint32_t tag) {
  static constexpr uint32_t keep[4] = {0, 0xFFu, 0, 0xFFFFFFFFu};
  static constexpr uint32_t set[4] = {0, 0, 0xFFFFFFFFu, 0};
  return (load_word(from) & keep[tag]) | set[tag];
}

// The words past the last whole group of four.
uint32_t pack_tail(const unsigned char* raw, uint32_t count, unsigned char* tags, unsigned char* to) {
  uint32_t tag_byte = 0, at = 0;
  for (uint32_t k = 0; k < count; ++k) {
    uint32_t word = load_word(raw + 4 * k);
    uint32_t tag = tag_of(word);
    std::memcpy(to + at, &word, 4);
    at += tag_length[tag];
    tag_byte |= tag << (2 * k);
  }
  *tags = static_cast<unsigned char>(tag_byte);
  return at;
}

void unpack_tail(const unsigned char* from, uint32_t tag_byte, uint32_t count, unsigned char* raw) {
  for (uint32_t k = 0; k < count; ++k) {
    uint32_t word = unpack_one(from + tables.start[tag_byte][k], (tag_byte >> (2 * k)) & 3);
    std::memcpy(raw + 4 * k, &word, 4);
  }
}

#ifdef KORAL_BYTE_SHUFFLE

// Bit k of a 4-bit mask moved to bit 2k.
constexpr uint8_t spread_bits[16] = {0x00, 0x01, 0x04, 0x05, 0x10, 0x11, 0x14, 0x15,
                                     0x40, 0x41, 0x44, 0x45, 0x50, 0x51, 0x54, 0x55};

// Packs the four words of `v` at `to`; returns their tag byte.
__attribute__((target("ssse3"))) inline uint32_t pack_group(__m128i v, unsigned char* to) {
  const __m128i zero = _mm_setzero_si128();
  // Masks are -1 where true: 3 - 2*small - zero - ones gives the tags.
  __m128i small = _mm_cmpeq_epi32(_mm_and_si128(v, _mm_set1_epi32(static_cast<int>(0xFFFFFF00u))), zero);
  __m128i tag = _mm_add_epi32(_mm_set1_epi32(3), _mm_add_epi32(small, small));
  tag = _mm_add_epi32(tag, _mm_add_epi32(_mm_cmpeq_epi32(v, zero), _mm_cmpeq_epi32(v, _mm_set1_epi32(-1))));
  int low_bits = _mm_movemask_ps(_mm_castsi128_ps(_mm_slli_epi32(tag, 31)));
  int high_bits = _mm_movemask_ps(_mm_castsi128_ps(_mm_slli_epi32(tag, 30)));
  uint32_t tag_byte = spread_bits[low_bits] | (spread_bits[high_bits] << 1);
  __m128i order = _mm_loadu_si128(reinterpret_cast<const __m128i*>(tables.gather[tag_byte]));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_shuffle_epi8(v, order));
  return tag_byte;
}

__attribute__((target("ssse3")))
uint32_t pack_shuffled(const unsigned char* raw, uint32_t length, unsigned char* out) {
  const uint32_t words = length / 4;
  unsigned char* tags = out;
  unsigned char* to = out + (words + 3) / 4;
  uint32_t w = 0;
  for (; w + 4 <= words; w += 4) {
    uint32_t tag_byte = pack_group(_mm_loadu_si128(reinterpret_cast<const __m128i*>(raw + 4 * w)), to);
    to += tables.length[tag_byte];
    *tags++ = static_cast<unsigned char>(tag_byte);
  }
  if (w < words) to += pack_tail(raw + 4 * w, words - w, tags, to);
  return static_cast<uint32_t>(to - out);
}

// A group that did not change keeps its packed bytes: they are copied from
// the earlier image instead of being worked out again.
__attribute__((target("ssse3")))
uint32_t repack_shuffled(const unsigned char* raw, const unsigned char* earlier_raw,
                         const unsigned char* earlier, uint32_t length, unsigned char* out) {
  const uint32_t words = length / 4;
  const uint32_t tag_bytes = (words + 3) / 4;
  const unsigned char* earlier_tags = earlier;
  const unsigned char* from = earlier + tag_bytes;
  unsigned char* tags = out;
  unsigned char* to = out + tag_bytes;
  uint32_t w = 0;
  for (; w + 4 <= words; w += 4) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(raw + 4 * w));
    __m128i was = _mm_loadu_si128(reinterpret_cast<const __m128i*>(earlier_raw + 4 * w));
    uint32_t earlier_tag = *earlier_tags++;
    uint32_t tag_byte = earlier_tag;
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(v, was)) == 0xFFFF)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_loadu_si128(reinterpret_cast<const __m128i*>(from)));
    else
      tag_byte = pack_group(v, to);
    from += tables.length[earlier_tag];
    to += tables.length[tag_byte];
    *tags++ = static_cast<unsigned char>(tag_byte);
  }
  if (w < words) to += pack_tail(raw + 4 * w, words - w, tags, to);
  return static_cast<uint32_t>(to - out);
}

__attribute__((target("ssse3")))
void unpack_shuffled(const unsigned char* packed, uint32_t length, unsigned char* raw) {
  const uint32_t words = length / 4;
  const unsigned char* tags = packed;
  const unsigned char* from = packed + (words + 3) / 4;
  uint32_t w = 0;
  for (; w + 4 <= words; w += 4) {
    uint32_t tag_byte = *tags++;
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    __m128i order = _mm_loadu_si128(reinterpret_cast<const __m128i*>(tables.spread[tag_byte]));
    __m128i ones = _mm_loadu_si128(reinterpret_cast<const __m128i*>(tables.ones[tag_byte]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(raw + 4 * w),
                     _mm_or_si128(_mm_shuffle_epi8(bytes, order), ones));
    from += tables.length[tag_byte];
  }
  if (w < words) unpack_tail(from, *tags, words - w, raw + 4 * w);
}

bool shuffles_available() {
  static const bool available = __builtin_cpu_supports("ssse3");
  return available;
}

#endif

}  // namespace

uint32_t pack_words_by_word(const unsigned char* raw, uint32_t length, unsigned char* out) {
  const uint32_t words = length / 4;
  unsigned char* tags = out;
  unsigned char* to = out + (words + 3) / 4;
  for (uint32_t w = 0; w < words; w += 4) {
    uint32_t count = words - w < 4 ? words - w : 4;
    to += pack_tail(raw + 4 * w, count, tags++, to);
  }
  return static_cast<uint32_t>(to - out);
}

void unpack_words_by_word(const unsigned char* packed, uint32_t length, unsigned char* raw) {
  const uint32_t words = length / 4;
  const unsigned char* tags = packed;
  const unsigned char* from = packed + (words + 3) / 4;
  for (uint32_t w = 0; w < words; w += 4) {
    uint32_t count = words - w < 4 ? words - w : 4;
    unpack_tail(from, *tags, count, raw + 4 * w);
    from += tables.length[*tags++];
  }
}

uint32_t pack_words(const unsigned char* raw, uint32_t length, unsigned char* out) {
#ifdef KORAL_BYTE_SHUFFLE
  if (shuffles_available()) return pack_shuffled(raw, length, out);
#endif
  return pack_words_by_word(raw, length, out);
}

uint32_t repack_words(const unsigned char* raw, const unsigned char* earlier_raw,
                      const unsigned char* earlier, uint32_t length, unsigned char* out) {
#ifdef KORAL_BYTE_SHUFFLE
  if (shuffles_available()) return repack_shuffled(raw, earlier_raw, earlier, length, out);
#endif
  (void)earlier_raw;
  (void)earlier;
  return pack_words_by_word(raw, length, out);
}

void unpack_words(const unsigned char* packed, uint32_t length, unsigned char* raw) {
#ifdef KORAL_BYTE_SHUFFLE
  if (shuffles_available()) return unpack_shuffled(packed, length, raw);
#endif
  unpack_words_by_word(packed, length, raw);
}

}  // namespace koral
