// Helpers of the listing tests: whole runs of the assembler over sources
// written to a directory of their own, and the parts of the listing file
// that a test looks at.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "driver/assembly.h"
#include "support/whole_run.h"

namespace koral::listing_test {

// The column headings that close the first-page block.
inline constexpr std::string_view headings =
    "Location  Object                           Ins        Line Source Statement\r\n\r\n";

class ListingRun {
 public:
  std::string path(std::string_view name) const { return folder_.path() + "/" + std::string(name); }

  void write(std::string_view name, std::string_view text) const {
    std::ofstream out(path(name), std::ios::binary);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
  }

  // Assembles <dir>/t.asm holding `source` with the options given (the
  // banner suppressed) and returns the exit status.
  int assemble(std::string_view source, std::vector<std::string> options) {
    write("t.asm", source);
    std::vector<std::string> args{"-$"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(path("t.asm"));
    a = std::make_unique<Assembly>();
    // The listing and the object module are written to the working folder.
    test::RunOutput run = test::run_in_folder(*a, folder_.path(), args);
    stdout_text = run.out;
    stderr_text = run.err;
    std::ifstream in(path("t.lst"), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    listing = text.str();
    return run.status;
  }

  // The statement part: from after the column headings to the empty line
  // before the summary.
  std::string body() const {
    std::size_t from = listing.find(headings);
    std::size_t to = listing.rfind("\r\nAssembly complete,");
    if (from == std::string::npos || to == std::string::npos) return "(no body)";
    from += headings.size();
    return to >= from ? listing.substr(from, to - from) : "(no body)";
  }

  // Everything from the first line of the symbol table on.
  std::string symbol_table() const {
    std::size_t from = listing.find("Cross reference & Symbol table listing\r\n");
    if (from == std::string::npos) from = listing.find("Symbol table listing\r\n");
    return from == std::string::npos ? "(no symbol table)" : listing.substr(from);
  }

  std::unique_ptr<Assembly> a;
  std::string listing;
  std::string stdout_text;
  std::string stderr_text;

 private:
  test::ScratchFolder folder_;
};

// The first 59 columns of a statement line: the location field and the
// object bytes as printed, the relocation mark ("R " or "  "), then the
// include level and the two line numbers in their columns (33, 36..47 and
// 48..58).
inline std::string fields(std::string_view location, std::string_view object,
                          std::string_view mark, int level, int in_file, int in_listing) {
  std::string line(location);
  line += object;
  line.append(31 - line.size(), ' ');
  line += mark;
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, "+%d %10d  %10d ", level, in_file, in_listing);
  return line + numbers;
}

// Ten blanks: the location field of statements that show no location.
inline constexpr std::string_view no_location = "          ";

}  // namespace koral::listing_test
