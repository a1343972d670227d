// Reading modules: the field encodings, and the faults that make a module
// not well formed.
#include <gtest/gtest.h>

#include "byte_reader.h"
#include "koraldump_test_support.h"
#include "module.h"

namespace koraldump::test {
namespace {

TEST(KoraldumpFields, NumbersTakeTheFewestBytes) {
  struct Case {
    const char* bytes;
    uint32_t value;
  } cases[] = {{"00", 0}, {"7F", 127}, {"81 80", 128}, {"82 01 2C", 300}, {"83 01 00 00", 65536},
               {"84 FF FF FF FF", 0xFFFFFFFF}, {"84 00 00 00 50", 80}};
  for (const Case& c : cases) {
    std::vector<uint8_t> b = bytes_of(c.bytes);
    ByteReader r(b.data(), b.size());
    EXPECT_EQ(r.number("n"), c.value) << c.bytes;
    EXPECT_TRUE(r.at_end()) << c.bytes;
  }
}

TEST(KoraldumpFields, OmittedAndOverwideNumbers) {
  std::vector<uint8_t> b = bytes_of("80");
  ByteReader r(b.data(), b.size());
  uint32_t v = 7;
  EXPECT_FALSE(r.optional_number("n", v));
  b = bytes_of("85 00 00 00 00 01");
  ByteReader wide(b.data(), b.size());
  EXPECT_THROW(wide.number("n"), ModuleError);
  b = bytes_of("83 01 00");
  ByteReader cut(b.data(), b.size());
  try {
    cut.number("count");
    FAIL() << "a number cut short was read";
  } catch (const ModuleError& e) {
    EXPECT_EQ(e.offset, 3u);
  }
}

TEST(KoraldumpFields, NamesOfEveryLengthForm) {
  std::vector<uint8_t> b = bytes_of("00");
  ByteReader empty(b.data(), b.size());
  EXPECT_EQ(empty.name("n"), "");
  b = bytes_of("DE 80");
  append(b, std::vector<uint8_t>(128, 'a'));
  ByteReader r128(b.data(), b.size());
  EXPECT_EQ(r128.name("n"), std::string(128, 'a'));
  b = bytes_of("DF 01 2C");
  append(b, std::vector<uint8_t>(300, 'b'));
  ByteReader r300(b.data(), b.size());
  EXPECT_EQ(r300.name("n"), std::string(300, 'b'));
  b = bytes_of("05 41 42");
  ByteReader past(b.data(), b.size());
  try {
    past.name("section name");
    FAIL() << "a name past the end was read";
  } catch (const ModuleError& e) {
    EXPECT_EQ(e.offset, 0u);
    EXPECT_NE(e.message.find("runs past the end"), std::string::npos) << e.message;
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
