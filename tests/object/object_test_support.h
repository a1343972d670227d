// Helpers of the object writer tests: a fresh run that writes its module to
// a temporary directory, sections and symbols entered through the symbol
// table, and byte strings written as hexadecimal text.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "driver/assembly.h"
#include "object/object_writer.h"
#include "symbols/hash.h"
#include "symbols/symbol_table.h"
#include "support/whole_run.h"

namespace koral::object_test {

using Bytes = std::vector<uint8_t>;

// "E4 03 12 34 56" or "E40312" as bytes; blanks and commas are ignored.
inline Bytes hex(std::string_view text) {
  Bytes out;
  int half = -1;
  for (char c : text) {
    int v;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else continue;
    if (half < 0) {
      half = v;
    } else {
      out.push_back(static_cast<uint8_t>(half * 16 + v));
      half = -1;
    }
  }
  return out;
}

inline Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline Bytes text_bytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

inline std::string show(const Bytes& bytes) {
  std::string out;
  char buffer[4];
  for (uint8_t b : bytes) {
    std::snprintf(buffer, sizeof buffer, "%02X ", b);
    out += buffer;
  }
  return out;
}

// A directory of its own for each run's module.
using TempDirectory = test::ScratchFolder;

inline std::tm worked_example_time() {
  std::tm t{};
  t.tm_year = 126;  // 2026
  t.tm_mon = 11;    // December
  t.tm_mday = 4;
  t.tm_hour = 15;
  t.tm_min = 30;
  t.tm_sec = 0;
  return t;
}

// A run whose object module goes to <dir>/<stem>.rel.
struct ObjectRun {
  TempDirectory dir;
  std::unique_ptr<Assembly> run = std::make_unique<Assembly>();
  Assembly& a = *run;

  explicit ObjectRun(std::string_view module = "demo") {
    a.settings.source_name = std::string(module) + ".asm";
    a.settings.object_name = dir.path() + "/" + std::string(module) + ".rel";
    a.run.module_name = std::string(module);
    a.run.command_line = "asmKORAL " + a.settings.source_name;
    a.run.time_stamp = worked_example_time();
    a.run.pass = pass_final;
  }

  Section& section(std::string_view name, int32_t kind, int32_t size_attribute, uint32_t size,
                   uint32_t start = 0, uint32_t alignment = 1) {
    lookup_section(a, name, hash_name(name));
    Section& s = *insert_name(a, name, kind).section;
    s.size_attribute = size_attribute;
    s.size = size;
    s.start = start;
    s.alignment = alignment;
    s.location = start;
    return s;
  }

  Symbol& symbol(std::string_view name, int32_t kind, Section* home = nullptr, int32_t value = 0) {
    lookup_symbol(a, name, hash_name(name));
    Symbol& s = *insert_name(a, name, kind).symbol;
    s.section = home;
    s.value = value;
    return s;
  }

  // Makes `s` current for the statement handlers and the writer.
  void enter(Section& s) {
    a.run.section = &s;
    object_section_switch(a, &s);
  }

  // Finishes the module, closes the file and returns its bytes.
  Bytes finish() {
    object_finish(a);
    if (a.object.stream) std::fclose(a.object.stream);
    a.object.stream = nullptr;
    return read_file(a.settings.object_name);
  }

  static Bytes read_file(const std::string& path) {
    Bytes bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    int c;
    while ((c = std::getc(f)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
    return bytes;
  }
};

// Part offset k read back from the ASW table of a finished module.
inline uint32_t part_offset(const Bytes& module, uint32_t table, int k) {
  const uint32_t at = table + 8 * static_cast<uint32_t>(k) + 4;
  if (at + 4 > module.size()) return 0xFFFFFFFF;
  return (uint32_t(module[at]) << 24) | (uint32_t(module[at + 1]) << 16) |
         (uint32_t(module[at + 2]) << 8) | module[at + 3];
}

// The bytes from `from` up to `to`.
inline Bytes slice(const Bytes& module, uint32_t from, uint32_t to) {
  if (from > to || to > module.size()) return {};
  return Bytes(module.begin() + from, module.begin() + to);
}

}  // namespace koral::object_test
