#include "source/source_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "platform/host.h"
#include "source/includes.h"
#include "source/tokens.h"

namespace koral {

namespace {

constexpr char ctrl_z = 26;

void allocate(Assembly& a, SourceBuffer& b, std::size_t capacity, std::size_t keep) {
  std::unique_ptr<char[]> data(new (std::nothrow) char[capacity + SourceBuffer::slack]);
  if (!data) report_fatal(a, 161);
  if (keep) std::memcpy(data.get(), b.data.get(), keep);
  b.data = std::move(data);
  b.capacity = capacity;
}

// The end of a file's text as read: a Ctrl-Z as its last byte ends the last
// line (unless a line feed is right before it), and a last line without a
// line feed gets one.  Returns the new length; `data` has room for two more.
std::size_t close_last_line(char* data, std::size_t length) {
  if (data[length - 1] == ctrl_z && (length < 2 || data[length - 2] != '\n')) {
    data[length - 1] = '\r';
    data[length++] = '\n';
  } else if (data[length - 1] != '\n') {
    data[length++] = '\r';
    data[length++] = '\n';
  }
  return length;
}

// The first Ctrl-Z or byte 0xFF in [from, to), or null.
char* first_end_mark(char* from, char* to) {
  std::size_t count = static_cast<std::size_t>(to - from);
  char* z = static_cast<char*>(std::memchr(from, ctrl_z, count));
  if (z) count = static_cast<std::size_t>(z - from);
  char* ff = static_cast<char*>(std::memchr(from, 0xFF, count));
  return ff ? ff : z;
}

}  // namespace

bool fill_source_buffer(Assembly& a) {
  SourceFiles& s = a.sources;
  SourceBuffer& b = s.buffer;
  if (b.exhausted || !s.stream) return false;
  if (b.data) {
    b.base_offset += b.end - b.data.get();
  } else {
    allocate(a, b, SourceBuffer::block_size, 0);
  }
  b.empty();

  std::size_t have = 0;
  for (;;) {
    char* part = b.data.get() + have;
    std::size_t want = b.capacity - have;
    long got = host::read_at(s.stream, static_cast<long>(b.base_offset + have), part, want);
    if (got < 0) report_fatal(a, 22, s.files[s.open_file].name);
    std::size_t text = static_cast<std::size_t>(got);
    bool last = text < want;
    have += text;
    char* data = b.data.get();
    if (last) {
      b.exhausted = true;
      if (have == 0 || data[0] == ctrl_z) return false;
      have = close_last_line(data, have);
      b.end = data + have;
      return true;
    }
    if (const void* lf = memrchr(part, '\n', text)) {
      b.end = static_cast<char*>(const_cast<void*>(lf)) + 1;
      return true;
    }
    // A line longer than the buffer: grow it and read on behind what we have.
    // The buffer at least doubles, so a line of n bytes costs O(n) copying
    // instead of one copy per 16384 bytes read.
    allocate(a, b, b.capacity + std::max(b.capacity, SourceBuffer::block_size), have);
    b.empty();
  }
}

void end_file_text(Assembly& a) {
  SourceBuffer& b = a.sources.buffer;
  b.pos = b.end;
  b.exhausted = true;
}

bool begin_source_line(Assembly& a) {
  SourceFiles& s = a.sources;
  SourceBuffer& b = s.buffer;
  for (;;) {
    if (b.pos < b.end || fill_source_buffer(a)) {
      // A Ctrl-Z or a byte 0xFF that starts a line ends the text of the file.
      if (!is_end_mark(*b.pos)) break;
      end_file_text(a);
    }
    if (s.depth == 0) return false;
    pop_include(a);
  }
  b.line_start = b.pos;
  b.line_end = static_cast<char*>(std::memchr(b.pos, '\n', static_cast<std::size_t>(b.end - b.pos)));
  uint32_t index = s.levels[s.depth].file_index;
  s.current = index;
  SourceFile& file = s.files[index];
  ++file.line_in_file;
  ++file.listing_line;
  return true;
}

std::string_view read_listing_line(Assembly& a) {
  SourceBuffer& b = a.sources.buffer;
  if (b.pos >= b.end && !fill_source_buffer(a)) return {};
  char* lf = static_cast<char*>(std::memchr(b.pos, '\n', static_cast<std::size_t>(b.end - b.pos)));
  char* next = lf + 1;
  if (char* mark = first_end_mark(b.pos, lf)) {
    // The text shown ends at a Ctrl-Z or a byte 0xFF, with a line end of its own.
    mark[0] = '\r';
    mark[1] = '\n';
    lf = mark + 1;
  }
  std::string_view line(b.pos, static_cast<std::size_t>(lf + 1 - b.pos));
  b.line_start = b.pos;
  b.line_end = lf;
  b.pos = next;
  return line;
}

int next_char(Assembly& a) {
  SourceBuffer& b = a.sources.buffer;
  if (b.pos >= b.end && !fill_source_buffer(a)) return END_OF_INPUT;
  unsigned char c = static_cast<unsigned char>(*b.pos++);
  if (c == '\r') c = static_cast<unsigned char>(*b.pos++);
  return is_end_mark(static_cast<char>(c)) ? static_cast<int>(END_OF_INPUT) : c;
}

void unread_char(Assembly& a) {
  SourceBuffer& b = a.sources.buffer;
  if (!b.data || b.pos <= b.data.get()) report_fatal(a, 152);
  --b.pos;
  // A line feed read through a dropped carriage return steps back over both.
  if (*b.pos == '\n' && b.pos > b.data.get() && b.pos[-1] == '\r') --b.pos;
}

int skip_to_end_of_line(Assembly& a) {
  SourceBuffer& b = a.sources.buffer;
  if (b.pos >= b.end && !fill_source_buffer(a)) return END_OF_INPUT;
  char* lf = static_cast<char*>(std::memchr(b.pos, '\n', static_cast<std::size_t>(b.end - b.pos)));
  b.pos = lf + 1;
  return '\n';
}

}  // namespace koral
