// The output path of the object writer: the record buffer is moved into the
// 8192-byte output block, the block goes to the file when it is full, and the
// object position counts every byte emitted.  With object output off nothing
// is copied or written but the position still advances.
#pragma once

#include <cstdint>

#include "object/object_fields.h"

namespace koral {

struct Assembly;

// Opens (creates or truncates) the object file and allocates the output
// block: fatal 20 with the file name, fatal 161 without memory.
void open_object_file(Assembly& a);

// The record buffer, to which the next record is appended.
ObjectBytes& object_record(Assembly& a);

// Moves the record buffer into the output block (writing full blocks to the
// file first) and advances the object position.
void flush_object_record(Assembly& a);

// Writes the filled part of the output block to the file: fatal 154 when the
// file does not take it whole.
void write_object_block(Assembly& a);

// Overwrites `count` bytes at file offset `offset`: fatal 154 when the seek
// fails or the write is short.
void patch_object_file(Assembly& a, uint32_t offset, const uint8_t* bytes, uint32_t count);

}  // namespace koral
