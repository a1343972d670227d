// What the data, fill, storage and floating-data directives share: the
// section rule, the marks a data statement leaves on its label, the ranges
// of the data units, the walk over a statement's data items, and the
// hand-over of the statement's bytes to the listing buffer and the object
// writer.
#pragma once

#include <cstdint>
#include <vector>

#include "expr/expression.h"

namespace koral {

struct Assembly;
struct DataItem;

// Data-type marks a data statement records on its label, read by the object
// writer and the listing.
enum DataMark : uint32_t {
  data_mark_bytes = 0x10,     // DB, DFB, DSB
  data_mark_words = 0x20,     // DW, DFW, DSW
  data_mark_longs = 0x40,     // DP, DL and their fill and storage forms
  data_mark_single = 0x100,   // FDATAS
  data_mark_double = 0x200,   // FDATAD
  data_mark_extended = 0x400, // FDATAX
};

// Longest string operand of DB and DFB; a longer one is error 209.
constexpr int32_t max_data_string = 511;

// Bytes of one element of a data, fill or storage directive: 1, 2, 3 or 4.
uint32_t unit_of(int32_t kind);

// The data-type mark of a unit size (1, 2, 3 or 4 bytes).
uint32_t mark_of_unit(uint32_t unit);

// Pass 1 of a data, fill or storage statement: it needs a section (without
// one error 215 and false); in the wrong kind of section (initialised data
// outside CODE and ROMDATA, storage outside DATA) warning 505.  The variable
// named before the statement is defined here, before the operands are
// evaluated, so that they see it at its place.
bool begin_data_statement(Assembly& a, bool storage);

// Records the data-type mark and the element count on the statement's
// label, if it has one.
void mark_data_label(Assembly& a, uint32_t mark, int32_t count);

// The range test of an absolute value of `unit` bytes: -128..255,
// -32768..65535, -8388608..0xFFFFFF; four bytes hold every value.
bool unit_holds(int32_t value, uint32_t unit);

// A relocatable value fits `unit` bytes when the bits its known part needs
// are no more than the unit holds.
bool unit_holds_relocatable(int32_t known_value, uint32_t unit);

// The data items of a list statement: the first one (nullptr without), and
// the one after `item` (nullptr after the last).
DataItem* first_data_item(Assembly& a);
DataItem* next_data_item(DataItem* item);

// Statement size of `count` elements of `unit` bytes limited to 10000 bytes
// (warning 501 when the limit cuts).
uint32_t limited_data_size(Assembly& a, uint64_t size);

// --- hand-over of the final pass ----------------------------------------------------

// One piece of a statement's output, in the order of the bytes.
struct DataPiece {
  enum Kind : uint8_t {
    run,         // absolute bytes loaded together
    characters,  // string characters, each loaded on its own
    block,       // one element of a fill: loaded as one item
    relocated,   // a field whose value the linker computes
  };
  Kind kind;
  uint32_t start;   // first byte in the code buffer
  uint32_t length;  // bytes in the code buffer
  ArenaRef expression;  // relocated: the field's expression
};

struct DataOutputState {
  std::vector<DataPiece> pieces;  // reused from statement to statement
  uint32_t limit = 0;             // bytes the statement may hold
  uint32_t repeat = 0;            // a fill's repeat count, 0 for plain data
};

// Starts the output of a statement of at most `limit` bytes: the code
// buffer (which the listing shows) and the piece list are emptied.
void begin_data_output(Assembly& a, uint32_t limit);

// Absolute bytes; they join the absolute bytes just before them.
void put_data_bytes(Assembly& a, const uint8_t* bytes, uint32_t length);
// An absolute value of `unit` bytes, least significant byte first.
void put_data_value(Assembly& a, int32_t value, uint32_t unit);
// A relocatable value: the known part goes to the listing, the expression to
// the object module.
void put_data_relocated(Assembly& a, ArenaRef expression, int32_t known_value, uint32_t unit);
// The characters of a string operand.
void put_data_characters(Assembly& a, const uint8_t* text, uint32_t length);
// Bytes that form one element of their own (the string of a fill).
void put_data_block(Assembly& a, const uint8_t* bytes, uint32_t length);

// The element that follows is repeated `count` times (fills).
void repeat_data(Assembly& a, uint32_t count);

// Hands the statement's pieces to the object writer, unless object output
// is off; the code buffer keeps the bytes for the listing.
void hand_over_data(Assembly& a);

// Ends a data statement in the final pass: its size is the one its record
// keeps; an error found now keeps its bytes out of the object module.
void finish_final_data(Assembly& a);

}  // namespace koral
