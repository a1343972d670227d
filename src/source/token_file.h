// The token file: one statement record per source line, written by pass 1
// and replayed by pass 2 and the final pass.  One 16384-byte buffer serves
// both directions: the statement under construction in pass 1, and a window
// of the file in the later passes, where records are used in place.
#pragma once

#include <cstdint>

#include "source/statement_record.h"
#include "source/token_store.h"

namespace koral {

struct Assembly;

struct TokenFileState {
  static constexpr uint32_t buffer_size = 16384;
  static constexpr uint32_t flush_mark = 14336;  // a buffer or window this full moves on

  alignas(8) unsigned char buffer[buffer_size];
  uint32_t record = 0;     // buffer offset of the record in hand

  // Pass 1: the body of the record under construction ends at `body_end`;
  // the buffer's first byte lies at file offset `flushed`.
  uint32_t body_end = 0;
  long flushed = 0;
  long last_record_offset = -1;  // file offset of the last record written

  // Later passes: the window holds chunk `window_chunk` of the store,
  // `window_length` bytes from file offset `window_offset`; the next record
  // starts at `position`.
  uint32_t window_length = 0;
  uint32_t position = 0;
  long window_offset = 0;
  uint32_t window_chunk = 0;
  bool window_loaded = false;
  bool window_modified = false;

  TokenStore store;  // the records written so far
  // Pass 2: the window as it was read, so that an unchanged one is not
  // written back.
  alignas(8) unsigned char window_as_read[buffer_size];

  RecordHeader* header() { return reinterpret_cast<RecordHeader*>(buffer + record); }
  // The body item at `offset` from the first byte of the record in hand.
  template <typename T>
  T* item(uint32_t offset) {
    return reinterpret_cast<T*>(buffer + record + offset);
  }
};

constexpr uint32_t record_header_size = sizeof(RecordHeader);

// --- pass 1 ---------------------------------------------------------------------

// Starts the record of a new statement at the free end of the buffer.
void start_record(Assembly& a);
// Reserves `count` bytes (rounded up to 4, zeroed) at the end of the body and
// returns their offset from the record's first byte (fatal 161 past the
// buffer).
uint32_t alloc_body(Assembly& a, uint32_t count);
uint32_t body_length(const Assembly& a);

// What of the body a finished record keeps.
enum class RecordBody { full, label_only, none };
// Writes the statement record: header flags, lengths, size and arena image.
void finish_record(Assembly& a, uint8_t flags, uint32_t size, RecordBody keep);
// Writes what the buffer still holds at the end of the source; warning 506
// (flagged on the last record) when no END was met.
void flush_token_file(Assembly& a, bool end_seen);

// --- passes 2 and 3 --------------------------------------------------------------

// Positions the file at its start and empties the window.
void rewind_token_file(Assembly& a);
// The next record, its body following the header in place (nullptr at the
// end of the file).  The arena image is not touched: see restore_arena.
RecordHeader* read_record(Assembly& a);
// Copies the record's arena image back into the node arena.
void restore_arena(Assembly& a, const RecordHeader* header);
// Marks the window modified after the record in hand was changed in place.
void record_changed(Assembly& a);

}  // namespace koral
