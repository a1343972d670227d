// Sections and location counters: making a section current, the per-pass
// reset, and the alignment helpers that statements share.
#pragma once

#include <cstdint>

namespace koral {

struct Assembly;
struct Section;

constexpr uint32_t highest_address = 0xFFFFFF;

struct SectionState {
  bool section_seen = false;    // a SECTION statement was handled in pass 1
  bool align_exemption = false; // the next label is not moved by label alignment
  int32_t module_listing_line = 0;
};

// Makes `section` current; in pass 2 the section it replaces takes its size.
void make_current(Assembly& a, Section* section);

// Start of every pass: no section is current, every counter is 0.
void reset_sections(Assembly& a);

// End of a pass-2 iteration: the current section takes its size.
void finish_section_sizes(Assembly& a);

// Bytes that bring the current location counter to a multiple of n (0 when
// n is 0 or the counter is aligned already).
uint32_t pad_to_multiple(Assembly& a, uint32_t n);

// A label is about to be defined in pass 2 or the final pass: the location
// counter moves to the section's label alignment (the first label after an
// ALIGN excepted); in the final pass the gap goes to the object module.
void align_label(Assembly& a);

}  // namespace koral
