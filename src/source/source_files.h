// The table of source files read by a run (the main source and every
// included file) and the position of the statement in hand.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace koral {

struct SourceFile {
  std::string name;            // shown in diagnostics: as given (main) or as found
  std::string path;            // where the file was found, for reading
  int32_t line_in_file = 0;    // lines read so far in this inclusion
  int32_t listing_line = 0;    // running line count over all files
  int32_t saved_lines = 0;     // line count when the inclusion ended
  bool active = false;         // on the include stack
};

struct SourceFiles {
  static constexpr std::size_t max_files = 100;
  std::vector<SourceFile> files;
  uint32_t current = 0;        // file of the statement in hand; 0 is the main source
  std::FILE* stream = nullptr; // the file being read

  SourceFile& current_file() { return files[current]; }
  int32_t current_line() const { return files.empty() ? 0 : files[current].line_in_file; }
};

}  // namespace koral
