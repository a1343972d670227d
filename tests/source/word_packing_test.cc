#include "source/word_packing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace koral {
namespace {

std::vector<unsigned char> bytes_of(const std::vector<uint32_t>& words) {
  std::vector<unsigned char> bytes(words.size() * 4);
  if (!words.empty()) std::memcpy(bytes.data(), words.data(), bytes.size());
  return bytes;
}

TEST(WordPacking, TagBytesComeFirstThenEachWordInItsOwnWidth) {
  // Tags 0,1,2,3 (zero, one byte, all ones, four bytes) make 0b11'10'01'00;
  // the fifth word starts a second group with tag 1.
  const std::vector<unsigned char> raw = bytes_of({0, 5, 0xFFFFFFFFu, 0x12345678u, 7});
  const std::vector<unsigned char> expected = {0xE4, 0x01, 0x05, 0x78, 0x56, 0x34, 0x12, 0x07};
  for (auto pack : {pack_words, pack_words_by_word}) {
    std::vector<unsigned char> out(packed_limit(20));
    uint32_t length = pack(raw.data(), 20, out.data());
    out.resize(length);
    EXPECT_EQ(out, expected);
  }
}

TEST(WordPacking, BothPackersAgreeAndEveryImageUnpacksToItsWords) {
  std::mt19937 random(7);
  const uint32_t kinds[] = {0, 1, 0xFF, 0x100, 0xFFFFFFFFu, 0xFFFFFFFEu, 0x80000000u};
  for (uint32_t words = 0; words <= 67; ++words) {
    std::vector<uint32_t> values(words);
    for (uint32_t& v : values) v = random() % 3 ? kinds[random() % 7] : static_cast<uint32_t>(random());
    const std::vector<unsigned char> raw = bytes_of(values);
    const uint32_t length = words * 4;
    // Bytes past the limit must stay untouched.
    std::vector<unsigned char> fast(packed_limit(length) + 8, 0xA5), slow(fast);
    uint32_t fast_length = pack_words(raw.data(), length, fast.data());
    uint32_t slow_length = pack_words_by_word(raw.data(), length, slow.data());
    ASSERT_EQ(fast_length, slow_length) << words;
    ASSERT_TRUE(std::equal(fast.begin(), fast.begin() + fast_length, slow.begin())) << words;
    for (uint32_t i = packed_limit(length); i < fast.size(); ++i) ASSERT_EQ(fast[i], 0xA5) << words;

    for (auto unpack : {unpack_words, unpack_words_by_word}) {
      std::vector<unsigned char> back(length + 4, 0x5A);
      fast.resize(fast_length + unpack_reach);  // all an unpacker may read
      unpack(fast.data(), length, back.data());
      ASSERT_TRUE(std::equal(raw.begin(), raw.end(), back.begin())) << words;
      EXPECT_EQ(back[length], 0x5A) << words;
    }
  }
}

}  // namespace
}  // namespace koral
