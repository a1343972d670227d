// The line-record file: the record layout, the debug file table, the records
// of FILE and LINE and their correction in pass 2.  The automatic records
// are checked by whole runs (tests/golden/debug_lines_across_includes).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "driver/assembly.h"
#include "object/line_records.h"
#include "source/statement_kinds.h"
#include "object_test_support.h"

namespace koral {
namespace {

using namespace object_test;

Bytes encoded(const LineRecord& r) {
  uint8_t bytes[line_record_size];
  encode_line_record(r, bytes);
  return Bytes(bytes, bytes + line_record_size);
}

bool same(const LineRecord& x, const LineRecord& y) {
  return x.kind == y.kind && x.reference == y.reference && x.line == y.line && x.column == y.column &&
         x.offset == y.offset;
}

std::string show(const LineRecord& r) {
  return std::to_string(r.kind) + "/" + std::to_string(r.reference) + "/" + std::to_string(r.line) + "/" +
         std::to_string(r.column) + "/" + std::to_string(r.offset);
}

TEST(LineRecord, FiveLittleEndianWords) {
  struct Case {
    LineRecord record;
    const char* bytes;
  };
  const Case cases[] = {
      {{2, 1, 10, 0, 3}, "02000000 01000000 0A000000 00000000 03000000"},
      {{3, 2, 0x12345, 7, 0x100}, "03000000 02000000 45230100 07000000 00010000"},
      {{1, 0, 0, 0, -1}, "01000000 00000000 00000000 00000000 FFFFFFFF"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(object_test::show(encoded(c.record)), object_test::show(hex(c.bytes)));
    const Bytes bytes = hex(c.bytes);
    EXPECT_TRUE(same(decode_line_record(bytes.data()), c.record)) << c.bytes;
  }
}

// A run with -g, one relocatable section and the line-record file in memory.
struct LineRun {
  std::unique_ptr<Assembly> run = std::make_unique<Assembly>();
  Assembly& a = *run;
  Section* code = nullptr;

  LineRun() {
    a.temps.build_names(nullptr);
    a.run.options |= opt_debug;
    a.run.pass = pass_one;
    a.sources.files.resize(1);
    a.sources.files[0].name = "m.asm";
    lookup_section(a, "code", hash_name("code"));
    code = insert_name(a, "code", section_code).section;
  }

  std::string records() {
    std::string out;
    rewind_line_records(a);
    LineRecord r;
    while (read_line_record(a, r)) out += show(r) + " ";
    return out;
  }
};

TEST(DebugFileTable, NamesCompareByteForByteAndTheLimitIsFatal) {
  LineRun t;
  bool added = false;
  EXPECT_EQ(debug_file_row(t.a, "a.c", added), 0u);
  EXPECT_TRUE(added);
  EXPECT_EQ(debug_file_row(t.a, "A.c", added), 1u);
  EXPECT_TRUE(added);
  EXPECT_EQ(debug_file_row(t.a, "a.c", added), 0u);
  EXPECT_FALSE(added);
  for (int i = 2; i < 2001; ++i) debug_file_row(t.a, "f" + std::to_string(i), added);
  EXPECT_EQ(t.a.debug.lines.files.size(), 2001u);
  EXPECT_EQ(debug_file_row(t.a, "f7", added), 7u);  // known names still resolve
  EXPECT_THROW(debug_file_row(t.a, "one too many", added), RunAborted);
}

// FILE enters a new name and returns to a known one; an empty name writes
// nothing; LINE writes only after a FILE, once its statement is recorded,
// at the location itself.
TEST(LineRecords, FileAndLineDirectives) {
  LineRun t;
  Assembly& a = t.a;
  a.statement.own_debug_directives = true;
  a.run.section = t.code;
  t.code->location = 9;
  line_directive_record(a, 4, 0);  // before any FILE
  note_statement_lines(a, true);
  file_directive_record(a, "");
  file_directive_record(a, "prog.c");
  file_directive_record(a, "defs.h");
  file_directive_record(a, "prog.c");
  line_directive_record(a, 12, 5);
  EXPECT_EQ(a.debug.lines.count, 3u);  // the line waits for its statement record
  a.token_file.last_record_offset = 100;
  note_statement_lines(a, true);
  line_directive_record(a, 13, 0);
  note_statement_lines(a, false);  // the end of the source writes no record for it
  EXPECT_EQ(t.records(), "0/0/0/0/0 0/1/0/0/0 1/0/0/0/0 2/1/12/5/9 ");
  ASSERT_EQ(a.debug.lines.owners.size(), 1u);
  EXPECT_EQ(a.debug.lines.owners[0].statement, 100);

  // Pass 2: the LINE statement keeps its line and takes the location itself.
  a.run.pass = pass_two;
  a.run.iteration = 0;
  a.run.statement_kind = statement_line;
  t.code->location = 11;
  a.token_file.window_offset = 100;
  a.token_file.record = 0;
  correct_statement_lines(a, 0);
  EXPECT_EQ(t.records(), "0/0/0/0/0 0/1/0/0/0 1/0/0/0/0 2/1/12/5/11 ");
  EXPECT_EQ(a.debug.lines.rewrites, 1u);

  // The next iteration finds the same location: the record is read, not
  // written again; a location that moves once more is written again.
  a.run.iteration = 1;
  correct_statement_lines(a, 0);
  EXPECT_EQ(a.debug.lines.rewrites, 1u);
  a.run.iteration = 2;
  t.code->location = 10;
  correct_statement_lines(a, 0);
  EXPECT_EQ(a.debug.lines.rewrites, 2u);
  EXPECT_EQ(t.records(), "0/0/0/0/0 0/1/0/0/0 1/0/0/0/0 2/1/12/5/10 ");
}

}  // namespace
}  // namespace koral
