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

#include <unistd.h>

#include "driver/assembly.h"
#include "driver/run.h"
#include "object/object_test_support.h"
#include "symbols/hash.h"
#include "symbols/symbol_table.h"

namespace koral::directive_test {

using object_test::Bytes;
using object_test::hex;
using object_test::show;
using Reports = std::vector<std::pair<int, int>>;  // (line, code)

class DirectiveRun {
 public:
  DirectiveRun() {
    std::string pattern = ::testing::TempDir() + "koral_directives_XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data())) dir_ = name.data();
  }
  ~DirectiveRun() {
    if (!dir_.empty()) std::system(("rm -rf '" + dir_ + "'").c_str());
  }
  DirectiveRun(const DirectiveRun&) = delete;
  DirectiveRun& operator=(const DirectiveRun&) = delete;

  // Assembles t.asm holding `source` (the banner suppressed, the object
  // module kept after errors) and returns the exit status.
  int assemble(std::string_view source, std::vector<std::string> options = {}) {
    {
      std::ofstream out(dir_ + "/t.asm", std::ios::binary);
      out.write(source.data(), static_cast<std::streamsize>(source.size()));
    }
    std::remove((dir_ + "/t.rel").c_str());
    std::vector<std::string> args{"asmKORAL", "-$", "-zr"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back("t.asm");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    a = std::make_unique<Assembly>();
    char previous[4096];
    if (!::getcwd(previous, sizeof previous) || ::chdir(dir_.c_str()) != 0) return -1;
    ::testing::internal::CaptureStderr();
    int status = run_assembler(*a, static_cast<int>(argv.size()), argv.data());
    stderr_text = ::testing::internal::GetCapturedStderr();
    if (::chdir(previous) != 0) return -1;
    std::ifstream in(dir_ + "/t.rel", std::ios::binary);
    object.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return status;
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
  std::string dir_;
};

}  // namespace koral::directive_test
