// A section descriptor as the symbol table keeps it.  The symbol table owns
// the chaining, the name, the kind, the serial number and the reference
// chain; the location-counter fields belong to the sections handlers, which
// set them (they all start at 0).
#pragma once

#include <cstdint>

#include "symbols/symbol.h"

namespace koral {

// Kind bits of a section (0 for one referenced before its SECTION
// statement, kind_deleted for a deleted one).
enum SectionKindBit : int32_t {
  section_absolute = 1,
  section_code = 2,
  section_data = 4,
  section_romdata = 8,
};

struct Section {
  Section* link = nullptr;      // next descriptor of the same hash chain
  const char* name = nullptr;   // in the permanent name pool
  int32_t kind = 0;
  uint32_t serial = 0;          // 1, 2, 3 ... in order of creation
  ReferenceChain references;
  uint32_t name_length = 0;
  uint32_t handle = 0;          // stable number of the descriptor, 1 for the first

  // Maintained by the sections handlers.
  uint32_t size = 0;
  uint32_t start = 0;
  uint32_t location = 0;        // location counter
  int32_t bytes_saved = 0;      // in the current pass-2 iteration
  uint32_t alignment = 0;
  uint32_t label_alignment = 0;
  int32_t size_attribute = 0;   // 0, 8, 16 or 24
  int32_t file_index = -1;      // where the section was first defined
  int32_t line_in_file = 0;
  int32_t listing_line = 0;
};

}  // namespace koral
