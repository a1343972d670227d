// Cross-reference records: block layout and chaining in the refsym file,
// and exact counts without it.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "driver/assembly.h"
#include "symbols/cross_reference.h"
#include "symbols/hash.h"
#include "symbols/symbol_table.h"

namespace koral {
namespace {

uint32_t le32(const std::vector<unsigned char>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

class CrossReference : public ::testing::Test {
 protected:
  void SetUp() override {
    a.sources.files.push_back(SourceFile{"main.asm", "/x/main.asm"});
    a.sources.files.push_back(SourceFile{"inc.asm", "/x/inc.asm"});
    lookup_symbol(a, "S1", hash_name("S1"));
    s1 = insert_name(a, "S1", kind_forward).symbol;
    lookup_symbol(a, "S2", hash_name("S2"));
    s2 = insert_name(a, "S2", kind_forward).symbol;
    lookup_section(a, "CODE", hash_name("CODE"));
    code = insert_name(a, "CODE", 2).section;
  }

  // The statement in hand is at (file, line, listing line).
  void at(uint32_t file, int32_t line, int32_t listing) {
    a.sources.current = file;
    a.sources.files[file].line_in_file = line;
    a.sources.files[file].listing_line = listing;
  }

  std::vector<unsigned char> file_bytes() {
    TempFile& f = a.temps[TempKind::refsym];
    EXPECT_TRUE(f.is_open());
    long size = f.seek(0, seek_end);
    f.seek(0, seek_start);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size) + 1);
    f.read(bytes.data(), bytes.size());
    return bytes;
  }

  Assembly a;
  Symbol* s1 = nullptr;
  Symbol* s2 = nullptr;
  Section* code = nullptr;
};

TEST_F(CrossReference, ElevenReferencesFillOneBlockAndLinkASecond) {
  a.run.options |= opt_cross_reference;
  at(0, 1, 1);
  record_reference(a, s1, nullptr);  // block 0
  at(1, 7, 20);
  record_reference(a, s2, nullptr);  // block 124
  for (int i = 2; i <= 11; ++i) {
    at(0, 100 + i, 200 + i);
    record_reference(a, s1, nullptr);  // 2..10 in block 0, the 11th in block 248
  }
  EXPECT_EQ(s1->references.count, 11);
  EXPECT_EQ(s1->references.first_block, 0);
  EXPECT_EQ(s1->references.next_record, 248 + 4);
  EXPECT_EQ(s2->references.first_block, 124);
  EXPECT_EQ(s2->references.count, 1);

  std::vector<unsigned char> bytes = file_bytes();
  ASSERT_GE(bytes.size(), 3u * 124u);
  // (offset, 32-bit word): the links of block 0 (to S1's second block), of
  // S2's only block and of S1's last; S1's first record (line 1, listing
  // line 1); its tenth, closing block 0 at 4 + 9 * 12; S2's record (line 7,
  // listing line 20); S1's eleventh, opening block 248.
  const std::pair<std::size_t, uint32_t> words[] = {{0, 248},   {124, 0},  {248, 0},  {8, 1},
                                                    {12, 1},    {116, 110}, {120, 210}, {132, 7},
                                                    {136, 20},  {256, 111}, {260, 211}};
  for (const auto& [offset, value] : words) EXPECT_EQ(le32(bytes, offset), value) << offset;
  // The file numbers of S1's first record and of S2's.
  EXPECT_EQ(bytes[4] | bytes[5] << 8, 0);
  EXPECT_EQ(bytes[128] | bytes[129] << 8, 1);
}

TEST_F(CrossReference, SectionsHaveTheirOwnChains) {
  a.run.options |= opt_cross_reference;
  at(0, 3, 3);
  record_reference(a, nullptr, code);
  record_reference(a, s1, nullptr);
  record_reference(a, nullptr, code);
  EXPECT_EQ(code->references.count, 2);
  EXPECT_EQ(code->references.first_block, 0);
  EXPECT_EQ(code->references.next_record, 16);
  EXPECT_EQ(s1->references.first_block, 124);
  std::vector<unsigned char> bytes = file_bytes();
  EXPECT_EQ(le32(bytes, 16 + 4), 3u);
}

TEST_F(CrossReference, WithoutTheOptionNoFileIsWrittenButCountsAreExact) {
  for (int i = 0; i < 25; ++i) record_reference(a, s1, nullptr);
  record_reference(a, s2, nullptr);
  EXPECT_FALSE(a.temps[TempKind::refsym].is_open());
  EXPECT_EQ(s1->references.count, 25);
  EXPECT_EQ(s1->references.next_record, 248 + 4 + 4 * 12);
  EXPECT_EQ(s2->references.first_block, 3 * 124);
  EXPECT_EQ(a.symbols.next_reference_block, 4 * 124);
}

}  // namespace
}  // namespace koral
