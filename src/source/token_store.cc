#include "source/token_store.h"

#include <cstring>
#include <new>

#include "driver/temp_files.h"
#include "source/word_packing.h"

namespace koral {

namespace {

// Later passes change sizes and flags in place, which packs a little longer:
// a chunk gets some room to grow before it has to move.
uint32_t with_slack(uint32_t packed) { return packed + packed / 16 + 16; }

}  // namespace

unsigned char* TokenStore::reserve(uint32_t count, Chunk& chunk) {
  uint32_t need = count + unpack_reach;
  if (block_size - block_used_ < need) {
    std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[block_size]);
    if (!block) return nullptr;
    blocks_.push_back(std::move(block));
    block_used_ = 0;
  }
  chunk.block = static_cast<uint32_t>(blocks_.size() - 1);
  chunk.at = block_used_;
  chunk.room = count;
  block_used_ += need;
  return blocks_.back().get() + chunk.at;
}

bool TokenStore::append(TempFile& file, const unsigned char* bytes, uint32_t length) {
  if (chunks_.empty()) on_disk_ = file.on_disk();
  Chunk chunk{0, length, 0, 0, 0};
  if (!chunks_.empty()) chunk.offset = chunks_.back().offset + chunks_.back().length;
  if (on_disk_) {
    if (file.write_at(chunk.offset, bytes, length) != static_cast<long>(length)) return false;
    chunks_.push_back(chunk);
    return true;
  }
  if (chunk.offset + static_cast<long>(length) > memory_file_limit) return false;
  if (!scratch_) {
    scratch_.reset(new (std::nothrow) unsigned char[packed_limit(max_chunk)]);
    if (!scratch_) return false;
  }
  uint32_t packed = pack_words(bytes, length, scratch_.get());
  unsigned char* to = reserve(with_slack(packed), chunk);
  if (!to) return false;
  std::memcpy(to, scratch_.get(), packed);
  chunks_.push_back(chunk);
  return true;
}

long TokenStore::load(TempFile& file, uint32_t index, unsigned char* bytes) {
  const Chunk& chunk = chunks_[index];
  if (on_disk_)
    return file.read_at(chunk.offset, bytes, chunk.length) == static_cast<long>(chunk.length) ? chunk.length : -1;
  unpack_words(blocks_[chunk.block].get() + chunk.at, chunk.length, bytes);
  return chunk.length;
}

bool TokenStore::store(TempFile& file, uint32_t index, const unsigned char* bytes,
                       const unsigned char* as_loaded) {
  Chunk& chunk = chunks_[index];
  if (on_disk_) return file.write_at(chunk.offset, bytes, chunk.length) == static_cast<long>(chunk.length);
  unsigned char* to = blocks_[chunk.block].get() + chunk.at;
  uint32_t packed = as_loaded ? repack_words(bytes, as_loaded, to, chunk.length, scratch_.get())
                              : pack_words(bytes, chunk.length, scratch_.get());
  if (packed > chunk.room) {  // grown: the chunk moves to the end of the pool
    to = reserve(with_slack(packed), chunk);
    if (!to) return false;
  }
  std::memcpy(to, scratch_.get(), packed);
  return true;
}

}  // namespace koral
