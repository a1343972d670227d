// Where the token file's bytes rest between passes.  Pass 1 hands over the
// buffer's complete records in chunks; the later passes take the chunks back
// one at a time as their windows and return a chunk they changed.  A chunk
// always holds whole records, so a window never cuts one.
//
// On disk (-zd) the chunks lie one after the other in the temporary file.  In
// memory they are packed word by word (see word_packing.h) into about a fifth
// of the room.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace koral {

class TempFile;

class TokenStore {
 public:
  static constexpr uint32_t max_chunk = 16384;

  // Adds the next chunk of `length` bytes (a multiple of 4); false when it
  // cannot be kept (no memory, or the file cannot be written).
  bool append(TempFile& file, const unsigned char* bytes, uint32_t length);
  // Copies chunk `index` into `bytes`; its length, or -1 when it cannot be read.
  long load(TempFile& file, uint32_t index, unsigned char* bytes);
  // Replaces chunk `index` with `bytes` of the same length; `as_loaded`, if
  // given, is the chunk as load() gave it (the words equal in both need not
  // be packed again).  False on failure.
  bool store(TempFile& file, uint32_t index, const unsigned char* bytes,
             const unsigned char* as_loaded = nullptr);

  uint32_t chunk_count() const { return static_cast<uint32_t>(chunks_.size()); }
  // File offset of the chunk's first byte, as if the chunks lay end to end.
  long offset(uint32_t index) const { return chunks_[index].offset; }
  // A file in memory has 32-bit positions: it cannot grow past this many
  // bytes (a file on disk can).
  long memory_file_limit = 0x7FFFFFFF;

 private:
  static constexpr uint32_t block_size = 1 << 20;
  struct Chunk {
    long offset;        // in the token file
    uint32_t length;    // bytes of records
    uint32_t block;     // memory: where the packed bytes lie
    uint32_t at;
    uint32_t room;      // bytes reserved at `at` for the packed image
  };

  // Room for `count` bytes (and the unpacker's reach) in the last block.
  unsigned char* reserve(uint32_t count, Chunk& chunk);

  bool on_disk_ = false;
  std::vector<Chunk> chunks_;
  std::vector<std::unique_ptr<unsigned char[]>> blocks_;
  uint32_t block_used_ = block_size;
  std::unique_ptr<unsigned char[]> scratch_;  // a chunk being packed
};

}  // namespace koral
