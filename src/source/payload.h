// The payload of a directive statement in its record body: the kind byte
// (in a word of its own), then words the handler writes in pass 1 and reads
// back in the later passes.
#pragma once

#include <cstdint>

namespace koral {

struct Assembly;

// Offset, from the record's first byte, of the directive's kind word.
uint32_t payload_start(Assembly& a);

// Pass 1: appends a word to the body and returns its offset from the record.
uint32_t put_word(Assembly& a, uint32_t word);

// The index-th word after the kind word (0 is the first).
uint32_t payload_word(Assembly& a, uint32_t index);
void set_payload_word(Assembly& a, uint32_t index, uint32_t word);

// The k-th word from the end of the body (1 is the last).
uint32_t payload_last_word(Assembly& a, uint32_t k);

// Offset from the record of the first item of a list statement (0 without).
uint32_t payload_first_item(Assembly& a);

}  // namespace koral
