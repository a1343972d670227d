// Decoding of KORAL instructions from the assembler's own instruction table:
// for every form the table gives the opcode bytes and the encoder (the order
// of opcode bytes and operand fields); the operand shapes below say what
// each field of a form holds.  A byte sequence is matched against the forms
// in table order; relocated items of the module stand in for the fields
// (and, for bit numbers, JRS displacements and CALLV vectors, for the whole
// opcode byte) that the linker fills in.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "expression_tree.h"

namespace koraldump {

// One byte of code, or a byte of a relocated item (`item` >= 0).
struct CodeCell {
  uint8_t byte = 0;
  int32_t item = -1;
};

// A relocated item in the code: its shape and the cells it covers.
struct CodeItem {
  ItemShape shape;
  std::size_t first_cell = 0;
  uint32_t size = 0;
};

struct CodeView {
  const CodeCell* cells = nullptr;
  std::size_t count = 0;
  const CodeItem* items = nullptr;
  // The source text of item `item`'s operand, for a field that starts
  // `field_offset` bytes after the instruction.
  std::function<std::string(int item, uint32_t field_offset)> item_text;
  // The source text of a jump target `delta` bytes from the instruction.
  std::function<std::string(int64_t delta)> target_text;
};

struct DecodedInstruction {
  int32_t mnemonic = 0;
  int32_t form = 0;
  uint32_t length = 0;
  std::string text;        // mnemonic and operands in source syntax
  bool canonical = true;   // the assembler encodes this text to these bytes
};

// The instruction at cell `at`, using no cell at or beyond `limit`.  When
// several forms match, the first one whose text the assembler encodes back
// to the same bytes wins; a match that the assembler would encode otherwise
// is returned with `canonical` cleared only when nothing better matched.
std::optional<DecodedInstruction> decode_instruction(const CodeView& view, std::size_t at, std::size_t limit);

// Decoding of plain bytes with no relocated items, jump targets as $ plus or
// minus the distance.
std::optional<DecodedInstruction> decode_bytes(const std::vector<uint8_t>& bytes);

// The name of a mnemonic value as the source writes it.
std::string mnemonic_name(int32_t mnemonic);

}  // namespace koraldump
