// DFB and DFW, DFP, DFL (DFD): a run of memory filled with one repeated
// value (or, for DFB, a repeated string).  The count may change between
// pass-2 iterations, so every pass evaluates it again; the final pass checks
// the value and hands one element and its repeat count to the object writer.
#include "diag/diagnostics.h"
#include "directives/data_support.h"
#include "directives/directives.h"
#include "driver/assembly.h"
#include "expr/evaluate.h"
#include "source/payload.h"
#include "source/statement_kinds.h"
#include "source/statement_record.h"

namespace koral {

namespace {

// What a fill statement repeats: a value expression or a string.
struct FillElement {
  ArenaRef value = 0;
  const uint8_t* text = nullptr;
  bool is_string = false;
  uint32_t size = 0;  // bytes of one element
};

ArenaRef count_expression(Assembly& a) {
  bool byte_fill = a.run.statement_kind == statement_dfb;
  if (a.run.pass == pass_one) return a.statement.d.count;
  return payload_last_word(a, byte_fill ? 1 : 2);
}

FillElement element_of(Assembly& a) {
  FillElement e;
  if (a.run.statement_kind != statement_dfb) {
    e.value = a.run.pass == pass_one ? a.statement.d.expression : payload_last_word(a, 1);
    e.size = unit_of(a.run.statement_kind);
    return e;
  }
  e.size = 1;
  if (DataItem* item = first_data_item(a)) {
    if (item->type == 0) {
      e.is_string = true;
      e.size = static_cast<uint32_t>(item->length);
      e.text = item->text ? a.arena.at<uint8_t>(item->text) : nullptr;
    } else {
      e.value = item->expression;
    }
  }
  return e;
}

// The repeat count; not absolute is error 206, negative is warning 501
// (once per statement after pass 1) and 0.
int32_t fill_count(Assembly& a) {
  Value v = evaluate_absolute(a, count_expression(a));
  if (v.kind != V_ABS) {
    if (!a.diag.error_mark) report_error(a, 206);
    return 0;
  }
  if (v.value >= 0) return v.value;
  if (a.run.pass == pass_one || !a.diag.warning_mark) report_warning(a, 501);
  return 0;
}

void fill_pass_one(Assembly& a, const FillElement& e) {
  int32_t count = fill_count(a);
  if (a.diag.error_mark) return;
  if (e.is_string) {
    if (e.size > static_cast<uint32_t>(max_data_string)) report_error(a, 209);
  } else if (!e.value || evaluate(a, e.value).kind == V_INVALID) {
    if (!a.diag.error_mark) report_error(a, 204);
  }
  if (a.diag.error_mark) return;
  a.run.statement_size = static_cast<uint32_t>(uint64_t(e.size) * static_cast<uint32_t>(count));
  // Every fill marks its label as byte data, with the repeat count.
  mark_data_label(a, data_mark_bytes, count);
}

// The value of the final pass: checked, then put as the one element.
void put_fill_value(Assembly& a, const FillElement& e) {
  Value v = evaluate(a, e.value);
  if ((v.kind & (absolute_kinds | relocatable_kinds)) == 0) {
    if (!a.diag.error_mark) report_error(a, 204);
    return;
  }
  if (v.kind & relocatable_kinds) {
    a.statement.relocatable_data = true;
    if (!unit_holds_relocatable(v.value, e.size)) report_warning(a, 501);
    put_data_relocated(a, e.value, v.value, e.size);
    return;
  }
  if (!unit_holds(v.value, e.size)) report_warning(a, 501);
  put_data_value(a, v.value, e.size);
}

void fill_final_pass(Assembly& a, const FillElement& e, int32_t count) {
  begin_data_output(a, e.size);
  if (e.is_string)
    put_data_block(a, e.text, e.size);
  else
    put_fill_value(a, e);
  if (a.diag.error_mark) {
    a.code.clear();
    return;
  }
  if (a.run.statement_size == 0) return;
  repeat_data(a, static_cast<uint32_t>(count));
  hand_over_data(a);
}

}  // namespace

void fill_handler(Assembly& a) {
  if (a.run.pass == pass_one) {
    if (!begin_data_statement(a, false)) return;
    fill_pass_one(a, element_of(a));
    return;
  }
  if (a.diag.error_mark || !a.run.section) return;
  FillElement e = element_of(a);
  int32_t count = fill_count(a);
  if (a.diag.error_mark) return;
  a.run.statement_size = static_cast<uint32_t>(uint64_t(e.size) * static_cast<uint32_t>(count));
  if (a.run.pass == pass_final) fill_final_pass(a, e, count);
}

}  // namespace koral
