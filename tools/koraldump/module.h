// The meaning of a module's records: the part-offset table and its checks,
// the sections, the public, external and local symbols, the attributes of
// the module head, and the data part as runs of loaded bytes and relocated
// items per section.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "object_records.h"

namespace koraldump {

constexpr int part_count = 8;
extern const char* const part_names[part_count];

struct SectionInfo {
  uint32_t index = 0;
  std::string name;
  std::string letters;        // type letters of ST
  bool absolute = false;      // letter A
  char kind = 0;              // 'P' code, 'D' data, 'R' read-only data
  uint32_t size_class = 0;    // 8 SMALL, 16 MEDIUM, 24 LARGE, 0 none
  std::optional<uint32_t> alignment, size, base;

  const char* kind_name() const;
  const char* size_class_name() const;
};

struct SymbolInfo {
  uint32_t index = 0;
  std::string name;
  bool has_attributes = false;
  uint32_t type = 0;
  std::vector<uint32_t> attributes;  // the numbers after the type
  const Expression* value = nullptr; // ASI or ASN
};

// One load item placed at its location: `repeat` copies of the item.
struct Chunk {
  uint64_t address = 0;       // offset in a relocatable section, address in an absolute one
  const LoadItem* item = nullptr;
  uint32_t repeat = 1;
  std::size_t record_offset = 0;

  uint64_t element_size() const { return item->relocated ? item->size : item->bytes.size(); }
  uint64_t length() const { return element_size() * repeat; }
};

// The loads between one SB record and the next.
struct Segment {
  uint32_t section = 0;
  std::size_t record_offset = 0;
  bool located = false;  // a load address was set
  uint64_t start = 0;    // first load address
  uint64_t end = 0;      // location reached, gaps included
  std::vector<Chunk> chunks;
};

// The symbols and chunks point into the records: a module is moved, never
// copied.
struct Module {
  Module() = default;
  Module(Module&&) = default;
  Module& operator=(Module&&) = default;
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  RecordList list;
  std::string processor, name;
  uint32_t parts[part_count] = {};
  std::map<uint32_t, SectionInfo> sections;
  std::map<uint32_t, SymbolInfo> publics, externals, locals;
  std::vector<Segment> segments;
  std::optional<std::size_t> status_offset;  // the execution-status byte
  uint32_t status = 0;

  const SectionInfo* section(uint32_t index) const {
    auto it = sections.find(index);
    return it == sections.end() ? nullptr : &it->second;
  }
  const SymbolInfo* symbol(uint8_t letter, uint32_t index) const;
};

// Reads the records and builds the model, checking what makes a module well
// formed: the head, the part offsets, block nesting, the records that refer
// to sections and symbols, and the data part.  The first fault is kept in
// module.list.error (the records before it stay readable).
Module load_module(const uint8_t* data, std::size_t size);

// The location that a set-location or start expression names: a number, or
// R s plus an optional offset.  False for any other form.
bool section_location(const Expression& e, uint32_t& section, uint64_t& value, bool& relative);

}  // namespace koraldump
