// Pieces of the data part that the data writers and the instruction writer
// share: the load address that a section switch leaves pending, and the load
// records of plain bytes.
#pragma once

#include <cstdint>

#include "symbols/section.h"

namespace koral {

struct Assembly;

// The index of a section in the object module (0 for none).
inline uint32_t object_section_index(const Section* section) { return section ? section->serial : 0; }

inline bool absolute_section(const Section* section) {
  return section && (section->kind & section_absolute) != 0;
}

// Flushes the record in hand and, when a section switch left the load address
// pending, writes the set-location record for the current location.
void prepare_object_load(Assembly& a);

// LD in an absolute section, LR in a relocatable one.
uint8_t object_load_type(const Assembly& a);

// One load record: type byte, count, the bytes (the count may be 0).
void put_object_load_run(Assembly& a, const uint8_t* bytes, uint32_t count);

}  // namespace koral
