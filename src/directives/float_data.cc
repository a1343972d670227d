// FDATAS, FDATAD, FDATAX: floating values in the single, double or extended
// format.  Pass 1 sizes the statement (its size is final); the final pass
// turns every value into its image, stored least significant byte first.
#include "diag/diagnostics.h"
#include "directives/data_support.h"
#include "directives/directives.h"
#include "driver/assembly.h"
#include "expr/constants.h"
#include "expr/evaluate.h"
#include "source/grammar_actions.h"
#include "source/payload.h"
#include "source/statement_record.h"

namespace koral {

namespace {

FloatFormat format_of_item_size(uint32_t size) {
  switch (size) {
    case 4: return float_single;
    case 8: return float_double;
    default: return float_extended;
  }
}

FloatFormat statement_format(Assembly& a) {
  if (a.run.pass == pass_one) return static_cast<FloatFormat>(a.statement.d.type_code);
  return format_of_item_size(payload_last_word(a, 1));
}

uint32_t mark_of_format(FloatFormat format) {
  switch (format) {
    case float_single: return data_mark_single;
    case float_double: return data_mark_double;
    default: return data_mark_extended;
  }
}

FloatItem* first_float_item(Assembly& a) {
  uint32_t offset = a.run.pass == pass_one ? a.statement.d.first_item : payload_first_item(a);
  return offset ? a.token_file.item<FloatItem>(offset) : nullptr;
}

FloatItem* next_float_item(FloatItem* item) {
  if (item->next == 0) return nullptr;
  return reinterpret_cast<FloatItem*>(reinterpret_cast<unsigned char*>(item) + item->next);
}

// The scaled decimal value of an evaluated item; an integer result carries
// its value in the pair as well, but a bare integer is taken as it is.
ScaledDecimal pair_of(const Value& v) {
  ScaledDecimal pair{v.mantissa, v.exponent};
  if (pair.mantissa == 0.0 && v.value != 0) pair = scaled_of_integer(v.value);
  return pair;
}

void float_pass_one(Assembly& a, FloatFormat format) {
  uint32_t items = 0;
  for (FloatItem* item = first_float_item(a); item; item = next_float_item(item)) {
    ++items;
    if (evaluate(a, item->expression).kind == V_INVALID && !a.diag.error_mark) report_error(a, 206);
  }
  if (a.diag.error_mark) return;
  a.run.statement_size = float_data_size(a, format, items);
  a.statement.size_final = true;
  mark_data_label(a, mark_of_format(format), static_cast<int32_t>(items));
}

void float_final_pass(Assembly& a, FloatFormat format) {
  begin_data_output(a, a.token_file.header()->size);
  uint8_t image[FloatImage::max_bytes];
  for (FloatItem* item = first_float_item(a); item; item = next_float_item(item)) {
    Value v = evaluate(a, item->expression);
    if (v.kind & (relocatable_kinds | V_INVALID)) {
      if (!a.diag.error_mark) report_error(a, 206);
      continue;
    }
    int32_t length = float_data_item(a, format, pair_of(v), image);
    put_data_bytes(a, image, static_cast<uint32_t>(length));
  }
  finish_final_data(a);
}

}  // namespace

void float_data_handler(Assembly& a) {
  FloatFormat format = statement_format(a);
  a.evaluation.floating_data = true;
  if (a.run.pass == pass_one) {
    // Floating data needs a section; the section rule of the integer data
    // directives does not cover it.
    if (!a.run.section) {
      report_error(a, 215);
      return;
    }
    define_data_label(a);
    float_pass_one(a, format);
    return;
  }
  if (a.diag.error_mark || !a.run.section) return;
  if (a.run.pass == pass_two) {
    a.run.statement_size = a.token_file.header()->size;
    a.statement.size_final = true;
    return;
  }
  float_final_pass(a, format);
}

}  // namespace koral
