// The table of source files read by a run (the main source and every
// included file), the include stack, the reader's buffer, and the position
// of the statement in hand.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "source/source_buffer.h"

namespace koral {

struct SourceFile {
  std::string name;            // shown in diagnostics: as given (main) or as found
  std::string path;            // where the file was found, for reading
  int32_t line_in_file = 0;    // lines read so far in this inclusion
  int32_t listing_line = 0;    // running line count over all files
  int32_t saved_lines = 0;     // line count when the inclusion ended
  bool active = false;         // on the include stack
  bool identified = false;     // device and inode below are known
  uint64_t device = 0;         // identity of the file, to recognise it however named
  uint64_t inode = 0;
};

struct SourceFiles {
  static constexpr std::size_t max_files = 100;
  static constexpr int32_t max_include_depth = 8;  // levels above the main source
  std::vector<SourceFile> files;
  uint32_t current = 0;        // file of the statement in hand; 0 is the main source
  std::FILE* stream = nullptr; // the file being read
  uint32_t open_file = 0;      // row of the file open in `stream`

  std::array<IncludeLevel, max_include_depth + 1> levels{};
  int32_t depth = 0;           // include levels above the main source
  SourceBuffer buffer;

  SourceFile& current_file() { return files[current]; }
  int32_t current_line() const { return files.empty() ? 0 : files[current].line_in_file; }
  int32_t current_listing_line() const { return files.empty() ? 0 : files[current].listing_line; }
};

}  // namespace koral
