// Operands of an instruction statement: the view of an instruction record and
// its operand records, the tests the classification rules apply to operands,
// the range checks of values against field widths, and the classification of
// memory operands into addressing modes.
#pragma once

#include <cstdint>

#include "expr/evaluate.h"
#include "isa/instruction_table.h"
#include "source/statement_record.h"

namespace koral {

struct Assembly;

// Field types: how classification says an operand becomes bytes.  The
// implied operand (no bytes) is `field_implied` of the statement record.
enum FieldType : int32_t {
  field_register8 = 1,        // code merged
  field_register8_x8 = 1001,  // code × 8 merged
  field_register16 = 2,
  field_register16_x8 = 1002,
  field_relative5 = 6,        // displacement & 31 merged
  field_relative8 = 7,        // one displacement byte
  field_immediate4 = 9,       // value & 15 merged (the CALLV vector)
  field_byte = 11,            // immediate or short direct address
  field_word = 12,            // immediate, low byte first
  field_long = 13,            // immediate or address, three bytes
  field_hl_implied = 14,      // [HL] of the one-byte LD A,[HL] and LD [HL],A
  field_condition = 21,       // condition code merged
  field_memory = 22,          // prefix merged, then the mode's bytes
};

// The instruction in hand: its record and the (at most two) operand records
// linked from it, all in the body of the statement record.
struct Instruction {
  InstructionRecord* record = nullptr;
  OperandRecord* operand[2] = {nullptr, nullptr};
  int count = 0;

  int32_t mnemonic() const { return record->mnemonic; }
  int32_t form() const { return record->form; }
};

Instruction instruction_view(InstructionRecord& record);

// The offset that links `from` to `to` inside one statement record body.
int32_t body_offset(const void* from, const void* to);

// Storage for one more operand record at the end of the body of the
// statement record being built (pass 1), zeroed.
using OperandAllocator = OperandRecord* (*)(Assembly& a);

// --- operand tests ----------------------------------------------------------

inline bool has_bits(const OperandRecord& op) { return op.bit_designator != 0; }
inline bool is_register_operand(const OperandRecord& op) { return op.syntax_class == class_register; }
inline bool is_register(const OperandRecord& op, int32_t reg) {
  return op.syntax_class == class_register && op.reg == reg;
}
inline bool is_register8_operand(const OperandRecord& op) {
  return op.syntax_class == class_register && is_register8(op.reg);
}
inline bool is_register16_operand(const OperandRecord& op) {
  return op.syntax_class == class_register && is_register16(op.reg);
}
inline bool is_condition_operand(const OperandRecord& op) { return op.syntax_class == class_condition; }
inline bool is_value_operand(const OperandRecord& op) { return op.syntax_class == class_value; }
inline bool is_relocatable(uint32_t kind) { return (kind & relocatable_kinds) != 0; }

// --- widths kept with an evaluated operand ------------------------------------
//
// Evaluation stores the declared width of the operand's expression and, for a
// relocatable value, its relocatable width for each signedness in the first
// classification word, one byte each: declared, signed, unsigned, either.
// Classification and encoding then need no tree walk.

void store_widths(OperandRecord& op, int declared, int signed_width, int unsigned_width,
                  int either_width);
int declared_width_of(const OperandRecord& op);
int relocatable_width_of(const OperandRecord& op, Signedness signedness);

// --- range checks -------------------------------------------------------------

struct RangeResult {
  bool fits = true;
  bool overflow = false;
};

// Lowest and highest value a field of `bits` bits holds with `signedness`;
// `stack_adjust` selects the bound of LD SP,SP+d.
void range_bounds(int bits, Signedness signedness, bool stack_adjust, int64_t& low, int64_t& high);

// Checks the operand's value against a field of `bits` bits.  With `report`
// set, the final pass reports what does not fit: error 227 for JRS and JR,
// else warning 501 (the low bits are used).  Outside the final pass an
// out-of-range value counts as fitting and only sets the overflow flag.
RangeResult range_check(Assembly& a, int32_t mnemonic, const OperandRecord& op, int bits,
                        Signedness signedness, bool report);

// The same check for a value known at once (a displacement already
// computed), compared with the bounds alone.
RangeResult range_check_value(Assembly& a, int32_t mnemonic, int32_t value, int bits,
                              Signedness signedness, bool report);

// An immediate of `bits` bits: a value operand whose range check fits.
bool is_immediate(Assembly& a, int32_t mnemonic, const OperandRecord& op, int bits);

// --- memory operands ----------------------------------------------------------

constexpr int32_t not_memory = -1;

// The addressing mode of a memory operand (destination codes when
// `destination` is set), or not_memory.
int32_t memory_mode(Assembly& a, int32_t mnemonic, const OperandRecord& op, bool destination);

// Source mode: an even code; destination mode: an odd code ([SP-] included).
inline bool is_source_mode(int32_t mode) { return mode != not_memory && (mode & 1) == 0; }
inline bool is_destination_mode(int32_t mode) { return mode != not_memory && (mode & 1) == 1; }

// A direct operand whose memory classification is the short direct mode.
bool is_short_direct(Assembly& a, int32_t mnemonic, const OperandRecord& op);

// [HL] written as a register-indirect operand.
inline bool is_hl_indirect(const OperandRecord& op) {
  return op.syntax_class == class_indirect && op.reg == reg_hl;
}

}  // namespace koral
