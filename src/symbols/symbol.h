// A user symbol: label, EQU name, PUBLIC or EXTERN name, or "$".
#pragma once

#include <cstdint>

namespace koral {

struct Section;

// The kind field of a symbol entry.  The numbers are shared with the token
// classes and statement kinds.
enum SymbolKind : int32_t {
  kind_public_undefined = 0,  // declared PUBLIC, not (yet) defined
  kind_label = 1,             // label defined in a section, not public
  kind_public_label = 2,      // public label, defined with a colon
  kind_public_variable = 3,   // public variable, defined without a colon
  kind_forward = 4,           // referenced before its definition
  kind_public_equ = 5,        // public EQU name
  kind_equ = 305,             // EQU name
  kind_late_public = 306,     // label made public after its definition
  kind_external = 307,        // EXTERN name
  kind_location = 309,        // the location-counter symbol "$"
  kind_deleted = 310,         // skipped by every lookup and walk
};

// Attribute bits.
enum SymbolAttribute : uint32_t {
  attribute_late_definition = 0x8,  // defined in pass 2 or the final pass
};

// Status bits.
enum SymbolStatus : uint8_t { status_multi_defined = 0x1 };

// Head of the cross-reference chain of a symbol or section: where its first
// block lies in the cross-reference file, how many records it has, and where
// the next record goes.
struct ReferenceChain {
  int32_t first_block = 0;
  int32_t count = 0;
  int32_t next_record = 0;
};

struct Symbol {
  Symbol* link = nullptr;       // next entry of the same hash chain
  const char* name = nullptr;   // in the permanent name pool, case as written
  int32_t kind = 0;
  int32_t value = 0;            // label: offset in its section; EQU: the value
  Section* section = nullptr;   // section of a label; none for EQU, PUBLIC-only, EXTERN
  int32_t object_index = 0;     // number in the object module
  int32_t file_index = -1;      // position of the definition or declaration
  int32_t line_in_file = 0;
  int32_t listing_line = 0;
  ReferenceChain references;
  uint32_t attributes = 0;      // SymbolAttribute and the data-type bits
  uint8_t status = 0;           // SymbolStatus
  int32_t model = 0;            // EXTERN: 8, 16, 24 or 0
  int32_t data_size = 0;        // item count or size recorded by the data directives
  uint32_t name_length = 0;
  uint32_t handle = 0;          // stable number of the entry, 1 for the first
};

}  // namespace koral
