// Modules cut short and corrupted: reading and every dump end normally, with
// or without a fault, and a fault names an offset inside the module.
#include <gtest/gtest.h>

#include <random>

#include "koraldump_test_support.h"

namespace koraldump::test {
namespace {

// Reads the bytes and runs every dump that the module allows.
void dump_everything(const std::vector<uint8_t>& bytes, const std::string& what) {
  Module m = load_module(bytes.data(), bytes.size());
  std::ostringstream out;
  print_records(m, out);
  if (m.list.error) {
    EXPECT_LE(m.list.error->offset, bytes.size()) << what;
    EXPECT_FALSE(m.list.error->message.empty()) << what;
    return;
  }
  print_headers(m, out);
  print_contents(m, out);
  print_disassembly(m, out);
  EXPECT_FALSE(out.str().empty()) << what;
}

std::vector<std::vector<uint8_t>> modules() { return {worked_example(), relocation_example()}; }

TEST(KoraldumpRobustness, EveryPrefixIsReportedNotRead) {
  for (const std::vector<uint8_t>& full : modules()) {
    for (std::size_t n = 0; n < full.size(); ++n) {
      std::vector<uint8_t> prefix(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
      Module m = load_module(prefix.data(), prefix.size());
      ASSERT_TRUE(m.list.error) << "a prefix of " << n << " bytes was taken as a whole module";
      dump_everything(prefix, "prefix of " + std::to_string(n));
    }
  }
}

TEST(KoraldumpRobustness, FlippedBytesNeverCrash) {
  std::mt19937 generator(20261204u);  // fixed, so that every run tries the same modules
  for (const std::vector<uint8_t>& full : modules()) {
    std::uniform_int_distribution<std::size_t> where(0, full.size() - 1);
    std::uniform_int_distribution<int> value(0, 255);
    std::uniform_int_distribution<int> how_many(1, 4);
    for (int round = 0; round < 1500; ++round) {
      std::vector<uint8_t> bytes = full;
      const int flips = how_many(generator);
      for (int i = 0; i < flips; ++i) bytes[where(generator)] = static_cast<uint8_t>(value(generator));
      dump_everything(bytes, "round " + std::to_string(round));
    }
  }
}

}  // namespace
}  // namespace koraldump::test
