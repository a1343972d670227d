// The line-record file: the record layout, the debug file table, the records
// of pass 1 (automatic and from FILE and LINE) and their correction in pass 2.
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

// A run with the main source m.asm and the include file i.asm, one
// relocatable and one absolute section, and the line-record file in memory.
struct LineRun {
  std::unique_ptr<Assembly> run = std::make_unique<Assembly>();
  Assembly& a = *run;
  Section* code = nullptr;
  Section* table = nullptr;

  LineRun() {
    a.temps.build_names(nullptr);
    a.run.options |= opt_debug;
    a.run.pass = pass_one;
    a.sources.files.resize(2);
    a.sources.files[0].name = "m.asm";
    a.sources.files[1].name = "lib\\i.asm";
    code = &section("code", section_code);
    table = &section("tbl", section_code | section_absolute);
    table->start = 0x100;
    table->location = 0x100;
  }

  Section& section(std::string_view name, int32_t kind) {
    lookup_section(a, name, hash_name(name));
    Section& s = *insert_name(a, name, kind).section;
    return s;
  }

  // The statement in hand: an instruction of `size` bytes at the current
  // location, in file `file` at `line`, in the record at token offset `key`.
  void instruction(uint32_t file, int32_t line, uint32_t size, long key) {
    a.sources.current = file;
    a.sources.files[file].line_in_file = line;
    a.statement.is_instruction = true;
    a.run.statement_size = size;
    if (a.run.section) a.run.section->location += size;  // the statement end advanced it
    a.token_file.last_record_offset = key;
    note_statement_lines(a, true);
    a.statement.is_instruction = false;
  }

  void include_depth(int32_t depth, uint32_t file) {
    a.sources.depth = depth;
    a.sources.levels[static_cast<std::size_t>(depth)].file_index = file;
    a.sources.current = file;
  }

  std::vector<LineRecord> records() {
    std::vector<LineRecord> all;
    rewind_line_records(a);
    LineRecord r;
    while (read_line_record(a, r)) all.push_back(r);
    return all;
  }
};

std::string show(const std::vector<LineRecord>& records) {
  std::string out;
  for (const LineRecord& r : records) out += show(r) + " ";
  return out;
}

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

// Without debug directives: the main source is entered before the first
// line, each include level entered and left gets a file record, each
// instruction a line at the start of its code; pass 2 moves the lines to
// their final locations.
TEST(LineRecords, AutomaticRecordsFollowIncludesAndTakeFinalLocations) {
  LineRun t;
  Assembly& a = t.a;
  a.run.section = t.code;
  a.token_file.last_record_offset = 0;
  note_statement_lines(a, true);  // SECTION: no code, nothing yet
  EXPECT_EQ(a.debug.lines.count, 0u);
  t.instruction(0, 2, 0, 12);     // pass 1: instructions have no size yet
  t.include_depth(1, 1);
  a.token_file.last_record_offset = 40;
  note_statement_lines(a, true);  // the $INCLUDE statement
  t.instruction(1, 3, 0, 52);
  t.include_depth(0, 0);
  t.instruction(0, 5, 0, 64);
  a.run.section = t.table;
  t.instruction(0, 7, 1, 76);     // a sized statement: its own start
  a.run.section = nullptr;
  t.instruction(0, 8, 0, 88);
  EXPECT_EQ(show(t.records()),
            "0/0/0/0/0 2/1/2/0/0 0/1/0/0/0 2/1/3/0/0 1/0/0/0/0 2/1/5/0/0 3/2/7/0/0 4/0/8/0/0 ");
  EXPECT_EQ(a.debug.lines.files[1].name, "lib/i.asm");

  // Pass 2: replay with sizes 2, 3, 1, 1 at the same token offsets.
  auto replay = [&](long key, Section* section, uint32_t file, int32_t line, uint32_t size) {
    a.run.section = section;
    a.sources.current = file;
    a.sources.files[file].line_in_file = line;
    a.run.statement_kind = statement_instruction;
    if (section) section->location += size;
    a.token_file.window_offset = key - 4;
    a.token_file.record = 4;
    correct_statement_lines(a, size);
  };
  auto iteration = [&](int32_t n) {
    a.run.pass = pass_two;
    a.run.iteration = n;
    t.code->location = 0;
    t.table->location = 0x100;
    replay(0, t.code, 0, 1, 0);
    replay(12, t.code, 0, 2, 2);
    replay(52, t.code, 1, 3, 3);
    replay(64, t.code, 0, 5, 1);
    replay(76, t.table, 0, 7, 1);
    replay(88, nullptr, 0, 8, 0);
  };
  iteration(0);
  EXPECT_EQ(show(t.records()),
            "0/0/0/0/0 2/1/2/0/0 0/1/0/0/0 2/1/3/0/2 1/0/0/0/0 2/1/5/0/5 3/2/7/0/0 4/0/8/0/0 ");
  EXPECT_EQ(a.debug.lines.rewrites, 2u);  // only the two lines whose offset moved
  iteration(1);
  EXPECT_EQ(a.debug.lines.rewrites, 2u);  // nothing changed: nothing rewritten
}

TEST(LineRecords, NoRecordsWithoutDebugOptionOrWithOwnDirectives) {
  for (bool own : {false, true}) {
    LineRun t;
    t.a.run.section = t.code;
    if (own)
      t.a.statement.own_debug_directives = true;
    else
      t.a.run.options &= ~opt_debug;
    t.instruction(0, 2, 0, 12);
    EXPECT_EQ(t.a.debug.lines.count, 0u) << own;
    EXPECT_FALSE(t.a.debug.lines.open);
  }
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
  EXPECT_EQ(show(t.records()), "0/0/0/0/0 0/1/0/0/0 1/0/0/0/0 2/1/12/5/9 ");
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
  EXPECT_EQ(show(t.records()), "0/0/0/0/0 0/1/0/0/0 1/0/0/0/0 2/1/12/5/11 ");
}

TEST(LineRecords, CreatingTheFileOnDiskFailsWithItsLabel) {
  LineRun t;
  t.a.temps.build_names("/nonexistent-directory-of-koral");
  t.a.temps.use_disk(true);
  t.a.run.options |= opt_temp_on_disk;
  t.a.run.section = t.code;
  try {
    t.instruction(0, 2, 0, 12);
    FAIL() << "no fatal report";
  } catch (const RunAborted& aborted) {
    EXPECT_EQ(aborted.category, 0);  // fatal 20, a file failure
  }
}

}  // namespace
}  // namespace koral
