// The field encodings of the object module format: numbers, names, variable
// letters and the record-type bytes the writer uses.  Multi-byte quantities
// are written most significant byte first.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace koral {

using ObjectBytes = std::vector<uint8_t>;

// Record types.
enum ObjectRecord : uint8_t {
  record_module_begin = 0xE0,    // MB
  record_module_end = 0xE1,      // ME
  record_assign = 0xE2,          // AS: ASW, ASS, ASL, ASI, ASN, ASP
  record_load_relocated = 0xE4,  // LR
  record_section_begin = 0xE5,   // SB
  record_section_type = 0xE6,    // ST
  record_section_align = 0xE7,   // SA
  record_public_name = 0xE8,     // NI
  record_external_name = 0xE9,   // NX
  record_address = 0xEC,         // AD
  record_load_absolute = 0xED,   // LD
  record_name = 0xF0,            // NN
  record_attribute = 0xF1,       // ATI, ATN, ATX
  record_repeat = 0xF7,          // RE
  record_block_begin = 0xF8,     // BB
  record_block_end = 0xF9,       // BE
};

// Operators and brackets of object expressions.
enum ObjectOperator : uint8_t {
  operator_negate = 0xA3,
  operator_not = 0xA4,
  operator_plus = 0xA5,
  operator_minus = 0xA6,
  operator_divide = 0xA7,
  operator_multiply = 0xA8,
  operator_mod = 0xAB,
  operator_and = 0xB0,
  operator_or = 0xB1,
  operator_xor = 0xB2,
  operator_extract = 0xB3,
  operator_insert = 0xB4,
  operator_escape = 0xB9,
  bracket_relative_open = 0xBA,
  bracket_relative_close = 0xBB,
  bracket_item_open = 0xBC,
  bracket_item_close = 0xBD,
};

// The function number of the linker's range function, written before the
// escape operator.
constexpr uint8_t function_inblock = 0x04;

// An absent optional number.
constexpr uint8_t omitted_number = 0x80;

// The byte of a variable letter 'A'..'Z'.
constexpr uint8_t letter(char c) { return static_cast<uint8_t>(c + 0x80); }

// 0..127 in one byte; larger values as 0x80 + k and the value in the fewest
// k bytes.
void put_number(ObjectBytes& out, uint32_t value);

// 0x84 and the value in exactly four bytes.
void put_fixed_number(ObjectBytes& out, uint32_t value);

// The length (one byte up to 127, 0xDE and one byte up to 255, 0xDF and two
// bytes beyond) followed by the characters.
void put_name(ObjectBytes& out, std::string_view name);

inline void put_byte(ObjectBytes& out, uint8_t byte) { out.push_back(byte); }

inline void put_bytes(ObjectBytes& out, const uint8_t* bytes, std::size_t count) {
  out.insert(out.end(), bytes, bytes + count);
}

template <std::size_t N>
void put_bytes(ObjectBytes& out, const uint8_t (&bytes)[N]) {
  put_bytes(out, bytes, N);
}

}  // namespace koral
