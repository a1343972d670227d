// Layouts of the statement records that carry the program from pass 1 to the
// later passes through the token file.  Every record is a 12-byte header, a
// body of 4-byte aligned items, and the image of the statement's node arena.
// Bodies are used in place in the token-file buffer; items inside a body are
// linked by offsets relative to the item that holds the link.
#pragma once

#include <cstdint>

#include "expr/expression.h"

namespace koral {

// Header flags.
enum RecordFlag : uint8_t {
  record_has_label = 0x01,
  record_directive = 0x02,
  record_instruction = 0x04,
  record_warning = 0x08,
  record_error = 0x10,
  record_label_diagnostic = 0x20,
  record_relocatable = 0x40,
  record_size_final = 0x80,
};

// A statement kind k is stored in one byte as k - 128; 0x80 means "nothing to do".
constexpr uint8_t kind_byte(int32_t kind) { return static_cast<uint8_t>(kind - 128); }
constexpr int32_t kind_of_byte(uint8_t byte) { return byte == 0x80 ? 0 : byte + 128; }
constexpr uint8_t nothing_to_do = 0x80;

// Field type of an operand before classification.
constexpr int32_t field_implied = 23;
constexpr int32_t no_register = -1;

#pragma pack(push, 4)
struct RecordHeader {
  uint32_t size;          // bytes the statement adds to the location counter
  uint16_t total_length;  // body and arena image
  uint16_t body_length;
  uint8_t flags;          // RecordFlag
  uint8_t padding[3];
};

struct LabelRecord {
  uint8_t kind;           // 166: an identifier
  uint8_t zero[3];
  SymbolRef symbol;
  int32_t colon;          // 1 written with ":", 0 without
};

struct InstructionRecord {
  int32_t mnemonic;       // reserved-word value 1000..1049
  uint32_t mode_mask;
  int32_t form;           // form index chosen by classification
  uint8_t marks;          // 0x80: backward-target mark of a generic jump
  uint8_t alignment[3];
  int32_t first_operand;  // offset from this record, 0 without operands
};

struct OperandRecord {
  int32_t syntax_class;
  int32_t next;             // offset from this record to the next operand, 0 for the last
  int32_t value;
  double mantissa;
  int32_t exponent;
  ArenaRef expression;
  uint32_t value_kind;
  int32_t field_type;       // field_implied until classified
  int32_t reg;              // no_register when none
  int32_t second_reg;       // no_register when none
  ArenaRef bit_expression;
  int32_t bit_number;
  int32_t bit_designator;   // 0 none, 1 ".expr", 2 ".A", 3 ".register"
  uint32_t bit_value_kind;
  int32_t addressing_mode;
  int32_t classification[2];
  int32_t displacement_sign;  // +1, -1, or 0 when not a displacement form
};

struct DataItem {           // DB, DW, DP, DL, DD, DFB values
  ArenaRef text;            // string text
  ArenaRef expression;
  int32_t previous;         // pass 1 only
  int32_t next;             // offset to the next item, 0 for the last
  int32_t type;             // 1 expression, 0 string
  int32_t length;           // string length
};

struct NameItem {           // PUBLIC, EXTERN names
  uint32_t name;            // in the permanent name pool
  int32_t unused1;
  int32_t status;           // 0 good, 1 rejected by the handler
  int32_t unused2;
  int32_t previous;         // pass 1 only
  int32_t next;
};

struct FloatItem {          // FDATAS, FDATAD, FDATAX values
  ArenaRef expression;
  int32_t unused;
  int32_t previous;         // pass 1 only
  int32_t next;
};
#pragma pack(pop)

static_assert(sizeof(RecordHeader) == 12);
static_assert(sizeof(LabelRecord) == 12);
static_assert(sizeof(InstructionRecord) == 20);
static_assert(sizeof(OperandRecord) == 76);
static_assert(sizeof(DataItem) == 24);
static_assert(sizeof(NameItem) == 24);
static_assert(sizeof(FloatItem) == 16);

// Operand syntax classes, as the grammar builds them.
enum SyntaxClass : int32_t {
  class_register = 1,            // reg
  class_indirect = 2,            // [reg]
  class_indexed = 4,             // [reg+e], [reg-e]
  class_register_pair = 8,       // [reg+reg]
  class_value = 16,              // e
  class_post_increment = 32,     // [reg+]
  class_pre_decrement = 64,      // [-reg]
  class_direct = 128,            // [e]
  class_register_displacement = 256,  // reg+e, reg-e
  class_register_plus_register = 512, // reg+reg
  class_register_plus = 1024,    // reg+
  class_minus_register = 2048,   // -reg
  class_push = 4096,             // [reg-]
  class_condition = 8192,        // cc
  class_pop = 32768,             // [+reg]
};

}  // namespace koral
