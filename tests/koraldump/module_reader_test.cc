// Reading modules: the field encodings, and the faults that make a module
// not well formed.
#include <gtest/gtest.h>

#include "byte_reader.h"
#include "koraldump_test_support.h"
#include "module.h"

namespace koraldump::test {
namespace {

// Bytes of hexadecimal text followed by n copies of a character.
std::vector<uint8_t> with_text(const std::string& hex_bytes, std::size_t n = 0, char c = 'a') {
  std::vector<uint8_t> b = bytes_of(hex_bytes);
  b.insert(b.end(), n, static_cast<uint8_t>(c));
  return b;
}

// One field read from the bytes: a number ('n'), a number that may be
// omitted ('o', here always omitted) or a name ('s'); or the fault it gives.
struct FieldCase {
  std::vector<uint8_t> bytes;
  char kind;
  uint32_t value;
  std::string name;
  int fault_at = -2;  // -2: no fault; -1: a fault at any offset
  const char* message = "";
};

TEST(KoraldumpFields, NumbersAndNames) {
  const FieldCase cases[] = {
      // Numbers take the fewest bytes.
      {with_text("00"), 'n', 0, ""}, {with_text("7F"), 'n', 127, ""}, {with_text("81 80"), 'n', 128, ""},
      {with_text("82 01 2C"), 'n', 300, ""}, {with_text("83 01 00 00"), 'n', 65536, ""},
      {with_text("84 FF FF FF FF"), 'n', 0xFFFFFFFF, ""}, {with_text("84 00 00 00 50"), 'n', 80, ""},
      {with_text("80"), 'o', 0, ""},
      {with_text("85 00 00 00 00 01"), 'n', 0, "", -1},
      {with_text("83 01 00"), 'n', 0, "", 3},
      // Names of every length form.
      {with_text("00"), 's', 0, ""},
      {with_text("DE 80", 128), 's', 0, std::string(128, 'a')},
      {with_text("DF 01 2C", 300, 'b'), 's', 0, std::string(300, 'b')},
      {with_text("05 41 42"), 's', 0, "", 0, "runs past the end"},
  };
  for (const FieldCase& c : cases) {
    const std::string what = std::string(1, c.kind) + " " + std::to_string(c.bytes.size()) + " bytes";
    ByteReader r(c.bytes.data(), c.bytes.size());
    try {
      uint32_t omitted = 7;
      if (c.kind == 'n') {
        EXPECT_EQ(r.number("n"), c.value) << what;
      } else if (c.kind == 'o') {
        EXPECT_FALSE(r.optional_number("n", omitted)) << what;
      } else {
        EXPECT_EQ(r.name("n"), c.name) << what;
      }
      EXPECT_TRUE(r.at_end()) << what;
      EXPECT_EQ(c.fault_at, -2) << what << ": read without a fault";
    } catch (const ModuleError& e) {
      EXPECT_NE(c.fault_at, -2) << what << ": " << e.message;
      if (c.fault_at >= 0) {
        EXPECT_EQ(e.offset, static_cast<std::size_t>(c.fault_at)) << what;
      }
      EXPECT_NE(e.message.find(c.message), std::string::npos) << what << ": " << e.message;
    }
  }
}

// A copy of the worked example with bytes replaced at an offset.
std::vector<uint8_t> patched(std::size_t at, const std::string& hex_bytes) {
  std::vector<uint8_t> b = worked_example();
  std::vector<uint8_t> p = bytes_of(hex_bytes);
  for (std::size_t i = 0; i < p.size(); ++i) b[at + i] = p[i];
  return b;
}

struct Fault {
  const char* what;
  std::vector<uint8_t> bytes;
  std::size_t offset;
  const char* message;
};

void PrintTo(const Fault& f, std::ostream* os) { *os << f.what; }

class KoraldumpFault : public ::testing::TestWithParam<Fault> {};

TEST_P(KoraldumpFault, NamesTheOffset) {
  const Fault& f = GetParam();
  Module m = load_module(f.bytes.data(), f.bytes.size());
  ASSERT_TRUE(m.list.error) << f.what;
  EXPECT_EQ(m.list.error->offset, f.offset) << f.what << ": " << m.list.error->message;
  EXPECT_NE(m.list.error->message.find(f.message), std::string::npos) << f.what << ": " << m.list.error->message;
}

std::vector<uint8_t> truncated(std::size_t size) {
  std::vector<uint8_t> b = worked_example();
  b.resize(size);
  return b;
}

std::vector<uint8_t> extended(const std::string& more) {
  std::vector<uint8_t> b = worked_example();
  append(b, bytes_of(more));
  return b;
}

INSTANTIATE_TEST_SUITE_P(Modules, KoraldumpFault, ::testing::Values(
    Fault{"empty", {}, 0, "empty"},
    // The section name "prog" (at 169) loses its last character.
    Fault{"cut in a name", truncated(172), 168, "runs past the end"},
    Fault{"cut before ME", truncated(253), 253, "ends without ME"},
    Fault{"cut in LR data", truncated(251), 250, "runs past the end"},
    // W3 (at 40) points one byte into the NI record.
    Fault{"part offset not at a record", patched(44, "00 00 00 B5"), 40, "not the offset of a record"},
    // W2 (at 32) points at the SA record instead of ST.
    Fault{"part offset at the wrong record", patched(36, "00 00 00 AD"), 32, "instead of the start"},
    Fault{"unknown record type", patched(173, "EA"), 173, "unknown record type 0xEA"},
    Fault{"bytes after ME", extended("00"), 254, "after the module end"},
    Fault{"SB of a missing section", patched(242, "07"), 241, "no ST record"},
    // The BE of BB11 (at 238) becomes an SB: BB10 stays open until ME.
    Fault{"block left open", patched(238, "E5 01"), 253, "still open at ME"},
    // The SB (at 241) becomes a BE after BB10 has been closed.
    Fault{"BE without a block", patched(241, "F9 F9"), 241, "BE without an open block"},
    // The module begins with ME.
    Fault{"first record ME", patched(0, "E1"), 1, "bytes after the module end"},
    // The first ASW (at 16) becomes an ASS record.
    Fault{"ASW missing", patched(17, "D3"), 16, "expected the part offset W0"}));

}  // namespace
}  // namespace koraldump::test
