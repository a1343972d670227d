// The block buffer of the source reader: the current part of the file being
// read, always cut after a line feed so that a line is contiguous in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace koral {

struct SourceBuffer {
  static constexpr std::size_t block_size = 16384;  // first size and growth step
  static constexpr std::size_t slack = 4;           // room for an appended CR LF

  std::unique_ptr<char[]> data;
  std::size_t capacity = 0;    // bytes of text the buffer takes (without the slack)
  char* pos = nullptr;         // read position
  char* end = nullptr;         // end of valid text, just after a line feed
  char* line_start = nullptr;  // first character of the current line
  char* line_end = nullptr;    // the line feed of the current line
  int64_t base_offset = 0;     // file offset of data[0]
  bool exhausted = false;      // no more text in the file after `end`

  // File offset of the first unconsumed character.
  int64_t consumed_offset() const { return base_offset + (pos - data.get()); }
  void empty() { pos = end = line_start = line_end = data.get(); }
};

// A Ctrl-Z or a byte 0xFF: where the reader or the lexer meets one (not
// inside a comment), the text of the file ends.
inline bool is_end_mark(char c) { return c == 26 || c == static_cast<char>(0xFF); }

// One level of the include stack; level 0 is the main source.
struct IncludeLevel {
  uint32_t file_index = 0;
  int64_t offset = 0;       // first unconsumed character, while the level is not read
  bool exhausted = false;   // its text ended while an inner file was read
};

}  // namespace koral
