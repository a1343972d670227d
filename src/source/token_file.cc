#include "source/token_file.h"

#include <cstring>

#include "diag/diagnostics.h"
#include "driver/assembly.h"

namespace koral {

namespace {

TempFile& token_temp(Assembly& a) { return a.temps[TempKind::token]; }

[[noreturn]] void write_failed(Assembly& a) {
  if (a.option(opt_temp_on_disk)) report_fatal(a, 23, a.temps.label(TempKind::token));
  report_fatal(a, 161);
}

[[noreturn]] void seek_failed(Assembly& a) {
  if (a.option(opt_temp_on_disk)) report_fatal(a, 24, a.temps.label(TempKind::token));
  report_fatal(a, 150);
}

void write_bytes(Assembly& a, const unsigned char* bytes, uint32_t count) {
  if (count && token_temp(a).write(bytes, count) != static_cast<long>(count)) write_failed(a);
}

// Pass 1: writes the complete records before `end` and keeps the rest.
void write_front(Assembly& a, uint32_t end) {
  TokenFileState& t = a.token_file;
  write_bytes(a, t.buffer, end);
  t.flushed += end;
}

}  // namespace

void start_record(Assembly& a) {
  TokenFileState& t = a.token_file;
  std::memset(t.buffer + t.record, 0, record_header_size);
  t.body_end = t.record + record_header_size;
}

uint32_t alloc_body(Assembly& a, uint32_t count) {
  TokenFileState& t = a.token_file;
  uint32_t rounded = (count + 3) & ~3u;
  if (t.body_end + rounded > TokenFileState::buffer_size) report_fatal(a, 161);
  uint32_t at = t.body_end;
  std::memset(t.buffer + at, 0, rounded);
  t.body_end += rounded;
  return at - t.record;
}

uint32_t body_length(const Assembly& a) {
  return a.token_file.body_end - a.token_file.record - record_header_size;
}

void finish_record(Assembly& a, uint8_t flags, uint32_t size, RecordBody keep) {
  TokenFileState& t = a.token_file;
  uint32_t body = body_length(a);
  uint32_t image = 0;
  if (keep == RecordBody::none) body = 0;
  if (keep == RecordBody::label_only) body = body < sizeof(LabelRecord) ? body : sizeof(LabelRecord);
  if (keep == RecordBody::full) image = (a.arena.used() + 3) & ~3u;
  uint32_t length = record_header_size + body + image;
  if (t.record + length > TokenFileState::buffer_size) {
    // The statement moves whole to the start of a fresh buffer.
    write_front(a, t.record);
    std::memmove(t.buffer, t.buffer + t.record, record_header_size + body);
    t.record = 0;
    if (length > TokenFileState::buffer_size) report_fatal(a, 161);
  }
  RecordHeader* header = t.header();
  header->size = size;
  header->total_length = static_cast<uint16_t>(body + image);
  header->body_length = static_cast<uint16_t>(body);
  header->flags = flags;
  if (image) std::memcpy(t.buffer + t.record + record_header_size + body, a.arena.data(), image);
  t.last_record_offset = t.flushed + t.record;
  t.record += length;
  if (t.record >= TokenFileState::flush_mark) {
    write_front(a, t.record);
    t.record = 0;
  }
  t.body_end = t.record + record_header_size;
}

void flush_token_file(Assembly& a, bool end_seen) {
  TokenFileState& t = a.token_file;
  if (!end_seen) {
    report_warning(a, 506);
    if (t.last_record_offset >= t.flushed) {
      t.buffer[t.last_record_offset - t.flushed + 8] |= record_warning;
    } else if (t.last_record_offset >= 0) {
      // The last record was already written: mark it in the file.
      TempFile& file = token_temp(a);
      long flag_at = t.last_record_offset + 8;
      unsigned char flag = 0;
      if (file.seek(flag_at, seek_start) != flag_at || file.read(&flag, 1) != 1) seek_failed(a);
      flag |= record_warning;
      if (file.seek(flag_at, seek_start) != flag_at) seek_failed(a);
      if (file.write(&flag, 1) != 1) write_failed(a);
      if (file.seek(0, seek_end) < 0) seek_failed(a);
      if (file.seek(t.flushed, seek_start) != t.flushed) seek_failed(a);
    }
  }
  write_front(a, t.record);
  t.record = 0;
  t.body_end = record_header_size;
}

void rewind_token_file(Assembly& a) {
  TokenFileState& t = a.token_file;
  if (token_temp(a).seek(0, seek_start) != 0) seek_failed(a);
  t.window_length = 0;
  t.position = 0;
  t.window_offset = 0;
  t.window_modified = false;
  t.record = 0;
}

namespace {

// Moves the window so that it starts at the record in hand; false at the end
// of the file.
bool refill(Assembly& a) {
  TokenFileState& t = a.token_file;
  TempFile& file = token_temp(a);
  if (t.window_modified) {
    if (file.seek(t.window_offset, seek_start) != t.window_offset) seek_failed(a);
    write_bytes(a, t.buffer, t.window_length);
    t.window_modified = false;
  }
  long start = t.window_offset + t.position;
  if (file.seek(start, seek_start) != start) seek_failed(a);
  long got = file.read(t.buffer, TokenFileState::buffer_size);
  if (got < 0) seek_failed(a);
  t.window_offset = start;
  t.window_length = static_cast<uint32_t>(got);
  t.position = 0;
  return got > 0;
}

}  // namespace

RecordHeader* read_record(Assembly& a) {
  TokenFileState& t = a.token_file;
  for (int attempt = 0;; ++attempt) {
    uint32_t limit = t.window_length < TokenFileState::flush_mark ? t.window_length
                                                                  : TokenFileState::flush_mark;
    bool whole = false;
    if (t.position < limit && t.position + record_header_size <= t.window_length) {
      auto* header = reinterpret_cast<RecordHeader*>(t.buffer + t.position);
      whole = t.position + record_header_size + header->total_length <= t.window_length;
    }
    if (whole) break;
    if (attempt > 0 && t.position == 0 && t.window_length > 0) report_fatal(a, 150);
    if (!refill(a)) return nullptr;
  }
  t.record = t.position;
  RecordHeader* header = t.header();
  t.position += record_header_size + header->total_length;
  return header;
}

void restore_arena(Assembly& a, const RecordHeader* header) {
  uint32_t image = header->total_length - header->body_length;
  const unsigned char* from = reinterpret_cast<const unsigned char*>(header) + record_header_size +
                              header->body_length;
  a.arena.restore(from, image);
}

void record_changed(Assembly& a) { a.token_file.window_modified = true; }

}  // namespace koral
