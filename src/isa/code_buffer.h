// The bytes of the statement in hand: the code of an instruction, or the data
// of a data directive, collected before they go to the object writer and the
// listing.
#pragma once

#include <cstdint>

namespace koral {

struct CodeBuffer {
  static constexpr uint32_t capacity = 10000;  // data bytes of one statement at most

  uint8_t bytes[capacity];
  uint32_t count = 0;

  void clear() { count = 0; }
  uint32_t room() const { return capacity - count; }
  // Appends one byte; false (nothing stored) when the buffer is full.
  bool append(uint8_t byte) {
    if (count == capacity) return false;
    bytes[count++] = byte;
    return true;
  }
};

}  // namespace koral
