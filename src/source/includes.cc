#include "source/includes.h"

#include <sys/stat.h>

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "driver/files.h"
#include "platform/host.h"

namespace koral {

namespace {

// Device and inode of a row's file, so that a file is recognised however its
// name is written.
bool identify(SourceFile& file) {
  if (file.identified) return true;
  struct stat st;
  if (stat(file.path.c_str(), &st) != 0) return false;
  file.device = static_cast<uint64_t>(st.st_dev);
  file.inode = static_cast<uint64_t>(st.st_ino);
  file.identified = true;
  return true;
}

std::string_view last_component(std::string_view name) {
  std::size_t cut = name.find_last_of("/\\:");
  return cut == std::string_view::npos ? name : name.substr(cut + 1);
}

// A name with a drive ("X:...") or starting at the root is not searched for.
bool used_unchanged(std::string_view name) {
  return (name.size() >= 2 && name[1] == ':') || (!name.empty() && host::is_separator(name[0]));
}

bool locate(const Assembly& a, std::string_view name, bool bracket_form, std::string& found) {
  std::string written = host::with_slashes(name);
  if (used_unchanged(name)) {
    found = written;
    return host::file_type(found) == host::FileType::regular;
  }
  const std::vector<std::string>& dirs = a.settings.include_dirs;
  for (std::size_t i = bracket_form ? 1 : 0; i < dirs.size(); ++i) {
    std::string candidate = dirs[i] + written;
    if (host::file_type(candidate) == host::FileType::regular) {
      found = std::move(candidate);
      return true;
    }
  }
  return false;
}

bool reader_follows_replay(const Assembly& a) {
  return a.run.pass == pass_final && a.option(opt_listing);
}

void close_stream(Assembly& a) {
  SourceFiles& s = a.sources;
  if (!s.stream) return;
  int status = std::fclose(s.stream);
  s.stream = nullptr;
  if (status != 0) report_fatal(a, 21, s.files[s.open_file].name);
}

void open_stream(Assembly& a, uint32_t index) {
  SourceFiles& s = a.sources;
  std::FILE* stream = std::fopen(s.files[index].path.c_str(), "rb");
  if (!stream) report_fatal(a, 20, s.files[index].name);
  s.stream = stream;
  s.open_file = index;
}

// Makes `index` the innermost level; its listing line continues from the
// including file's.  With `switch_files` the reader moves to the new file.
void enter_level(Assembly& a, uint32_t index, bool switch_files) {
  SourceFiles& s = a.sources;
  SourceBuffer& b = s.buffer;
  IncludeLevel& outer = s.levels[s.depth];
  if (switch_files) {
    // What is left in the buffer is read again from the file later; only a
    // file whose text is all consumed stays ended (its offset may lie past
    // an end mark or past the line end added to its last line).
    outer.offset = b.consumed_offset();
    outer.exhausted = b.exhausted && b.pos >= b.end;
  }
  uint32_t including = outer.file_index;
  ++s.depth;
  s.levels[s.depth] = IncludeLevel{index, 0, false};
  SourceFile& row = s.files[index];
  row.active = true;
  row.line_in_file = 0;
  row.listing_line = s.files[including].listing_line;
  if (switch_files) {
    close_stream(a);
    open_stream(a, index);
    b.base_offset = 0;
    b.exhausted = false;
    b.empty();
  }
}

// Drops the innermost level; the including file takes over its listing line.
void leave_level(Assembly& a, bool switch_files) {
  SourceFiles& s = a.sources;
  uint32_t inner = s.levels[s.depth].file_index;
  --s.depth;
  const IncludeLevel& outer = s.levels[s.depth];
  s.files[inner].active = false;
  s.files[outer.file_index].listing_line = s.files[inner].listing_line;
  s.current = outer.file_index;
  if (switch_files) {
    close_stream(a);
    open_stream(a, outer.file_index);
    SourceBuffer& b = s.buffer;
    b.base_offset = outer.offset;
    b.exhausted = outer.exhausted;
    b.empty();
  }
}

}  // namespace

int32_t push_include(Assembly& a, std::string_view name, bool bracket_form) {
  SourceFiles& s = a.sources;
  if (s.depth >= SourceFiles::max_include_depth) {
    report_error(a, 234);
    return -1;
  }
  if (names_device(last_component(name))) {
    report_error(a, 236);
    return -1;
  }
  std::string found;
  if (!locate(a, name, bracket_form, found)) report_fatal(a, 20, name);
  SourceFile candidate;
  candidate.name = found;
  candidate.path = found;
  if (!identify(candidate)) report_fatal(a, 20, name);

  std::size_t index = s.files.size();
  for (std::size_t i = 0; i < s.files.size(); ++i) {
    SourceFile& row = s.files[i];
    if (!identify(row) || row.device != candidate.device || row.inode != candidate.inode) continue;
    if (row.active) {
      report_error(a, 200);  // the file would include itself
      return -1;
    }
    index = i;
    break;
  }
  if (index == s.files.size()) {
    if (s.files.size() >= SourceFiles::max_files) report_fatal(a, 161);
    s.files.push_back(std::move(candidate));
  }
  enter_level(a, static_cast<uint32_t>(index), true);
  return static_cast<int32_t>(index);
}

void pop_include(Assembly& a) {
  SourceFiles& s = a.sources;
  if (s.depth == 0) return;
  SourceFile& inner = s.files[s.levels[s.depth].file_index];
  inner.saved_lines = inner.line_in_file;
  leave_level(a, true);
}

void replay_include(Assembly& a, uint32_t file_index) {
  SourceFiles& s = a.sources;
  if (file_index >= s.files.size() || s.depth >= SourceFiles::max_include_depth) return;
  enter_level(a, file_index, reader_follows_replay(a));
  s.current = file_index;
}

void leave_finished_includes(Assembly& a) {
  SourceFiles& s = a.sources;
  bool follow = reader_follows_replay(a);
  while (s.depth > 0) {
    const SourceFile& row = s.files[s.levels[s.depth].file_index];
    if (row.line_in_file != row.saved_lines) break;
    leave_level(a, follow);
  }
}

void count_replayed_line(Assembly& a) {
  SourceFile& row = a.sources.current_file();
  ++row.line_in_file;
  ++row.listing_line;
}

void reset_source_input(Assembly& a) {
  SourceFiles& s = a.sources;
  if (s.files.empty()) return;
  for (SourceFile& row : s.files) row.active = false;
  s.files[0].active = true;
  if (!s.stream || s.open_file != 0) {
    close_stream(a);
    open_stream(a, 0);
  }
  s.depth = 0;
  s.levels[0] = IncludeLevel{};
  s.current = 0;
  SourceBuffer& b = s.buffer;
  b.base_offset = 0;
  b.exhausted = false;
  b.empty();
  a.lexer.at_line_start = true;
  a.lexer.finished = false;
}

}  // namespace koral
