// Annotated instruction sources: every file under sources/ is assembled by a
// whole run with a listing, and each line is compared with the expectations
// written in its comment:
//
//     LD   A,[HL]        ; CHECK: 0D
//     LD   HL,ext        ; CHECK: 4B 00 00 R
//     MUL  A,W           ; CHECK: 00 00  CHECK-ERR: 230
//
// "CHECK:" lists the object bytes the line shows in the listing, in order; a
// final "R" says the line carries the relocation mark, and without it the
// line must not.  "CHECK-ERR:" lists the diagnostic codes printed for the
// line, in the order printed.  A line without "CHECK-ERR:" must report
// nothing.  Option lines at the head of a source set its options.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "driver/assembly.h"
#include "support/whole_run.h"

namespace koral {
namespace {

namespace fs = std::filesystem;

fs::path sources_folder() { return fs::path(__FILE__).parent_path() / "sources"; }

std::vector<std::string> annotated_sources() {
  std::vector<std::string> names;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(sources_folder(), error))
    if (entry.path().extension() == ".asm") names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// What one source line showed or is expected to show.
struct LineResult {
  std::vector<int> bytes;  // object bytes
  bool relocatable = false;
  std::vector<int> codes;  // diagnostics printed
};

struct Expectation {
  bool has_bytes = false;
  LineResult want;
  std::string malformed;  // a word that is neither a byte nor a code
};

int hex_byte(const std::string& word) {
  if (word.size() != 2 || !std::isxdigit(static_cast<unsigned char>(word[0])) ||
      !std::isxdigit(static_cast<unsigned char>(word[1])))
    return -1;
  return static_cast<int>(std::strtol(word.c_str(), nullptr, 16));
}

Expectation expectation_of(const std::string& line) {
  Expectation e;
  std::size_t comment = line.find(';');
  if (comment == std::string::npos) return e;
  std::istringstream words(line.substr(comment + 1));
  enum { none, bytes, codes } reading = none;
  std::string word;
  while (words >> word) {
    if (word == "CHECK:") {
      reading = bytes;
      e.has_bytes = true;
    } else if (word == "CHECK-ERR:") {
      reading = codes;
    } else if (reading == bytes && word == "R") {
      e.want.relocatable = true;
    } else if (reading == bytes && hex_byte(word) >= 0 && !e.want.relocatable) {
      e.want.bytes.push_back(hex_byte(word));
    } else if (reading == codes && word.find_first_not_of("0123456789") == std::string::npos) {
      e.want.codes.push_back(std::atoi(word.c_str()));
    } else if (reading != none) {
      e.malformed = word;
      reading = none;
    }
  }
  return e;
}

// Statement lines of the listing: location, object bytes from column 10,
// the relocation mark in column 31, "+depth", the line in its file; byte
// continuation lines follow with ten blanks and bytes alone.
void read_listing(const std::string& text, std::map<int, LineResult>& lines) {
  LineResult* last = nullptr;
  for (const std::string& row : split_lines(text)) {
    unsigned depth = 0, line = 0, listing_line = 0;
    if (row.size() > 59 && row[33] == '+' &&
        std::sscanf(row.c_str() + 33, "+%u %u %u", &depth, &line, &listing_line) == 3) {
      last = &lines[static_cast<int>(line)];
      last->relocatable = row[31] == 'R';
    } else if (!(last && row.size() > 10 && row.compare(0, 10, std::string(10, ' ')) == 0 &&
                 hex_byte(row.substr(10, 2)) >= 0)) {
      last = nullptr;
      continue;
    }
    for (std::size_t at = 10; at + 1 < 31 && hex_byte(row.substr(at, 2)) >= 0; at += 2)
      last->bytes.push_back(hex_byte(row.substr(at, 2)));
  }
}

void read_diagnostics(const std::string& text, const std::string& name, std::map<int, LineResult>& lines,
                      std::vector<std::string>& unplaced) {
  for (const std::string& row : split_lines(text)) {
    int line = 0, code = 0;
    char severity[16];
    if (row.rfind(name + " ", 0) == 0 &&
        std::sscanf(row.c_str() + name.size(), " %d : ASMKORAL-%15[A-Za-z]-%d", &line, severity, &code) == 3)
      lines[line].codes.push_back(code);
    else if (row.find("ASMKORAL-") != std::string::npos)
      unplaced.push_back(row);
  }
}

std::string shown(const LineResult& r) {
  std::string out = "bytes [";
  char text[4];
  for (int b : r.bytes) {
    std::snprintf(text, sizeof text, " %02X", b);
    out += text;
  }
  out += r.relocatable ? " R ]" : " ]";
  out += " codes [";
  for (int c : r.codes) {
    out += ' ';
    out += std::to_string(c);
  }
  return out + " ]";
}

class AnnotatedSource : public ::testing::TestWithParam<std::string> {};

TEST_P(AnnotatedSource, EachLineAsAnnotated) {
  const std::string name = GetParam();
  const std::string source = read_file(sources_folder() / name);
  ASSERT_FALSE(source.empty()) << name;

  test::ScratchFolder folder;
  const fs::path dir = folder.path();
  fs::copy_file(sources_folder() / name, dir / name);
  auto a = std::make_unique<Assembly>();
  test::RunOutput run = test::run_in_folder(*a, folder.path(), {"-$", "-l", name});
  ASSERT_NE(run.status, -1);
  const int status = run.status;
  const std::string& errors = run.err;
  std::string listing = read_file(dir / fs::path(name).replace_extension(".lst"));
  ASSERT_LE(status, exit_errors) << errors;

  std::map<int, LineResult> got;
  std::vector<std::string> unplaced;
  read_listing(listing, got);
  read_diagnostics(errors, name, got, unplaced);
  EXPECT_TRUE(unplaced.empty()) << unplaced.front();

  int checks = 0;
  std::vector<std::string> lines = split_lines(source);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int number = static_cast<int>(i + 1);
    const Expectation e = expectation_of(lines[i]);
    const LineResult& r = got[number];
    const std::string where = name + ":" + std::to_string(number) + ": " + lines[i] + "\n  got " + shown(r);
    EXPECT_TRUE(e.malformed.empty()) << where << "\n  cannot read \"" << e.malformed << "\"";
    if (e.has_bytes) {
      ++checks;
      EXPECT_EQ(r.bytes, e.want.bytes) << where;
      EXPECT_EQ(r.relocatable, e.want.relocatable) << where;
    }
    if (!e.want.codes.empty()) ++checks;
    EXPECT_EQ(r.codes, e.want.codes) << where;
  }
  EXPECT_GT(checks, 0) << name << " holds no expectation";
}

INSTANTIATE_TEST_SUITE_P(Isa, AnnotatedSource, ::testing::ValuesIn(annotated_sources()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string id = fs::path(info.param).stem().string();
                           for (char& c : id)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return id;
                         });

}  // namespace
}  // namespace koral
