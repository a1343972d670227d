// Per-statement state of the instruction encoder: where the relocatable
// fields of the instruction in hand lie, and which bytes belong to each
// operand.  Reset at the start of every encoding.
#pragma once

#include <cstdint>

#include "object/object_writer.h"

namespace koral {

struct IsaState {
  // An instruction has at most an address or immediate field per operand and
  // one relocated bit number.
  static constexpr int max_fields = 4;

  RelocatedField fields[max_fields];  // in byte order
  int field_count = 0;
  int32_t last_byte[2] = {-1, -1};    // index of the last byte of each operand, -1 for none

  // Forgets the instruction before; the fields past `field_count` are never read.
  void reset() {
    field_count = 0;
    last_byte[0] = last_byte[1] = -1;
  }
};

}  // namespace koral
