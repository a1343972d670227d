// Expression trees and their values.  The nodes of one statement live in a
// per-statement arena of fixed size; a node refers to another by its arena
// reference, never by a host pointer, so that a statement's nodes can be
// copied into the token file and back byte for byte, and the arena limit is
// reached at the same input on every host.
#pragma once

#include <cstdint>
#include <cstring>

namespace koral {

struct Assembly;

// A reference into the node arena: the byte offset plus one; 0 means none.
using ArenaRef = uint32_t;
// A stable reference to a symbol entry or a section descriptor of the symbol
// table; 0 means none.
using SymbolRef = uint32_t;
using SectionRef = uint32_t;

// Operator codes.
enum Operator : int32_t {
  op_add = 1, op_subtract = 2, op_multiply = 3, op_divide = 4, op_remainder = 5,
  op_and = 6, op_or = 7, op_xor = 8, op_plus = 9, op_negate = 10, op_complement = 11,
  op_shift_right = 12, op_shift_left = 13, op_width = 14, op_code_address = 17,
};

enum NodeTag : int32_t { node_operator = 1, node_constant = 2, node_name = 4 };
enum NameKind : int32_t { name_symbol = 0, name_sizeof = 1, name_startof = 2 };

// Node layouts, 4-byte aligned like every record of the token file.
#pragma pack(push, 4)
struct OperatorNode {
  int32_t tag;       // node_operator
  int32_t op;        // Operator
  ArenaRef left;
  ArenaRef right;    // none for the unary operators
};
struct ConstantNode {
  int32_t tag;       // node_constant
  int32_t floating;  // 1: the leaf carries a floating value
  int32_t value;     // integer value
  int32_t unused;    // keeps the mantissa where the layout has always had it
  double mantissa;
  int32_t exponent;  // decimal exponent of the mantissa
  ArenaRef token;    // text of a floating constant of floating data, if kept
};
struct NameNode {
  int32_t tag;       // node_name
  int32_t kind;      // NameKind
  SymbolRef symbol;  // plain symbol
  SectionRef section;  // SIZEOF / STARTOF
};
#pragma pack(pop)
static_assert(sizeof(OperatorNode) == 16 && sizeof(ConstantNode) == 32 && sizeof(NameNode) == 16);

// The per-statement node arena.  Allocations are rounded up to 4 bytes; one
// that would pass the arena's size ends the run with fatal 155.
class NodeArena {
 public:
  static constexpr uint32_t capacity = 10001;

  // Reserves `size` bytes (zeroed) and returns their reference.
  ArenaRef allocate(Assembly& a, uint32_t size);
  void reset() { used_ = 0; }
  uint32_t used() const { return used_; }

  template <typename T>
  T* at(ArenaRef ref) {
    return reinterpret_cast<T*>(bytes_ + (ref - 1));
  }
  int32_t tag(ArenaRef ref) const {
    int32_t tag;
    std::memcpy(&tag, bytes_ + (ref - 1), sizeof tag);
    return tag;
  }
  unsigned char* data() { return bytes_; }
  // Restores the used part of the arena from a statement record's image.
  void restore(const unsigned char* image, uint32_t length) {
    std::memcpy(bytes_, image, length);
    used_ = length;
  }

 private:
  alignas(8) unsigned char bytes_[(capacity + 7) / 8 * 8];
  uint32_t used_ = 0;
};

// Value kinds, one bit each so that callers can test sets of kinds.
enum ValueKind : uint32_t {
  V_ABS = 2,
  V_EXPR = 8,
  V_HERE = 16,
  V_LOCAL = 32,
  V_INVALID = 64,
  V_ABSADDR = 256,
  V_ABSOTHER = 2048,
};
constexpr uint32_t absolute_kinds = V_ABS | V_ABSADDR | V_ABSOTHER;
constexpr uint32_t relocatable_kinds = V_EXPR | V_HERE | V_LOCAL;  // 56
constexpr uint32_t unresolved_kinds = V_EXPR | V_LOCAL;            // 40

// The result of evaluating a tree.
struct Value {
  uint32_t kind = V_INVALID;
  int32_t value = 0;
  double mantissa = 0.0;
  int32_t exponent = 0;
};

// Node constructors used by the grammar's actions.
ArenaRef make_operator(Assembly& a, int32_t op, ArenaRef left, ArenaRef right);
ArenaRef make_integer_leaf(Assembly& a, int32_t value);
ArenaRef make_floating_leaf(Assembly& a, double mantissa, int32_t exponent, ArenaRef token);
ArenaRef make_name_leaf(Assembly& a, int32_t kind, SymbolRef symbol, SectionRef section);
// Copies bytes (a string of a data list or a title) into the arena.
ArenaRef arena_copy(Assembly& a, const void* bytes, uint32_t length);

}  // namespace koral
