// Cross-reference records of symbols and sections, kept in the refsym
// temporary file as chains of 124-byte blocks: a 32-bit little-endian link to
// the next block of the chain (0 in the last) and ten 12-byte records (file
// index in 16 bits, 2 bytes unused, line in file, listing line).  The count
// of references is kept exact even when the file is not written.
#pragma once

#include <cstdint>

namespace koral {

struct Assembly;
struct Symbol;
struct Section;

constexpr int32_t reference_block_size = 124;
constexpr int32_t reference_record_size = 12;
constexpr int32_t references_per_block = 10;

// Appends a record for the statement in hand to the chain of `symbol`, or of
// `section` when `symbol` is null.  The file is written only with the
// cross-reference option.
void record_reference(Assembly& a, Symbol* symbol, Section* section);

}  // namespace koral
