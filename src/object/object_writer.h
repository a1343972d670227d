// The object module writer: the head of the module after pass 2, the data
// part during the final pass, and the finish after it.  Statement handlers
// talk to it only through these operations.
#pragma once

#include <cstdint>

#include "expr/expression.h"

namespace koral {

struct Assembly;
struct Section;

// Symbol attribute bit that the debug blocks set on a label they describe
// themselves: the BB10 block leaves it out and expressions refer to it by its
// section and offset.
constexpr uint32_t attribute_debug_described = 0x1000;

// Opens the object file and writes everything up to the debug part.
void object_begin(Assembly& a);

// A SECTION statement makes `section` current.  When nothing was loaded into
// the section left since its own switch, its set-location record (with the
// location it reached) is written first.
void object_section_switch(Assembly& a, Section* section);
// A set-location record for the current section.
void object_set_location(Assembly& a, uint32_t value);
// Absolute bytes at the current location; each call starts new load records.
void object_load_bytes(Assembly& a, const uint8_t* bytes, uint32_t count);
// One relocated data field of `size` bytes whose value is the expression.
void object_load_relocated(Assembly& a, ArenaRef expression, uint32_t size);
// The next load item is repeated `count` times (written only for count > 1).
void object_repeat(Assembly& a, uint32_t count);
// Advances the location by `count` bytes, filling the gap when `fill` is
// allowed and the fill settings cover the current section's kind.
void object_skip(Assembly& a, uint32_t count, bool fill);

// How the linker is to compute a relocated instruction field.
enum class FieldTemplate : int32_t {
  plain,       // the operand's value
  bit_number,  // base + bit number, merged into the opcode byte
  short_jump,  // 5-bit relative target with its opcode (JRS)
  jump,        // 8-bit relative target (JR)
  relative,    // other relative fields (J)
  vector,      // CALLV vector number
  stack_displacement,  // LD SP,SP+d with a relocatable d
};

struct RelocatedField {
  uint32_t offset = 0;          // first byte of the field within the instruction
  uint32_t size = 0;            // bytes
  FieldTemplate kind = FieldTemplate::plain;
  ArenaRef expression = 0;      // the operand's (or bit number's) expression
  int32_t base = 0;             // bit_number: opcode base; short_jump: 0x80 or 0xA0
  int32_t adjustment = 0;       // jump, relative: the k subtracted from the displacement
};

// The code of one instruction: plain runs and relocated fields in byte order.
void object_load_instruction(Assembly& a, const uint8_t* code, uint32_t length,
                             const RelocatedField* fields, int field_count);

// Writes the module end and fills in the part offsets and the status byte.
void object_finish(Assembly& a);

}  // namespace koral
