#include "object/object_fields.h"

#include <gtest/gtest.h>

#include <string>

#include "object_test_support.h"

namespace koral {
namespace {

using object_test::Bytes;
using object_test::hex;
using object_test::show;
using object_test::operator+;

// Numbers take one byte up to 127, then a length byte 0x80 + k and the value
// in the fewest k bytes.
TEST(ObjectFields, NumbersAtTheirLengthBoundaries) {
  struct Case {
    uint32_t value;
    const char* bytes;
  };
  const Case cases[] = {
      {0, "00"},           {1, "01"},           {127, "7F"},                {128, "81 80"},
      {255, "81 FF"},      {256, "82 01 00"},   {300, "82 01 2C"},          {65535, "82 FF FF"},
      {65536, "83 01 00 00"}, {0xFFFFFF, "83 FF FF FF"}, {0x1000000, "84 01 00 00 00"},
      {0xFFFFFFFF, "84 FF FF FF FF"},
  };
  for (const Case& c : cases) {
    Bytes out;
    put_number(out, c.value);
    EXPECT_EQ(show(out), show(hex(c.bytes))) << c.value;
  }
}

TEST(ObjectFields, NamesAtTheirLengthBoundaries) {
  struct Case {
    std::size_t length;
    const char* prefix;
  };
  const Case cases[] = {
      {0, "00"},       {1, "01"},          {127, "7F"},        {128, "DE 80"},
      {255, "DE FF"},  {256, "DF 01 00"},  {300, "DF 01 2C"},
  };
  for (const Case& c : cases) {
    std::string name(c.length, 'q');
    Bytes out;
    put_name(out, name);
    Bytes expected = hex(c.prefix) + object_test::text_bytes(name);
    EXPECT_EQ(out, expected) << c.length;
  }
}

}  // namespace
}  // namespace koral
