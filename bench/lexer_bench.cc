// Lexer micro-benchmark: tokenises a large generated source and prints
// tokens and lines per second.  Built and run by bench/lexer_bench.sh.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "driver/assembly.h"
#include "driver/files.h"
#include "source/includes.h"
#include "source/lexer.h"
#include "symbols/hash.h"
#include "symbols/symbol_table.h"

namespace {

// A mix of instructions, data, labels, comments and expressions.
std::string generate(int statements) {
  static const char* const forms[] = {
      "        LD      A,(HL)          ; load through HL\r\n",
      "        LD      [IX+4],0x1F\r\n",
      "        SET     A.3\r\n",
      "        J       NZ,L%d\r\n",
      "        CALL    subroutine_%d\r\n",
      "        DB      1, 2, 0x30, 'AB', \"text\\n\", 017\r\n",
      "        DW      (L%d - $) * 2 + 4, TABLE + 8 >> 1\r\n",
      "        FDATAD  1.25, 3.5e10, -2.0\r\n",
      "; a comment line with some words in it\r\n",
      "\r\n",
  };
  std::string text;
  text.reserve(static_cast<std::size_t>(statements) * 40);
  char line[160];
  for (int i = 0; i < statements; ++i) {
    if (i % 8 == 0) {
      std::snprintf(line, sizeof line, "L%d:\r\n", i / 8);
      text += line;
      continue;
    }
    std::snprintf(line, sizeof line, forms[i % 10], i / 8);
    text += line;
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  int statements = argc > 1 ? std::atoi(argv[1]) : 2000000;
  int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  char dir_template[] = "/tmp/koral-bench-XXXXXX";
  if (!mkdtemp(dir_template)) return 1;
  std::string path = std::string(dir_template) + "/bench.asm";
  std::string text = generate(statements);
  {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }

  double best = 1e9;
  long tokens = 0;
  long lines = 0;
  for (int round = 0; round < rounds; ++round) {
    auto a = std::make_unique<koral::Assembly>();
    a->settings.source_name = path;
    koral::open_source_and_token_file(*a);
    a->run.pass = koral::pass_one;
    koral::reset_source_input(*a);
    // Half of the labels are known symbols, as after their definition.
    for (int i = 0; i < statements / 16; ++i) {
      std::string name = "L" + std::to_string(i);
      koral::lookup_symbol(*a, name, koral::hash_name(name));
      koral::insert_name(*a, name, koral::kind_label);
    }
    koral::TokenValue value;
    tokens = 0;
    lines = 0;
    auto start = std::chrono::steady_clock::now();
    for (;;) {
      int token = koral::next_token(*a, value);
      ++tokens;
      if (token == '\n') ++lines;
      if (token == koral::END_OF_INPUT) break;
      // The parser would run the statement end here; nothing is reported.
    }
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (took.count() < best) best = took.count();
    std::fclose(a->sources.stream);
    a->sources.stream = nullptr;
  }
  std::remove(path.c_str());
  rmdir(dir_template);
  std::printf("source: %zu bytes, %ld lines, %ld tokens\n", text.size(), lines, tokens);
  std::printf("best of %d: %.3f s  %.1f Mtokens/s  %.2f Mlines/s  %.1f MB/s\n", rounds, best,
              tokens / best / 1e6, lines / best / 1e6, text.size() / best / 1e6);
  return 0;
}
