// Packing of statement records while they rest in memory.  Most 32-bit words
// of a record are zero, a small number or all ones: each word is kept in 0, 1
// or 4 bytes behind a 2-bit tag (0 zero, 1 one byte, 2 all ones, 3 four
// bytes).  The tags of four words make one tag byte; a packed image holds all
// tag bytes first and then the words' bytes, so that where a group's bytes
// start never waits on unpacking the group before.
#pragma once

#include <cstdint>

namespace koral {

// Room `out` must have for packing `length` bytes: the packers store whole
// 16-byte groups past the packed end.
constexpr uint32_t packed_limit(uint32_t length) { return length + length / 16 + 32; }
// Bytes an unpacker may read past the packed end.
constexpr uint32_t unpack_reach = 16;

// Packs `length` bytes (a multiple of 4); returns the packed length.
uint32_t pack_words(const unsigned char* raw, uint32_t length, unsigned char* out);
// Packs `raw` as pack_words does, given `earlier`, the packed image of
// `earlier_raw` (of the same length, readable unpack_reach bytes past its
// end): the words that did not change are not packed again.
uint32_t repack_words(const unsigned char* raw, const unsigned char* earlier_raw,
                      const unsigned char* earlier, uint32_t length, unsigned char* out);
// Unpacks the `length` bytes packed at `packed`.
void unpack_words(const unsigned char* packed, uint32_t length, unsigned char* raw);

// The same, one word at a time, for processors without byte shuffles (and
// for comparing the two in tests).
uint32_t pack_words_by_word(const unsigned char* raw, uint32_t length, unsigned char* out);
void unpack_words_by_word(const unsigned char* packed, uint32_t length, unsigned char* raw);

}  // namespace koral
