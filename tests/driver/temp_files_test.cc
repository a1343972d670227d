#include "driver/temp_files.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

namespace koral {
namespace {

std::vector<char> pattern(std::size_t count, int start) {
  std::vector<char> bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>((i * 7 + start) & 0xFF);
  return bytes;
}

TEST(MemoryStore, FileGrowsPastOneBlockAndReadsBackInOrder) {
  MemoryStore store;
  int h = store.open("TP000001");
  ASSERT_GE(h, 0);
  EXPECT_EQ(store.block_count(h), 1u);
  // Writes of odd sizes so that pieces straddle the block boundary.
  std::vector<char> all;
  for (int piece = 0; piece < 40; ++piece) {
    std::vector<char> bytes = pattern(4099, piece);
    ASSERT_EQ(store.write(h, bytes.data(), bytes.size()), static_cast<long>(bytes.size()));
    all.insert(all.end(), bytes.begin(), bytes.end());
  }
  ASSERT_GT(all.size(), MemoryStore::block_size);
  EXPECT_EQ(store.block_count(h), 2u);

  ASSERT_EQ(store.seek(h, 0, seek_start), 0);
  std::vector<char> back(all.size() + 10);
  EXPECT_EQ(store.read(h, back.data(), back.size()), static_cast<long>(all.size()));
  back.resize(all.size());
  EXPECT_EQ(back, all);
  EXPECT_EQ(store.read(h, back.data(), 1), 0);  // at the end
}

TEST(MemoryStore, SeekRules) {
  MemoryStore store;
  int h = store.open("TQ");
  ASSERT_GE(h, 0);
  EXPECT_EQ(store.seek(h, 0, seek_start), 0);  // empty file: position 0 is fine
  EXPECT_EQ(store.seek(h, 1, seek_start), -1);
  ASSERT_EQ(store.write(h, "abcdef", 6), 6);
  EXPECT_EQ(store.seek(h, 6, seek_start), 6);   // last byte + 1
  EXPECT_EQ(store.seek(h, 7, seek_start), -1);  // beyond it
  EXPECT_EQ(store.seek(h, -2, seek_current), 4);
  EXPECT_EQ(store.seek(h, 0, seek_end), 5);     // the end is the last byte
  char c = 0;
  EXPECT_EQ(store.read(h, &c, 1), 1);
  EXPECT_EQ(c, 'f');
  EXPECT_EQ(store.seek(h, -10, seek_current), -1);
  // Writing in place keeps the length.
  ASSERT_EQ(store.seek(h, 2, seek_start), 2);
  ASSERT_EQ(store.write(h, "xy", 2), 2);
  ASSERT_EQ(store.seek(h, 0, seek_start), 0);
  char back[16] = {};
  EXPECT_EQ(store.read(h, back, sizeof back), 6);
  EXPECT_STREQ(back, "abxyef");
}

TEST(MemoryStore, TenSlotsThenRefusalAndReuseAfterClose) {
  MemoryStore store;
  std::vector<int> handles;
  for (int i = 0; i < MemoryStore::slot_count; ++i) handles.push_back(store.open("T"));
  for (int i = 0; i < MemoryStore::slot_count; ++i) EXPECT_EQ(handles[i], i);
  EXPECT_EQ(store.open("T"), -1);
  EXPECT_EQ(store.close(handles[3]), 0);
  EXPECT_NE(store.close(handles[3]), 0);  // already closed
  int again = store.open("T");
  EXPECT_EQ(again, 3);
  char c;
  EXPECT_EQ(store.read(again, &c, 1), 0);  // reopened empty
  EXPECT_EQ(store.read(42, &c, 1), -1);
}

std::vector<std::string> names_in(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  return names;
}

class TempDirectory : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/koral-temps-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = name;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string dir_;
};

TEST_F(TempDirectory, DiskFilesLiveInTmpWithTheirPrefixAndAreRemoved) {
  TempFiles temps;
  std::string tmp = dir_ + ";ignored";  // TMP counts up to its first ";"
  temps.build_names(tmp.c_str());
  EXPECT_EQ(temps.directory(), dir_ + "/");
  temps.use_disk(true);
  ASSERT_TRUE(temps.open(TempKind::token));
  ASSERT_TRUE(temps.open(TempKind::err2));
  std::vector<std::string> names = names_in(dir_);
  ASSERT_EQ(names.size(), 2u);
  for (const std::string& name : names) {
    EXPECT_EQ(name.size(), 8u);
    EXPECT_TRUE(name.rfind("TP", 0) == 0 || name.rfind("TR", 0) == 0) << name;
  }
  TempFile& token = temps[TempKind::token];
  ASSERT_EQ(token.write("hello", 5), 5);
  ASSERT_EQ(token.seek(0, seek_start), 0);
  char back[8] = {};
  EXPECT_EQ(token.read(back, sizeof back), 5);
  EXPECT_STREQ(back, "hello");
  temps.remove_all();
  EXPECT_TRUE(names_in(dir_).empty());
}

// Blocks written at offsets out of order (the later passes rewrite chunks in
// place) read back the same from either store; a read past the end is short.
TEST_F(TempDirectory, BlocksAtOffsetsReadBackFromMemoryAndDisk) {
  for (bool disk : {false, true}) {
    SCOPED_TRACE(disk ? "disk" : "memory");
    TempFiles temps;
    temps.build_names(dir_.c_str());
    temps.use_disk(disk);
    ASSERT_TRUE(temps.open(TempKind::token));
    TempFile& file = temps[TempKind::token];
    const std::size_t block = 16384;
    for (int i = 0; i < 12; ++i) {
      std::vector<char> bytes = pattern(block, i);
      ASSERT_EQ(file.write_at(static_cast<long>(i * block), bytes.data(), block), long(block));
    }
    std::vector<char> changed = pattern(block, 99);
    ASSERT_EQ(file.write_at(long(5 * block), changed.data(), block), long(block));
    std::vector<char> back(block);
    for (int i : {11, 5, 0, 6}) {
      ASSERT_EQ(file.read_at(long(i * block), back.data(), block), long(block));
      EXPECT_EQ(back, i == 5 ? changed : pattern(block, i)) << "block " << i;
    }
    EXPECT_EQ(file.read_at(long(11 * block + 100), back.data(), block), long(block - 100));
    temps.remove_all();
  }
}

TEST_F(TempDirectory, MemoryFilesTouchNoDisk) {
  TempFiles temps;
  temps.build_names(dir_.c_str());
  ASSERT_TRUE(temps.open(TempKind::token));
  ASSERT_TRUE(temps.open(TempKind::err1));
  EXPECT_FALSE(temps[TempKind::token].on_disk());
  EXPECT_TRUE(names_in(dir_).empty());
  EXPECT_EQ(temps.label(TempKind::err1), "temporary file(err1)");
}

TEST_F(TempDirectory, ReopeningOnDiskReplacesTheMemoryFile) {
  TempFiles temps;
  temps.build_names(dir_.c_str());
  ASSERT_TRUE(temps.open(TempKind::token));
  temps.use_disk(true);
  ASSERT_TRUE(temps.open(TempKind::token));
  EXPECT_TRUE(temps[TempKind::token].on_disk());
  EXPECT_EQ(names_in(dir_).size(), 1u);
  ASSERT_TRUE(temps.open(TempKind::token));  // a second disk file replaces the first
  EXPECT_EQ(names_in(dir_).size(), 1u);
  temps.remove_all();
  EXPECT_TRUE(names_in(dir_).empty());
}

}  // namespace
}  // namespace koral
