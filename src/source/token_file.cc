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

// Pass 1: hands the complete records before `end` to the store.
void write_front(Assembly& a, uint32_t end) {
  TokenFileState& t = a.token_file;
  if (end && !t.store.append(token_temp(a), t.buffer, end)) write_failed(a);
  t.flushed += end;
}

// Sets the warning flag of the record at file offset `offset`, in the last
// chunk handed to the store; the buffer is free at the end of the source.
void mark_stored_record(Assembly& a, long offset) {
  TokenFileState& t = a.token_file;
  TokenStore& store = t.store;
  uint32_t last = store.chunk_count() - 1;
  if (store.load(token_temp(a), last, t.buffer) < 0) seek_failed(a);
  t.buffer[offset - store.offset(last) + 8] |= record_warning;
  if (!store.store(token_temp(a), last, t.buffer)) write_failed(a);
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
      // The last record was already handed over: it ends the last chunk.
      mark_stored_record(a, t.last_record_offset);
    }
  }
  write_front(a, t.record);
  t.record = 0;
  t.body_end = record_header_size;
}

void rewind_token_file(Assembly& a) {
  TokenFileState& t = a.token_file;
  t.window_length = 0;
  t.position = 0;
  t.window_offset = 0;
  t.window_chunk = 0;
  t.window_loaded = false;
  t.window_modified = false;
  t.record = 0;
}

namespace {

// Returns a changed window to the store.
void put_window_back(Assembly& a) {
  TokenFileState& t = a.token_file;
  if (!t.window_modified) return;
  t.window_modified = false;
  if (a.run.pass == pass_final) return;  // no pass reads the file after this one
  if (std::memcmp(t.buffer, t.window_as_read, t.window_length) == 0) return;
  if (!t.store.store(token_temp(a), t.window_chunk, t.buffer, t.window_as_read)) write_failed(a);
}

// Moves the window to the next chunk; false at the end of the file.
bool refill(Assembly& a) {
  TokenFileState& t = a.token_file;
  put_window_back(a);
  uint32_t next = t.window_loaded ? t.window_chunk + 1 : 0;
  if (next >= t.store.chunk_count()) return false;
  long got = t.store.load(token_temp(a), next, t.buffer);
  if (got < 0) seek_failed(a);
  if (a.run.pass != pass_final) std::memcpy(t.window_as_read, t.buffer, static_cast<size_t>(got));
  t.window_chunk = next;
  t.window_loaded = true;
  t.window_offset = t.store.offset(next);
  t.window_length = static_cast<uint32_t>(got);
  t.position = 0;
  return true;
}

}  // namespace

RecordHeader* read_record(Assembly& a) {
  TokenFileState& t = a.token_file;
  while (t.position >= t.window_length)
    if (!refill(a)) return nullptr;
  // A chunk holds whole records: one that runs past its end is a damaged file.
  if (t.position + record_header_size > t.window_length) report_fatal(a, 150);
  t.record = t.position;
  RecordHeader* header = t.header();
  t.position += record_header_size + header->total_length;
  if (t.position > t.window_length) report_fatal(a, 150);
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
