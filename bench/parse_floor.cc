// Reading-and-parsing floor: runs the lexer and a parser built from the
// statement grammar with every action emptied (bench/parse_floor.py) over a
// source, and prints the least time of several rounds.  Nothing of a
// statement is kept, checked, written or replayed: this is the part of
// pass 1 that no change to the later work can remove.  Built with
// FLOOR_TOKENS, the source is first turned into a token list, untimed, and
// only the parser's run over the list is timed.
//
//     parse_floor source [rounds]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "driver/assembly.h"
#include "driver/files.h"
#include "source/includes.h"
#include "source/lexer.h"
#include "symbols/hash.h"
#include "symbols/symbol_table.h"

int yyparse(koral::Assembly& a);

#ifdef FLOOR_TOKENS
namespace {
std::vector<int> token_list;
std::size_t next_in_list = 0;
}  // namespace

int floor_token() {
  return next_in_list < token_list.size() ? token_list[next_in_list++] : koral::END_OF_INPUT;
}

// The whole source as tokens, as the lexer gives them.
void make_token_list(koral::Assembly& a) {
  token_list.clear();
  next_in_list = 0;
  koral::TokenValue value;
  for (;;) {
    int token = koral::next_token(a, value);
    token_list.push_back(token);
    if (token == koral::END_OF_INPUT) break;
  }
}
#endif

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: parse_floor source [rounds]\n");
    return 2;
  }
  int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  long lines = 0;
  if (std::FILE* f = std::fopen(argv[1], "rb")) {
    for (int c; (c = std::getc(f)) != EOF;) lines += c == '\n';
    std::fclose(f);
  }
  double best = 1e9;
  int status = 0;
  for (int round = 0; round < rounds; ++round) {
    auto a = std::make_unique<koral::Assembly>();
    a->settings.source_name = argv[1];
    koral::open_source_and_token_file(*a);
    a->run.pass = koral::pass_one;
    koral::reset_source_input(*a);
    // The labels the source defines (one every 16 lines) are known, as they
    // are in pass 1 once their lines are behind.
    for (long i = 0; i <= lines / 16 + 1; ++i) {
      std::string name = "L" + std::to_string(i);
      koral::lookup_symbol(*a, name, koral::hash_name(name));
      koral::insert_name(*a, name, koral::kind_label);
    }
#ifdef FLOOR_TOKENS
    make_token_list(*a);
#endif
    auto start = std::chrono::steady_clock::now();
    status |= yyparse(*a);
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (took.count() < best) best = took.count();
    std::fclose(a->sources.stream);
    a->sources.stream = nullptr;
  }
  std::printf("%.4f\n", best);
  return status;
}
