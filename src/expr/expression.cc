#include "expr/expression.h"

#include "diag/diagnostics.h"
#include "driver/assembly.h"

namespace koral {

ArenaRef NodeArena::allocate(Assembly& a, uint32_t size) {
  uint32_t rounded = (size + 3) & ~3u;
  if (used_ + rounded > capacity) report_fatal(a, 155);
  uint32_t offset = used_;
  used_ += rounded;
  std::memset(bytes_ + offset, 0, rounded);
  return offset + 1;
}

ArenaRef make_operator(Assembly& a, int32_t op, ArenaRef left, ArenaRef right) {
  ArenaRef ref = a.arena.allocate(a, sizeof(OperatorNode));
  *a.arena.at<OperatorNode>(ref) = OperatorNode{node_operator, op, left, right};
  return ref;
}

ArenaRef make_integer_leaf(Assembly& a, int32_t value) {
  ArenaRef ref = a.arena.allocate(a, sizeof(ConstantNode));
  ConstantNode* node = a.arena.at<ConstantNode>(ref);
  node->tag = node_constant;
  node->value = value;
  return ref;
}

ArenaRef make_floating_leaf(Assembly& a, double mantissa, int32_t exponent, ArenaRef token) {
  ArenaRef ref = a.arena.allocate(a, sizeof(ConstantNode));
  ConstantNode* node = a.arena.at<ConstantNode>(ref);
  node->tag = node_constant;
  node->floating = 1;
  node->mantissa = mantissa;
  node->exponent = exponent;
  node->token = token;
  return ref;
}

ArenaRef make_name_leaf(Assembly& a, int32_t kind, SymbolRef symbol, SectionRef section) {
  ArenaRef ref = a.arena.allocate(a, sizeof(NameNode));
  *a.arena.at<NameNode>(ref) = NameNode{node_name, kind, symbol, section};
  return ref;
}

ArenaRef arena_copy(Assembly& a, const void* bytes, uint32_t length) {
  ArenaRef ref = a.arena.allocate(a, length);
  if (length) std::memcpy(a.arena.at<unsigned char>(ref), bytes, length);
  return ref;
}

}  // namespace koral
