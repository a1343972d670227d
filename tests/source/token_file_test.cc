#include "source/token_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "diag/diagnostics.h"
#include "driver/assembly.h"

namespace koral {
namespace {

// A run whose token file lives in memory (packed) or on disk (-zd);
// statements are written in pass 1 and read back in pass 2.
class TokenFile : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    a.sources.files.push_back(SourceFile{"t.asm", "/t.asm"});
    if (GetParam()) {
      a.run.options |= opt_temp_on_disk;
      a.temps.use_disk(true);
      a.temps.build_names(::testing::TempDir().c_str());
    } else {
      a.temps.build_names(nullptr);
    }
    ASSERT_TRUE(a.temps.open(TempKind::token));
    a.run.pass = pass_one;
  }

  // One statement with a body of `words` words holding `first + i` and an
  // arena image of `arena_bytes` bytes.
  void write_statement(uint32_t words, uint32_t first, uint32_t arena_bytes, uint8_t flags) {
    a.arena.reset();
    start_record(a);
    for (uint32_t i = 0; i < words; ++i) {
      uint32_t at = alloc_body(a, 4);
      *a.token_file.item<uint32_t>(at) = first + i;
    }
    if (arena_bytes) {
      ArenaRef ref = a.arena.allocate(a, arena_bytes);
      std::memset(a.arena.at<unsigned char>(ref), static_cast<int>(first & 0xFF), arena_bytes);
    }
    finish_record(a, flags, first, RecordBody::full);
  }

  Assembly a;
};

TEST_P(TokenFile, EveryStatementComesBackInOrderAcrossManyBuffers) {
  constexpr uint32_t statements = 3000;
  for (uint32_t n = 0; n < statements; ++n)
    write_statement(n % 17, n * 100, (n % 5) * 8, n % 3 ? record_directive : record_size_final);
  flush_token_file(a, true);

  a.run.pass = pass_two;
  rewind_token_file(a);
  uint32_t n = 0;
  while (RecordHeader* header = read_record(a)) {
    ASSERT_LT(n, statements);
    EXPECT_EQ(header->size, n * 100);
    EXPECT_EQ(header->body_length, (n % 17) * 4);
    EXPECT_EQ(header->total_length, (n % 17) * 4 + (n % 5) * 8);
    const uint32_t* body = a.token_file.item<uint32_t>(record_header_size);
    for (uint32_t i = 0; i < n % 17; ++i) ASSERT_EQ(body[i], n * 100 + i) << n;
    restore_arena(a, header);
    EXPECT_EQ(a.arena.used(), (n % 5) * 8);
    if (n % 5) {
      EXPECT_EQ(a.arena.data()[0], static_cast<unsigned char>((n * 100) & 0xFF));
    }
    ++n;
  }
  EXPECT_EQ(n, statements);
}

TEST_P(TokenFile, StatementThatWouldStraddleTheBufferMovesWhole) {
  // Fill to just below the flush mark; then a statement whose body still
  // fits behind it but whose arena image does not.
  while (a.token_file.record < TokenFileState::flush_mark - 200) write_statement(8, 1, 0, 0);
  uint32_t before = a.token_file.record;
  write_statement(500, 77, 2000, 0);
  EXPECT_GT(before + 4012, TokenFileState::buffer_size);
  EXPECT_EQ(a.token_file.record, 4012u);  // it now starts the buffer
  flush_token_file(a, true);
  a.run.pass = pass_two;
  rewind_token_file(a);
  RecordHeader* last = nullptr;
  while (RecordHeader* header = read_record(a)) last = header;
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->size, 77u);
  EXPECT_EQ(a.token_file.item<uint32_t>(record_header_size)[499], 77u + 499u);
  restore_arena(a, last);
  EXPECT_EQ(a.arena.used(), 2000u);
  EXPECT_EQ(a.arena.data()[1999], 77);
}

TEST_P(TokenFile, BodyPastTheBufferIsFatal) {
  start_record(a);
  EXPECT_THROW(
      {
        for (int i = 0; i < 5000; ++i) alloc_body(a, 4);
      },
      RunAborted);
}

TEST_P(TokenFile, PassTwoChangesAreSeenByTheNextIteration) {
  for (uint32_t n = 0; n < 2000; ++n) write_statement(3, n, 0, 0);
  flush_token_file(a, true);
  a.run.pass = pass_two;
  rewind_token_file(a);
  while (RecordHeader* header = read_record(a)) {
    // Every record of the first window grows, which moves its packed image.
    if (header->size % 7 == 0 || header->size < 600) {
      header->size += 1000000;
      header->flags |= record_warning;
      record_changed(a);
    }
  }
  rewind_token_file(a);
  uint32_t n = 0;
  while (RecordHeader* header = read_record(a)) {
    bool changed = n % 7 == 0 || n < 600;
    EXPECT_EQ(header->size, changed ? n + 1000000 : n);
    EXPECT_EQ((header->flags & record_warning) != 0, changed);
    ++n;
  }
  EXPECT_EQ(n, 2000u);
}

TEST_P(TokenFile, MissingEndFlagsTheLastRecordEvenWhenAlreadyWritten) {
  for (uint32_t n = 0; n < 1400; ++n) write_statement(2, n, 0, 0);
  // The last statement ends exactly where the buffer is written out.
  while (a.token_file.record != 0) write_statement(2, 9999, 0, 0);
  a.sources.files[0].line_in_file = 3;
  flush_token_file(a, false);
  a.run.pass = pass_two;
  rewind_token_file(a);
  RecordHeader* last = nullptr;
  uint32_t with_warning = 0;
  while (RecordHeader* header = read_record(a)) {
    last = header;
    if (header->flags & record_warning) ++with_warning;
  }
  ASSERT_NE(last, nullptr);
  EXPECT_TRUE(last->flags & record_warning);
  EXPECT_EQ(with_warning, 1u);
  EXPECT_TRUE(a.diag.warning_mark);
}

TEST_P(TokenFile, AFileInMemoryStopsAtItsPositionLimitAndOneOnDiskDoesNot) {
  a.token_file.store.memory_file_limit = 3 * TokenFileState::flush_mark;
  auto write_many = [&] {
    for (uint32_t n = 0; n < 4000; ++n) write_statement(5, n, 0, 0);  // 32 bytes each
  };
  if (GetParam()) {
    EXPECT_NO_THROW(write_many());
  } else {
    int category = -1;
    try {
      write_many();
    } catch (const RunAborted& aborted) {
      category = aborted.category;
    }
    EXPECT_EQ(category, 2);  // "Out of memory" ends the run as a resource failure
    EXPECT_LE(a.token_file.flushed, 3 * TokenFileState::flush_mark);
  }
}

INSTANTIATE_TEST_SUITE_P(InMemoryAndOnDisk, TokenFile, ::testing::Bool());

}  // namespace
}  // namespace koral
