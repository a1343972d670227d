#include "object/object_fields.h"

namespace koral {

void put_number(ObjectBytes& out, uint32_t value) {
  if (value <= 0x7F) {
    out.push_back(static_cast<uint8_t>(value));
    return;
  }
  int k = value <= 0xFF ? 1 : value <= 0xFFFF ? 2 : value <= 0xFFFFFF ? 3 : 4;
  out.push_back(static_cast<uint8_t>(0x80 + k));
  for (int shift = 8 * (k - 1); shift >= 0; shift -= 8)
    out.push_back(static_cast<uint8_t>(value >> shift));
}

void put_fixed_number(ObjectBytes& out, uint32_t value) {
  out.push_back(0x84);
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void put_name(ObjectBytes& out, std::string_view name) {
  std::size_t length = name.size();
  if (length <= 0x7F) {
    out.push_back(static_cast<uint8_t>(length));
  } else if (length <= 0xFF) {
    out.push_back(0xDE);
    out.push_back(static_cast<uint8_t>(length));
  } else {
    out.push_back(0xDF);
    out.push_back(static_cast<uint8_t>(length >> 8));
    out.push_back(static_cast<uint8_t>(length));
  }
  out.insert(out.end(), name.begin(), name.end());
}

}  // namespace koral
