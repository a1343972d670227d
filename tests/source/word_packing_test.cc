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

TEST(WordPacking, RepackingAfterAFewChangesGivesThePackedImageOfTheNewWords) {
  std::mt19937 random(11);
  const uint32_t kinds[] = {0, 3, 0xFFFFFFFFu, 0x00012345u};
  for (uint32_t words : {1u, 4u, 7u, 64u, 301u}) {
    std::vector<uint32_t> before(words);
    for (uint32_t& v : before) v = kinds[random() % 4];
    std::vector<uint32_t> after = before;
    // A word becomes wider, one narrower, one keeps its width; the rest stay.
    for (uint32_t change = 0; change < 1 + words / 10; ++change) after[random() % words] = kinds[random() % 4];
    const std::vector<unsigned char> old_raw = bytes_of(before), new_raw = bytes_of(after);
    const uint32_t length = words * 4;
    std::vector<unsigned char> earlier(packed_limit(length) + unpack_reach);
    pack_words(old_raw.data(), length, earlier.data());
    std::vector<unsigned char> expected(packed_limit(length)), got(packed_limit(length));
    uint32_t expected_length = pack_words_by_word(new_raw.data(), length, expected.data());
    uint32_t got_length = repack_words(new_raw.data(), old_raw.data(), earlier.data(), length, got.data());
    ASSERT_EQ(got_length, expected_length) << words;
    EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + expected_length, got.begin())) << words;
  }
}

}  // namespace
}  // namespace koral
