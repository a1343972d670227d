// What each operand field of each instruction form holds.  The opcode bytes
// and the layout of every form come from the assembler's instruction table;
// this table adds, form by form and in the same order, the kind of each
// operand, so that the fields the encoder laid out can be read back.
#pragma once

#include <cstdint>
#include <span>

namespace koraldump {

enum class Shape : uint8_t {
  none,
  reg8,         // 8-bit register, code merged
  reg8_x8,      // 8-bit register, code times 8 merged
  reg16,        // 16-bit register, code merged
  reg16_x8,     // 16-bit register, code times 8 merged
  reg16_pair,   // WA, BC, DE or HL (PUSH and POP form 0)
  reg16_index,  // IX, IY or IZ (PUSH and POP form 1)
  reg16_div,    // WA, DE or HL (DIV)
  cond_short,   // condition of the short group, merged
  cond_ext,     // condition of the extended group, merged
  rel5,         // 5-bit displacement, merged
  rel8,         // 8-bit displacement
  vector4,      // CALLV vector number, merged
  imm8, imm16, imm24,
  imm_mnx,      // two bytes, three after an index register
  direct8,      // [x]: one address byte
  mem_src, mem_dst,
  sp_plus,      // SP+d, d in one byte
  sp_minus,     // SP-d, the byte holds the magnitude of d
  sp_relocated, // SP+d with a relocatable d: both bytes come from the linker
  fixed,        // written as the text given (a register, a condition, [HL], 0, 1)
};

enum class Suffix : uint8_t { none, bit, register_a };

struct OperandShape {
  Shape shape = Shape::none;
  const char* text = nullptr;  // for Shape::fixed
  Suffix suffix = Suffix::none;
};

struct FormShape {
  OperandShape operand[2];
  int count() const { return (operand[0].shape != Shape::none) + (operand[1].shape != Shape::none); }
};

// The operand shapes of a mnemonic's forms, in form order; empty for the
// values that name no mnemonic and for J and CAL, whose forms are sequences
// of other instructions.
std::span<const FormShape> form_shapes(int32_t mnemonic);

}  // namespace koraldump
