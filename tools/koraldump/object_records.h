// The records of an object module as read from its bytes: one Record per
// record in file order, with its fields decoded (numbers, names, variable
// letters, time stamps, postfix expressions and load items).  Reading stops
// at the first byte that does not fit the format; the records read so far
// are kept with the error, so a dump can show them before the message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "byte_reader.h"

namespace koraldump {

// One item of a postfix expression: a number, a variable (letter byte and
// index), or an operator byte.
struct ExprItem {
  enum Kind : uint8_t { number, variable, op };
  Kind kind;
  uint8_t code;    // variable letter byte (0xC1..0xDA) or operator byte
  uint32_t value;  // number value or variable index
};
using Expression = std::vector<ExprItem>;

// One item of an LD or LR record: constant bytes, or a relocated field
// whose value the linker computes from an expression.
struct LoadItem {
  std::size_t offset = 0;  // file offset of the item
  bool relocated = false;
  bool relative = false;   // 0xBA..0xBB brackets instead of 0xBC..0xBD
  std::vector<uint8_t> bytes;
  Expression expression;
  uint32_t size = 0;       // bytes of the relocated field
};

enum class RecordType : uint8_t { mb, ad, as, nn, ni, nx, at, st, sa, sb, ld, lr, re, me, bb, be, ty };

// A decoded field of a record, in record order.
struct Field {
  enum Kind : uint8_t { number, omitted, name, letter, letters, date, expression, byte };
  Field(Kind k, std::string l) : kind(k), label(std::move(l)) {}
  Kind kind;
  std::string label;
  uint32_t value = 0;           // number, letter byte or byte
  std::string text;             // name or letters
  Expression expr;
  uint32_t stamp[6] = {};       // year, month, day, hour, minute, second
};

struct Record {
  std::size_t offset = 0;
  std::size_t size = 0;
  RecordType type = RecordType::me;
  uint8_t letter = 0;   // variable letter of AS and AT records
  uint8_t block = 0;    // block type of BB records
  std::string title;    // MB, AD, ASW, ATN, BB10, ...
  uint32_t index = 0;   // section, symbol or part index, or block type
  std::vector<Field> fields;
  std::vector<LoadItem> items;

  const Field* field(std::string_view label) const;
  // The number of the field with that label, or `otherwise`.
  uint32_t number(std::string_view label, uint32_t otherwise = 0) const;
};

struct RecordList {
  std::vector<Record> records;
  std::optional<ModuleError> error;
};

// Reads every record of the module, up to and including ME.  Bytes after
// ME, an unknown record type or a field that does not fit end the reading
// with an error; nothing is read past the buffer.
RecordList read_records(const uint8_t* data, std::size_t size);

// The name of a variable letter byte ('A' + byte - 0xC1).
inline char letter_of(uint8_t byte) { return static_cast<char>(byte - 0x80); }
inline bool is_letter_byte(uint8_t byte) { return byte >= 0xC1 && byte <= 0xDA; }

}  // namespace koraldump
