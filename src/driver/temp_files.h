// Temporary files of a run: the token file, the two error files, the
// cross-reference file and the line-record file.  By default they live in a
// small in-memory store; with option -zd they are real files in the
// temporary directory.  Callers never see the difference.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace koral {

enum SeekOrigin : int { seek_start = 0, seek_current = 1, seek_end = 2 };

// The in-memory store: ten slots, each a file of blocks allocated on demand.
class MemoryStore {
 public:
  static constexpr int slot_count = 10;
  static constexpr std::size_t block_size = 153600;

  // Handle (slot index), or -1 when no slot is free or no block can be had.
  int open(std::string_view name);
  int close(int handle);  // 0, or nonzero for a bad handle
  // Bytes read (0 past the last byte), -1 for a bad handle.
  long read(int handle, void* buffer, std::size_t count);
  // Bytes written; fewer than asked when a block cannot be allocated.
  long write(int handle, const void* buffer, std::size_t count);
  // New position, or -1 when the target lies beyond the last byte + 1.
  long seek(int handle, long offset, SeekOrigin origin);
  void remove(std::string_view name);

  bool in_use(int handle) const { return valid(handle); }
  std::size_t block_count(int handle) const { return valid(handle) ? slots_[handle].blocks.size() : 0; }

 private:
  struct Slot {
    bool in_use = false;
    std::string name;
    int32_t position = 0;
    int32_t last_byte = -1;
    std::vector<std::unique_ptr<char[]>> blocks;
  };
  bool valid(int handle) const { return handle >= 0 && handle < slot_count && slots_[handle].in_use; }
  bool reserve(Slot& slot, int64_t end);
  Slot slots_[slot_count];
};

enum class TempKind : int { token, err1, err2, refsym, bb5 };
constexpr int temp_kind_count = 5;

// One temporary file: in a memory slot or on disk, chosen when it is opened.
class TempFile {
 public:
  bool is_open() const { return open_; }
  bool on_disk() const { return disk_ != nullptr; }
  const std::string& disk_path() const { return path_; }

  long read(void* buffer, std::size_t count);
  long write(const void* buffer, std::size_t count);
  long seek(long offset, SeekOrigin origin);
  long tell();
  // Whole blocks at a given offset, for a file used by nothing else: on
  // disk one transfer each, past the stream's buffer; the position after
  // them is not defined.  As read and write; a read past the end is short.
  long read_at(long offset, void* buffer, std::size_t count);
  long write_at(long offset, const void* buffer, std::size_t count);

 private:
  friend class TempFiles;
  bool open_ = false;
  int slot_ = -1;
  std::FILE* disk_ = nullptr;
  std::string path_;
  MemoryStore* memory_ = nullptr;
};

// The five temporary files of a run and the choice of store.
class TempFiles {
 public:
  // Builds the five names from their templates in the TMP directory (the
  // value of TMP up to its first ";"), or the current one.
  void build_names(const char* tmp_value);
  void use_disk(bool on_disk) { disk_ = on_disk; }
  bool use_disk() const { return disk_; }

  // Creates the file of `kind` empty, in the store currently chosen.
  bool open(TempKind kind);
  // 0 when closed cleanly (or not open).
  int close(TempKind kind);
  // Closes every file and removes those that exist on disk.
  void remove_all();

  TempFile& operator[](TempKind kind) { return files_[static_cast<int>(kind)]; }
  const std::string& label(TempKind kind) const;
  const std::string& directory() const { return dir_; }
  MemoryStore& memory() { return memory_; }

  ~TempFiles() { remove_all(); }

 private:
  bool disk_ = false;
  std::string dir_;
  std::string names_[temp_kind_count];
  TempFile files_[temp_kind_count];
  MemoryStore memory_;
};

}  // namespace koral
