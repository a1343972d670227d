// What the debug directives and the automatic line records collect for the
// debug blocks of the object module: the line-record file and the debug file
// table (BB5), the type groups (BB1), and the symbol and scope records
// (BB3).  Pass 1 fills it; pass 2 corrects locations; the head phase of the
// object writer turns it into blocks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace koral {

struct Section;

// --- line records (the bb5 temporary file) ---------------------------------------------

enum LineRecordKind : int32_t {
  line_enter_file = 0,   // a file entered (first seen, or an include entered again)
  line_return_file = 1,  // back to a file already seen
  line_relocatable = 2,  // a line in a relocatable section
  line_absolute = 3,     // a line in an absolute section
  line_no_section = 4,   // a line outside any section: left out of BB5
};

// One record of the file: five 32-bit little-endian words in this order.
struct LineRecord {
  int32_t kind = 0;
  int32_t reference = 0;  // files: debug file table row; lines: section index
  int32_t line = 0;
  int32_t column = 0;
  int32_t offset = 0;     // lines: code offset in the section
};
constexpr uint32_t line_record_size = 20;

// A row of the debug file table.
struct DebugFile {
  std::string name;
  uint32_t variable = 0;          // N index of its current line-number variable
  int32_t entries = 0;            // times entered while BB5 is written
  int32_t variables_issued = 0;   // line-number variables issued for it
};

// A line record whose location pass 2 corrects: its number in the file and
// the statement that wrote it (the statement record's token-file offset).
struct LineOwner {
  uint32_t record = 0;
  int64_t statement = 0;
};

struct LineRecordFile {
  static constexpr std::size_t max_files = 2001;

  std::vector<DebugFile> files;
  std::unordered_map<std::string, uint32_t> file_rows;  // name -> row, byte for byte
  bool open = false;            // created at the first record
  uint32_t count = 0;           // records written
  std::vector<LineOwner> owners;

  // Automatic mode: the inclusions whose enter record is open, outermost
  // first.  An inclusion is its source-file table row and the line of the
  // including file that included it (0 for the main source), so a file
  // included again, even right after its last inclusion, is a new one.
  struct Inclusion {
    uint32_t file = 0;
    int32_t including_line = 0;
    bool operator==(const Inclusion&) const = default;
  };
  std::vector<Inclusion> chain;
  bool file_directive_seen = false;  // a FILE statement wrote a record
  bool line_pending = false;    // a LINE statement's record waits for its statement record
  LineRecord pending;

  // Pass 2: the iteration being replayed, the next owner to correct and the
  // file position the next sequential read starts at.
  int32_t iteration = -1;
  std::size_t cursor = 0;
  long position = 0;
  bool wrote_last = false;      // the last operation on the file was a write
  uint32_t rewrites = 0;        // records rewritten with a new location
};

// --- types (BB1) ---------------------------------------------------------------------------

// A field of a TY record: a number or a name.
struct TypeField {
  bool is_name = false;
  uint32_t number = 0;
  std::string_view name;  // kept in the permanent name pool
};

// One NN + TY record group.
struct TypeGroup {
  std::string_view name;  // empty for anonymous types
  uint32_t index = 0;     // the type index it defines
  uint8_t letter = 0;
  std::vector<TypeField> fields;
};

struct DebugTypes {
  static constexpr uint32_t first_user_index = 256;
  uint32_t next_index = first_user_index;
  std::unordered_map<int32_t, uint32_t> mapped;  // source type number -> type index
  std::vector<TypeGroup> groups;                 // in the order of their directives
};

// --- symbols and scopes (BB3) ------------------------------------------------------------

// How a symbol record is written: a storage kind 1..10, or one of the two
// forms that follow the directive's class.
enum StorageKind : int32_t {
  storage_automatic = 1,   // ATN 1 value (second form: ATN 10 with two numbers)
  storage_register = 2,    // ATN 2 value
  storage_static = 3,      // ATN 3, ASN section-relative address
  storage_external = 4,    // ATN 4
  storage_global = 8,      // ATN 8, ASN section-relative address
  storage_code_label = 9,  // ATN type 0, 9, address - function start
  storage_fixed = 10,      // ATN 8 or 3, ASN the value
  storage_constant = 16,   // class 16: ATN type 0, 16, 4, 0, omitted, name
  storage_frame = 51,      // class 51: ATN type 0, 62, 51, 2 and two ASN
};

struct DebugLocation {
  Section* section = nullptr;  // none outside any section
  uint32_t offset = 0;         // location counter value
};

struct DebugSymbol {
  std::string_view name;
  uint32_t type = 0;       // type index
  int32_t storage_class = 0;
  int32_t kind = 0;        // StorageKind, or the class itself for other classes
  int32_t value = 0;
  bool second_form = false;  // kind 1: ATN 10 with two numbers
  bool static_flag = false;  // kind 10: ATN 3 instead of 8
  bool describes_label = false;  // the label of the same name is left out of BB10
  bool has_location = false;     // the directive took the current location
  DebugLocation location;
  int32_t scope = -1;      // enclosing scope, -1 for the module list
};

struct DebugScope {
  std::string_view name;
  uint32_t first_number = 0;
  uint32_t type = 0;       // type index, or 0
  int32_t parent = -1;
  bool closed = false;
  DebugLocation start;
  DebugLocation end;       // where the closing directive stood
  std::vector<uint32_t> symbols;   // records, in order
  std::vector<uint32_t> children;  // nested scopes, in order
};

struct DebugSymbols {
  std::vector<DebugSymbol> records;
  std::unordered_map<std::string_view, uint32_t> by_name;  // newest record of a name
  std::vector<uint32_t> module_list;   // records outside any function scope
  std::vector<DebugScope> scopes;
  std::vector<uint32_t> top_scopes;    // scopes opened at module level
  int32_t innermost = -1;              // the innermost open scope
  bool tool_given = false;
  int32_t tool_number = 0;
  int32_t tool_value = 0;              // the further value of the identification
};

struct DebugInfo {
  LineRecordFile lines;
  DebugTypes types;
  DebugSymbols symbols;
};

}  // namespace koral
