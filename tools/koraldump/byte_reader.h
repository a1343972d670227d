// A bounded cursor over the bytes of an object module.  Every read checks the
// end of the module, so a truncated or corrupted module ends in a
// ModuleError that names the offset, never in a read past the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace koraldump {

// A module that is not well formed: the offset of the offending byte and
// what was wrong there.
struct ModuleError {
  std::size_t offset;
  std::string message;
};

[[noreturn]] void fail(std::size_t offset, std::string message);

// Numbers of the object format: 0..127 in one byte, else 0x80 + k followed
// by k bytes.  0x80 alone is an omitted number.
constexpr uint8_t omitted_number = 0x80;
constexpr bool is_number_start(uint8_t byte) { return byte <= 0x84; }

// The first byte of every record type lies at or above this value; every
// field byte that starts a number, a variable or an operator lies below it.
constexpr uint8_t first_record_byte = 0xE0;

class ByteReader {
 public:
  ByteReader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::size_t offset() const { return at_; }
  std::size_t size() const { return size_; }
  bool at_end() const { return at_ >= size_; }
  std::size_t remaining() const { return at_ < size_ ? size_ - at_ : 0; }
  const uint8_t* data() const { return data_; }

  // The next byte without consuming it; `what` names the field for the
  // message when the module ends here.
  uint8_t peek(std::string_view what) const;
  // True when another field byte (below the record bytes) follows.
  bool field_follows() const { return at_ < size_ && data_[at_] < first_record_byte; }

  uint8_t byte(std::string_view what);
  // A number field; an omitted number (0x80) is an error here.
  uint32_t number(std::string_view what);
  // A number field that may be omitted: false for 0x80.
  bool optional_number(std::string_view what, uint32_t& value);
  // A name: its length (one byte up to 127, 0xDE and one byte, 0xDF and two
  // bytes) and that many characters.
  std::string name(std::string_view what);
  // `count` raw bytes.
  const uint8_t* bytes(std::size_t count, std::string_view what);

 private:
  const uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// Hexadecimal of a value with at least `digits` digits, upper case.
std::string hex(uint64_t value, int digits = 1);

}  // namespace koraldump
