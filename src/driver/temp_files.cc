#include "driver/temp_files.h"

#include <climits>
#include <cstring>
#include <new>
#include <unistd.h>

#include "platform/host.h"

namespace koral {

// --- memory store -------------------------------------------------------------

int MemoryStore::open(std::string_view name) {
  for (int handle = 0; handle < slot_count; ++handle) {
    Slot& slot = slots_[handle];
    if (slot.in_use) continue;
    if (slot.blocks.empty()) {
      std::unique_ptr<char[]> first(new (std::nothrow) char[block_size]);
      if (!first) return -1;
      slot.blocks.push_back(std::move(first));
    }
    slot.in_use = true;
    slot.name.assign(name);
    slot.position = 0;
    slot.last_byte = -1;
    return handle;
  }
  return -1;
}

int MemoryStore::close(int handle) {
  if (!valid(handle)) return -1;
  Slot& slot = slots_[handle];
  slot.in_use = false;
  slot.blocks.resize(1);  // the first block stays with the slot for its next use
  return 0;
}

bool MemoryStore::reserve(Slot& slot, int64_t end) {
  while (static_cast<int64_t>(slot.blocks.size() * block_size) < end) {
    std::unique_ptr<char[]> block(new (std::nothrow) char[block_size]);
    if (!block) return false;
    slot.blocks.push_back(std::move(block));
  }
  return true;
}

long MemoryStore::write(int handle, const void* buffer, std::size_t count) {
  if (!valid(handle)) return -1;
  Slot& slot = slots_[handle];
  int64_t end = int64_t(slot.position) + int64_t(count);
  if (end > INT32_MAX || !reserve(slot, end)) return 0;
  const char* from = static_cast<const char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    std::size_t at = std::size_t(slot.position) + done;
    std::size_t offset = at % block_size;
    std::size_t piece = std::min(count - done, block_size - offset);
    std::memcpy(slot.blocks[at / block_size].get() + offset, from + done, piece);
    done += piece;
  }
  slot.position = static_cast<int32_t>(end);
  if (slot.position - 1 > slot.last_byte) slot.last_byte = slot.position - 1;
  return static_cast<long>(count);
}

long MemoryStore::read(int handle, void* buffer, std::size_t count) {
  if (!valid(handle)) return -1;
  Slot& slot = slots_[handle];
  if (slot.position > slot.last_byte) return 0;
  std::size_t available = std::size_t(slot.last_byte) + 1 - std::size_t(slot.position);
  if (count > available) count = available;
  char* to = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    std::size_t at = std::size_t(slot.position) + done;
    std::size_t offset = at % block_size;
    std::size_t piece = std::min(count - done, block_size - offset);
    std::memcpy(to + done, slot.blocks[at / block_size].get() + offset, piece);
    done += piece;
  }
  slot.position += static_cast<int32_t>(count);
  return static_cast<long>(count);
}

long MemoryStore::seek(int handle, long offset, SeekOrigin origin) {
  if (!valid(handle)) return -1;
  Slot& slot = slots_[handle];
  int64_t base = origin == seek_start ? 0 : origin == seek_current ? slot.position : slot.last_byte;
  int64_t target = base + offset;
  if (target < 0 || target > int64_t(slot.last_byte) + 1) return -1;
  slot.position = static_cast<int32_t>(target);
  return static_cast<long>(target);
}

void MemoryStore::remove(std::string_view name) {
  for (Slot& slot : slots_)
    if (!slot.in_use && slot.name == name) slot.name.clear();
}

// --- one temporary file ---------------------------------------------------------

long TempFile::read(void* buffer, std::size_t count) {
  if (!open_) return -1;
  if (!disk_) return memory_->read(slot_, buffer, count);
  std::size_t got = std::fread(buffer, 1, count, disk_);
  if (got == 0 && std::ferror(disk_)) return -1;
  return static_cast<long>(got);
}

long TempFile::write(const void* buffer, std::size_t count) {
  if (!open_) return -1;
  if (!disk_) return memory_->write(slot_, buffer, count);
  return static_cast<long>(std::fwrite(buffer, 1, count, disk_));
}

long TempFile::seek(long offset, SeekOrigin origin) {
  if (!open_) return -1;
  if (!disk_) return memory_->seek(slot_, offset, origin);
  static constexpr int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  if (std::fseek(disk_, offset, whence[origin]) != 0) return -1;
  return std::ftell(disk_);
}

long TempFile::tell() { return seek(0, seek_current); }

long TempFile::read_at(long offset, void* buffer, std::size_t count) {
  if (!open_) return -1;
  if (disk_) return host::read_at(disk_, offset, buffer, count);
  if (seek(offset, seek_start) != offset) return -1;
  return read(buffer, count);
}

long TempFile::write_at(long offset, const void* buffer, std::size_t count) {
  if (!open_) return -1;
  if (disk_) return host::write_at(disk_, offset, buffer, count);
  if (seek(offset, seek_start) != offset) return -1;
  return write(buffer, count);
}

// --- the five files ---------------------------------------------------------------

namespace {
constexpr const char* templates[temp_kind_count] = {"TP", "TQ", "TR", "TS", "TT"};
const std::string labels[temp_kind_count] = {
    "temporary file(token)", "temporary file(err1)", "temporary file(err2)",
    "temporary file(refsym)", "temporary file(bb5)"};
}  // namespace

const std::string& TempFiles::label(TempKind kind) const { return labels[static_cast<int>(kind)]; }

void TempFiles::build_names(const char* tmp_value) {
  dir_.clear();
  if (tmp_value) {
    std::string_view value(tmp_value);
    value = value.substr(0, value.find(';'));
    dir_ = host::with_slashes(value);
    if (!dir_.empty() && dir_.back() != '/') dir_ += '/';
  }
  for (int k = 0; k < temp_kind_count; ++k) names_[k] = dir_ + templates[k] + "XXXXXX";
}

bool TempFiles::open(TempKind kind) {
  int k = static_cast<int>(kind);
  close(kind);
  TempFile& file = files_[k];
  if (!file.path_.empty()) {  // an earlier disk file of this kind is replaced
    unlink(file.path_.c_str());
    file.path_.clear();
  }
  if (disk_) {
    host::InterruptsHeld held;
    std::string path;
    int fd = host::create_unique_file(dir_, templates[k], path);
    if (fd < 0) return false;
    std::FILE* stream = fdopen(fd, "w+b");
    if (!stream) {
      ::close(fd);
      unlink(path.c_str());
      return false;
    }
    file.disk_ = stream;
    file.path_ = path;
    host::set_cleanup_path(host::cleanup_token + k, path);
  } else {
    file.slot_ = memory_.open(names_[k]);
    if (file.slot_ < 0) return false;
    file.memory_ = &memory_;
  }
  file.open_ = true;
  return true;
}

int TempFiles::close(TempKind kind) {
  TempFile& file = files_[static_cast<int>(kind)];
  if (!file.open_) return 0;
  int status = 0;
  if (file.disk_) {
    status = std::fclose(file.disk_);
    file.disk_ = nullptr;
  } else {
    status = memory_.close(file.slot_);
    memory_.remove(names_[static_cast<int>(kind)]);
    file.slot_ = -1;
  }
  file.open_ = false;
  return status;
}

void TempFiles::remove_all() {
  for (int k = 0; k < temp_kind_count; ++k) {
    close(static_cast<TempKind>(k));
    TempFile& file = files_[k];
    if (!file.path_.empty()) {
      unlink(file.path_.c_str());
      file.path_.clear();
    }
    host::clear_cleanup_path(host::cleanup_token + k);
  }
}

}  // namespace koral
