// The hash of a name in the symbol table.
#pragma once

#include <cstdint>
#include <string_view>

namespace koral {

constexpr uint32_t hash_range = 1000;

// Every byte is taken as a signed 8-bit value: h = h * 4 + c, wrapping in 32
// bits, and the result is h mod 1000.  Reserved words are hashed upper-cased,
// sections and user symbols as written.
constexpr uint32_t hash_name(std::string_view name) {
  uint32_t h = 0;
  for (char c : name)
    h = h * 4u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
  return h % hash_range;
}

}  // namespace koral
