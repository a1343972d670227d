// Evaluation of expression trees into values.  The general evaluator knows
// relocation and floating values; the absolute evaluator is its strict,
// integer-only twin for directives whose operand must be a plain number.
#pragma once

#include <cstdint>

#include "expr/constants.h"
#include "expr/expression.h"

namespace koral {

struct Assembly;

// What the evaluator needs to know about the statement in hand besides the
// run state: set by the statement's handler before it evaluates.
struct EvaluationState {
  bool floating_data = false;  // FDATAS, FDATAD, FDATAX: warning 518 on symbols
  int32_t mnemonic = 0;        // the instruction's mnemonic, 0 in a directive
  // The tree is the target of a relative jump whose statement has neither the
  // backward-target mark nor an error: from the second pass-2 iteration on, a
  // label of the current section is moved back by the bytes saved so far.
  bool forward_jump_target = false;
};

// Signedness of range checks and bit counts.
enum Signedness : int { signed_range = 0, unsigned_range = 1, either_range = 2 };

// The general evaluator; a missing tree gives V_INVALID with error 206 unless
// an error was already reported for the statement.
Value evaluate(Assembly& a, ArenaRef tree);

// The absolute evaluator: V_ABS, V_INVALID, or V_LOCAL for SIZEOF / STARTOF.
Value evaluate_absolute(Assembly& a, ArenaRef tree);

// 32-bit two's-complement arithmetic of the operators that take two plain
// integers (or one, for the unary ones), wrapping around; a zero divisor
// gives 0 and the caller reports it.  False for the other operators.
bool integer_arithmetic(int32_t op, int32_t l, int32_t r, int32_t& value);

// A shift by `count` bits: 0 past 31, the count's low five bits otherwise
// (right shifts keep the sign).
int32_t shifted(int32_t value, int32_t count, bool right);

// + - * / of scaled decimal values, for operations with a floating operand
// (an integer operand takes part as its value with exponent 0).  A zero
// divisor gives (0.0, 0); a quotient with exponent 0 is normalised through its
// "%+.15e" text.
ScaledDecimal scaled_arithmetic(int32_t op, ScaledDecimal l, ScaledDecimal r);

// A scaled decimal value as a 32-bit integer: the mantissa scaled by ten once
// per unit of exponent, truncated toward zero, low 32 bits beyond the range.
int32_t integer_of_pair(ScaledDecimal pair);

// Bits that hold `value`: signed and either complement a negative value
// first; signed adds one bit for the sign (below 32).
int bits_needed(int32_t value, Signedness signedness);

// The field width a relocatable expression needs.
int relocatable_width(Assembly& a, ArenaRef tree, Signedness signedness);

// The largest N of the tree's ":" operators with an absolute N in 1..32, else 0.
int declared_width(Assembly& a, ArenaRef tree);

}  // namespace koral
