// The object module file as the run opens, keeps and removes it, and the
// state of the writer that fills it: the record being composed, the output
// block, the position reached and the offsets of the module's parts.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace koral {

struct Section;

// Indices of the part offsets W0..W7 kept in the module's ASW records.
enum ObjectPart : int {
  part_attributes = 0,   // W0 attribute-extension part
  part_environment = 1,  // W1 environment part
  part_sections = 2,     // W2 section part
  part_externals = 3,    // W3 external part
  part_debug = 4,        // W4 debug-information part
  part_data = 5,         // W5 data part
  part_trailer = 6,      // W6 trailer part
  part_end = 7,          // W7 module end
  part_count = 8,
};

// What the debug directives tell the module head: a tool identification
// (SYMBOL_A of class 54) and, in compiler-debug mode, the source file name
// that the assembler-information block names.
struct ToolIdentification {
  bool given = false;
  uint32_t tool_number = 0;
  std::string version;  // the version text as written
};

struct ObjectFile {
  static constexpr uint32_t block_size = 8192;
  static constexpr std::size_t record_room = 16 * 1024;

  std::FILE* stream = nullptr;  // open while the module is written
  std::string path;             // full path of the file created

  // The record (or small group of records) being composed.
  std::vector<uint8_t> record;
  // The output block; allocated when the file is opened, absent with object
  // output off (records then only advance the position).
  std::unique_ptr<uint8_t[]> block;
  uint32_t block_fill = 0;
  // Bytes of the module emitted so far: the file offset of the next record.
  uint32_t position = 0;

  uint32_t part_offsets[part_count] = {};
  uint32_t part_table_offset = 0;  // the 64 bytes of ASW records
  uint32_t status_offset = 0;      // the execution-status byte of ATN 52

  Section* section = nullptr;      // the section the data records refer to
  bool location_pending = false;   // a section switch awaits its load address
  uint32_t section_switches = 0;

  std::string expression_text;     // the postfix text of the item in hand

  ToolIdentification tool;
  std::string debug_source_name;   // empty: the source file name as given
};

}  // namespace koral
