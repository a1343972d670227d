#include "object/line_records.h"

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "object/object_loads.h"
#include "platform/host.h"
#include "source/statement_kinds.h"

namespace koral {

namespace {

TempFile& line_file(Assembly& a) { return a.temps[TempKind::bb5]; }

// Failures of the file name it only under -zd; otherwise they are a lack of
// memory (creating, writing) or an internal error (seeking, reading).
[[noreturn]] void file_failure(Assembly& a, int disk_code, int memory_code) {
  if (a.option(opt_temp_on_disk)) report_fatal(a, disk_code, a.temps.label(TempKind::bb5));
  report_fatal(a, memory_code);
}

void seek_to(Assembly& a, long position) {
  if (line_file(a).seek(position, seek_start) != position) file_failure(a, 24, 150);
  a.debug.lines.position = position;
  a.debug.lines.wrote_last = false;
}

void write_at(Assembly& a, const LineRecord& record) {
  uint8_t bytes[line_record_size];
  encode_line_record(record, bytes);
  if (line_file(a).write(bytes, line_record_size) != static_cast<long>(line_record_size))
    file_failure(a, 23, 161);
  a.debug.lines.position += line_record_size;
  a.debug.lines.wrote_last = true;
}

// The statement record in hand: its offset in the token file is the same in
// every pass, so it names the statement from pass 1 to pass 2.
int64_t statement_key_pass_one(const Assembly& a) { return a.token_file.last_record_offset; }
int64_t statement_key_replayed(const Assembly& a) {
  return static_cast<int64_t>(a.token_file.window_offset) + a.token_file.record;
}

void append_owned(Assembly& a, const LineRecord& record) {
  LineRecordFile& lines = a.debug.lines;
  lines.owners.push_back(LineOwner{lines.count, statement_key_pass_one(a)});
  append_line_record(a, record);
}

std::string shown_name(const Assembly& a, uint32_t file_index) {
  return host::with_slashes(a.sources.files[file_index].name);
}

void file_record(Assembly& a, int32_t kind, uint32_t file_index) {
  bool added = false;
  LineRecord record;
  record.kind = kind;
  record.reference = static_cast<int32_t>(debug_file_row(a, shown_name(a, file_index), added));
  append_line_record(a, record);
}

// The inclusion at include level `level` (0 is the main source): its file,
// and the line of the including file, which stays put while it is read.
LineRecordFile::Inclusion level_inclusion(const Assembly& a, std::size_t level) {
  const SourceFiles& s = a.sources;
  LineRecordFile::Inclusion inclusion;
  inclusion.file = s.levels[level].file_index;
  if (level > 0) inclusion.including_line = s.files[s.levels[level - 1].file_index].line_in_file;
  return inclusion;
}

// Brings the recorded inclusions in line with the include levels: a return
// record for every level left, an enter record for every level entered.
// Nothing is recorded before the first line record or include file.
void follow_include_levels(Assembly& a, bool line_follows) {
  std::vector<LineRecordFile::Inclusion>& recorded = a.debug.lines.chain;
  const std::size_t levels = static_cast<std::size_t>(a.sources.depth) + 1;
  if (recorded.empty() && !line_follows && levels == 1) return;
  std::size_t common = 0;
  while (common < recorded.size() && common < levels && recorded[common] == level_inclusion(a, common))
    ++common;
  while (recorded.size() > common) {
    recorded.pop_back();
    if (!recorded.empty()) file_record(a, line_return_file, recorded.back().file);
  }
  for (std::size_t level = common; level < levels; ++level) {
    const LineRecordFile::Inclusion inclusion = level_inclusion(a, level);
    file_record(a, line_enter_file, inclusion.file);
    recorded.push_back(inclusion);
  }
}

}  // namespace

void encode_line_record(const LineRecord& record, uint8_t bytes[line_record_size]) {
  const int32_t words[5] = {record.kind, record.reference, record.line, record.column, record.offset};
  for (int w = 0; w < 5; ++w) {
    const uint32_t v = static_cast<uint32_t>(words[w]);
    for (int b = 0; b < 4; ++b) bytes[4 * w + b] = static_cast<uint8_t>(v >> (8 * b));
  }
}

LineRecord decode_line_record(const uint8_t bytes[line_record_size]) {
  int32_t words[5];
  for (int w = 0; w < 5; ++w) {
    uint32_t v = 0;
    for (int b = 3; b >= 0; --b) v = (v << 8) | bytes[4 * w + b];
    words[w] = static_cast<int32_t>(v);
  }
  return LineRecord{words[0], words[1], words[2], words[3], words[4]};
}

uint32_t debug_file_row(Assembly& a, std::string_view name, bool& added) {
  LineRecordFile& lines = a.debug.lines;
  std::string key(name);
  auto found = lines.file_rows.find(key);
  added = found == lines.file_rows.end();
  if (!added) return found->second;
  if (lines.files.size() >= LineRecordFile::max_files) report_fatal(a, 163);
  const uint32_t row = static_cast<uint32_t>(lines.files.size());
  lines.files.push_back(DebugFile{key, 0, 0, 0});
  lines.file_rows.emplace(std::move(key), row);
  return row;
}

void append_line_record(Assembly& a, const LineRecord& record) {
  LineRecordFile& lines = a.debug.lines;
  if (!lines.open) {
    if (!a.temps.open(TempKind::bb5)) file_failure(a, 20, 161);
    lines.open = true;
    lines.position = 0;
  }
  write_at(a, record);
  ++lines.count;
}

LineRecord line_at_location(Assembly& a, int32_t line, int32_t column, uint32_t code_length) {
  LineRecord record;
  record.line = line;
  record.column = column;
  const Section* section = a.run.section;
  if (!section) {
    record.kind = line_no_section;
    return record;
  }
  uint32_t offset = section->location - code_length;
  if (absolute_section(section)) {
    record.kind = line_absolute;
    offset -= section->start;
  } else {
    record.kind = line_relocatable;
  }
  record.reference = static_cast<int32_t>(object_section_index(section));
  record.offset = static_cast<int32_t>(offset);
  return record;
}

void file_directive_record(Assembly& a, std::string_view name) {
  if (name.empty()) return;
  bool added = false;
  LineRecord record;
  record.reference = static_cast<int32_t>(debug_file_row(a, name, added));
  record.kind = added ? line_enter_file : line_return_file;
  append_line_record(a, record);
  a.debug.lines.file_directive_seen = true;
}

void line_directive_record(Assembly& a, int32_t line, int32_t column) {
  LineRecordFile& lines = a.debug.lines;
  if (!lines.file_directive_seen) return;
  // Appended once the statement's record is written, which names it.
  lines.pending = line_at_location(a, line, column, 0);
  lines.line_pending = true;
}

void note_statement_lines(Assembly& a, bool recorded) {
  LineRecordFile& lines = a.debug.lines;
  if (lines.line_pending) {
    lines.line_pending = false;
    if (recorded) append_owned(a, lines.pending);
    return;
  }
  if (!a.option(opt_debug) || a.statement.own_debug_directives) return;
  const StatementState& s = a.statement;
  const bool code = recorded && !a.diag.error_mark &&
                    (s.is_instruction || (s.is_directive && is_data_statement(s.d.kind)));
  follow_include_levels(a, code);
  if (code) append_owned(a, line_at_location(a, a.sources.current_line(), 0, a.run.statement_size));
}

void correct_statement_lines(Assembly& a, uint32_t size) {
  LineRecordFile& lines = a.debug.lines;
  if (lines.owners.empty()) return;
  if (lines.iteration != a.run.iteration) {
    // Each iteration reads the file again from its start.
    lines.iteration = a.run.iteration;
    lines.cursor = 0;
    seek_to(a, 0);
  }
  const int64_t key = statement_key_replayed(a);
  while (lines.cursor < lines.owners.size() && lines.owners[lines.cursor].statement < key) ++lines.cursor;
  if (lines.cursor == lines.owners.size() || lines.owners[lines.cursor].statement != key) return;
  const long at = static_cast<long>(lines.owners[lines.cursor].record) * line_record_size;
  ++lines.cursor;

  // A read after a write needs a seek in between.
  if (lines.position != at || lines.wrote_last) seek_to(a, at);
  uint8_t bytes[line_record_size];
  if (line_file(a).read(bytes, line_record_size) != static_cast<long>(line_record_size))
    file_failure(a, 22, 150);
  lines.position += line_record_size;
  const LineRecord stored = decode_line_record(bytes);
  // A LINE statement keeps its own line and takes the location itself; an
  // automatic record takes the statement's line and the start of its code.
  const bool directive = a.run.statement_kind == statement_line;
  LineRecord now = directive ? line_at_location(a, stored.line, stored.column, 0)
                             : line_at_location(a, a.sources.current_line(), stored.column, size);
  if (now.kind == stored.kind && now.reference == stored.reference && now.line == stored.line &&
      now.offset == stored.offset)
    return;
  seek_to(a, at);
  write_at(a, now);
  ++lines.rewrites;
}

void rewind_line_records(Assembly& a) {
  if (a.debug.lines.open) seek_to(a, 0);
}

bool read_line_record(Assembly& a, LineRecord& record) {
  LineRecordFile& lines = a.debug.lines;
  if (!lines.open || lines.position >= static_cast<long>(lines.count) * line_record_size) return false;
  uint8_t bytes[line_record_size];
  if (line_file(a).read(bytes, line_record_size) != static_cast<long>(line_record_size))
    file_failure(a, 22, 150);
  lines.position += line_record_size;
  record = decode_line_record(bytes);
  return true;
}

}  // namespace koral
