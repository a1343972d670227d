// Host layer: the one place where the assembler's file-name and console
// conventions (backslash or slash separators, drive letters, names compared
// ignoring case, reserved device names, the environment block, the interrupt
// signal and the local time) meet the operating system it runs on.
#pragma once

#include <cstdint>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

namespace koral::host {

// --- names -----------------------------------------------------------------

inline bool is_separator(char c) { return c == '/' || c == '\\'; }

// True when the two names are equal ignoring ASCII letter case.
bool equal_ignoring_case(std::string_view a, std::string_view b);

// The name with every "\" turned into "/": the form in which names are built,
// shown and handed to the operating system.
std::string with_slashes(std::string_view name);

// True for a name that starts at the file-system root ("/" or "\").
bool is_absolute(std::string_view name);

// The absolute, normalised path of `name` (which need not exist), built with
// "/" separators; false when no path can be formed (empty name, working
// directory unknown, or a result longer than the system allows).
bool full_path(std::string_view name, std::string& out);

// The part of `path` up to and including its last separator ("" if none).
std::string directory_part(std::string_view path);

// Reserved device names refused as file names.  `stem` is the name up to its
// first "."; at most seven characters take part, compared ignoring case.
bool is_device_stem(std::string_view stem);

// --- files -------------------------------------------------------------------

enum class FileType { missing, regular, directory, other };
FileType file_type(const std::string& path);

// Creates a new file "<dir><prefix><6 unique characters>" exclusively, with
// owner-only permissions; returns its descriptor (or -1) and sets `path`.
int create_unique_file(const std::string& dir, std::string_view prefix, std::string& path);

// Reads or writes `count` bytes at `offset` of the file behind an open
// stream in one transfer, leaving the stream's position alone.  The stream
// must hold no buffered data.  Bytes transferred (fewer only at the end of
// the file for a read), or -1 on failure.
long read_at(std::FILE* file, long offset, void* buffer, std::size_t count);
long write_at(std::FILE* file, long offset, const void* buffer, std::size_t count);

// --- environment -------------------------------------------------------------

// Value of an environment variable, or nullptr.
const char* environment(const char* name);

// The environment block, in order (nullptr-terminated).
char** environment_block();

// --- time --------------------------------------------------------------------

// The run's time stamp: SOURCE_DATE_EPOCH read as UTC when set, else the
// local time.
std::tm run_time_stamp();

// --- interrupt ---------------------------------------------------------------

// Paths that the interrupt handler removes before it ends the process; the
// handler may run at any moment, so the table is fixed-size and its entries
// are plain character arrays.
enum CleanupSlot : int {
  cleanup_token, cleanup_err1, cleanup_err2, cleanup_refsym, cleanup_bb5,
  cleanup_object, cleanup_slot_count
};
void set_cleanup_path(int slot, const std::string& path);
void clear_cleanup_path(int slot);

// Holds the interrupt signals back while it lives: a file created and
// registered for removal in its scope is never left behind by an interrupt
// that comes between the two steps (the signal is taken at the scope's end).
class InterruptsHeld {
 public:
  InterruptsHeld();
  ~InterruptsHeld();
  InterruptsHeld(const InterruptsHeld&) = delete;
  InterruptsHeld& operator=(const InterruptsHeld&) = delete;

 private:
  sigset_t previous_;
};

// Routes the interrupt signal to a handler that removes the registered paths
// and exits with `status`; when the signal was not at its default disposition
// it is ignored instead.  Returns false when the signal stays ignored.
bool install_interrupt_handler(int status);
void ignore_interrupt();

}  // namespace koral::host
