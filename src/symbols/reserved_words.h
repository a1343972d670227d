// The fixed table of reserved words: directives, controls, data directives,
// condition codes, registers and mnemonics.  Every row is entered into the
// symbol table at start-up, in table order.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace koral {

struct ReservedWord {
  std::string_view name;  // upper case
  uint32_t mode_mask;     // all ones for a mnemonic, 0 for every other word
  int32_t token_class;    // the parser token number
  int32_t value;          // register number, mnemonic number, directive kind...
  uint16_t hash;          // hash_name(name)
};

constexpr std::size_t reserved_word_count = 159;
constexpr std::size_t longest_reserved_word = 9;

// Mnemonic numbers that the lexer itself looks at.
enum MnemonicNumber : int32_t {
  mnemonic_clr = 1018,
  mnemonic_set = 1019,
  mnemonic_cpl = 1020,
  mnemonic_test = 1021,
  mnemonic_ld = 1022,
  mnemonic_and = 1030,
  mnemonic_or = 1031,
  mnemonic_xor = 1032,
};

std::span<const ReservedWord> reserved_word_table();

// The floating format (0, 32, 64 or 80) that a reserved word selects for the
// numbers that follow it: FIMS and FDATAS single, FIMDH, FIMDL and FDATAD
// double, FIMXH, FIMXM, FIMXL and FDATAX extended.
int32_t float_format_of(const ReservedWord& word);

// True for the mnemonics that put the lexer into bit-suffix mode.
bool takes_bit_suffix(const ReservedWord& word);

}  // namespace koral
