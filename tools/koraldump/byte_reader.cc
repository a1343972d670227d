#include "byte_reader.h"

#include <cstdio>

namespace koraldump {

void fail(std::size_t offset, std::string message) { throw ModuleError{offset, std::move(message)}; }

namespace {

[[noreturn]] void truncated(std::size_t offset, std::string_view what) {
  fail(offset, "the module ends inside " + std::string(what));
}

}  // namespace

uint8_t ByteReader::peek(std::string_view what) const {
  if (at_ >= size_) truncated(at_, what);
  return data_[at_];
}

uint8_t ByteReader::byte(std::string_view what) {
  uint8_t b = peek(what);
  ++at_;
  return b;
}

bool ByteReader::optional_number(std::string_view what, uint32_t& value) {
  const std::size_t start = at_;
  uint8_t first = byte(what);
  if (first <= 0x7F) {
    value = first;
    return true;
  }
  if (first == omitted_number) return false;
  if (first > 0x88) fail(start, "byte 0x" + hex(first, 2) + " is not a number (" + std::string(what) + ")");
  int width = first - 0x80;
  if (width > 4) fail(start, "number of " + std::to_string(width) + " bytes is wider than 32 bits (" +
                                 std::string(what) + ")");
  uint32_t v = 0;
  for (int i = 0; i < width; ++i) {
    if (at_ >= size_) truncated(at_, what);
    v = (v << 8) | data_[at_++];
  }
  value = v;
  return true;
}

uint32_t ByteReader::number(std::string_view what) {
  const std::size_t start = at_;
  uint32_t value = 0;
  if (!optional_number(what, value)) fail(start, "omitted number where " + std::string(what) + " is required");
  return value;
}

std::string ByteReader::name(std::string_view what) {
  const std::size_t start = at_;
  uint8_t first = byte(what);
  std::size_t length;
  if (first <= 0x7F) {
    length = first;
  } else if (first == 0xDE) {
    length = byte(what);
  } else if (first == 0xDF) {
    length = static_cast<std::size_t>(byte(what)) << 8;
    length |= byte(what);
  } else {
    fail(start, "byte 0x" + hex(first, 2) + " does not start a name (" + std::string(what) + ")");
  }
  if (length > remaining())
    fail(start, std::string(what) + " of " + std::to_string(length) + " characters runs past the end of the module");
  std::string text(reinterpret_cast<const char*>(data_ + at_), length);
  at_ += length;
  return text;
}

const uint8_t* ByteReader::bytes(std::size_t count, std::string_view what) {
  if (count > remaining())
    fail(at_, std::string(what) + " of " + std::to_string(count) + " bytes runs past the end of the module");
  const uint8_t* p = data_ + at_;
  at_ += count;
  return p;
}

std::string hex(uint64_t value, int digits) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "%0*llX", digits, static_cast<unsigned long long>(value));
  return buffer;
}

}  // namespace koraldump
