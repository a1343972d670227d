// Helpers of the directive tests: whole runs of the assembler over a source
// written to a folder of its own, the diagnostics they printed as (line,
// code) pairs, the data part of the object module, and the symbols the run
// left behind.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver/assembly.h"
#include "object/object_test_support.h"
#include "symbols/hash.h"
#include "support/whole_run.h"
#include "symbols/symbol_table.h"

namespace koral::directive_test {

using object_test::Bytes;
using object_test::hex;
using object_test::show;
using Reports = std::vector<std::pair<int, int>>;  // (line, code)

class DirectiveRun {
 public:
  DirectiveRun() = default;
  DirectiveRun(const DirectiveRun&) = delete;
  DirectiveRun& operator=(const DirectiveRun&) = delete;

  // Assembles t.asm holding `source` (the banner suppressed, the object
  // module kept after errors) and returns the exit status.
  int assemble(std::string_view source, std::vector<std::string> options = {}) {
    const std::string& dir = folder_.path();
    {
      std::ofstream out(dir + "/t.asm", std::ios::binary);
      out.write(source.data(), static_cast<std::streamsize>(source.size()));
    }
    std::remove((dir + "/t.rel").c_str());
    std::vector<std::string> args{"-$", "-zr"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back("t.asm");
    a = std::make_unique<Assembly>();
    test::RunOutput run = test::run_in_folder(*a, dir, args);
    stderr_text = run.err;
    std::ifstream in(dir + "/t.rel", std::ios::binary);
    object.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return run.status;
  }

  // The diagnostics printed, as (line, code) in the order printed.
  Reports reports() const {
    Reports out;
    std::istringstream lines(stderr_text);
    std::string line;
    while (std::getline(lines, line)) {
      int number = 0, code = 0;
      char severity[16];
      if (std::sscanf(line.c_str(), "t.asm %d : ASMKORAL-%15[A-Za-z]-%d", &number, severity, &code) == 3)
        out.emplace_back(number, code);
    }
    return out;
  }

  // The data part of the object module: from the offset W5 to the module
  // end (W6), both read from the part-offset table after MB and AD.
  Bytes data_part() const {
    if (object.size() < 16) return {};
    std::size_t at = 1;
    for (int names = 0; names < 2; ++names) at += 1 + object[at];
    at += 4;  // AD
    auto part = [&](int k) {
      std::size_t p = at + 8 * k + 4;
      return (std::size_t(object[p]) << 24) | (std::size_t(object[p + 1]) << 16) |
             (std::size_t(object[p + 2]) << 8) | object[p + 3];
    };
    std::size_t from = part(5), to = part(6);
    if (from == 0 || to > object.size() || from > to) return {};
    return Bytes(object.begin() + from, object.begin() + to);
  }

  // The live symbol of that name, or nullptr.
  Symbol* symbol(std::string_view name) const { return lookup_symbol(*a, name, hash_name(name)); }
  Section* section(std::string_view name) const { return lookup_section(*a, name, hash_name(name)); }

  std::unique_ptr<Assembly> a;
  std::string stderr_text;
  Bytes object;

 private:
  test::ScratchFolder folder_;
};

}  // namespace koral::directive_test
