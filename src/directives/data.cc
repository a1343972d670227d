// DB and DW, DP, DL (DD): initialised data.  Pass 1 sizes the statement and
// marks its label; the size is final, so pass 2 only replays it; the final
// pass checks every value and hands the bytes to the object writer.
#include "diag/diagnostics.h"
#include "directives/data_support.h"
#include "directives/directives.h"
#include "driver/assembly.h"
#include "expr/evaluate.h"
#include "source/statement_record.h"

namespace koral {

namespace {

bool absolute(const Value& v) { return (v.kind & absolute_kinds) != 0; }
bool relocatable(const Value& v) { return (v.kind & relocatable_kinds) != 0; }

const uint8_t* string_text(Assembly& a, const DataItem& item) {
  return item.text ? a.arena.at<uint8_t>(item.text) : nullptr;
}

void db_pass_one(Assembly& a) {
  uint64_t size = 0;
  for (DataItem* item = first_data_item(a); item; item = next_data_item(item)) {
    if (item->type == 0) {
      if (item->length > max_data_string) report_error(a, 209);
      size += static_cast<uint32_t>(item->length);
      continue;
    }
    ++size;
    Value v = evaluate(a, item->expression);
    if (v.kind == V_INVALID) {
      if (!a.diag.error_mark) report_error(a, 206);
    } else if (absolute(v) && !unit_holds(v.value, 1)) {
      report_warning(a, 501);
    }
  }
  if (a.diag.error_mark) return;
  uint32_t limited = limited_data_size(a, size);
  a.run.statement_size = limited;
  a.statement.size_final = true;
  mark_data_label(a, data_mark_bytes, static_cast<int32_t>(limited));
}

void db_final_pass(Assembly& a) {
  begin_data_output(a, a.token_file.header()->size);
  for (DataItem* item = first_data_item(a); item; item = next_data_item(item)) {
    if (item->type == 0) {
      put_data_characters(a, string_text(a, *item), static_cast<uint32_t>(item->length));
      continue;
    }
    Value v = evaluate(a, item->expression);
    if (v.kind == V_INVALID) {
      if (!a.diag.error_mark) report_error(a, 206);
      continue;
    }
    if (relocatable(v)) {
      a.statement.relocatable_data = true;
      if (!unit_holds_relocatable(v.value, 1) && !a.diag.warning_mark) report_warning(a, 501);
      put_data_relocated(a, item->expression, v.value, 1);
      continue;
    }
    if (!a.diag.warning_mark && !unit_holds(v.value, 1)) report_warning(a, 501);
    put_data_value(a, v.value, 1);
  }
}

void words_pass_one(Assembly& a, uint32_t unit) {
  uint64_t count = 0;
  ++a.diag.warnings_muted;
  for (DataItem* item = first_data_item(a); item; item = next_data_item(item)) {
    ++count;
    if (evaluate(a, item->expression).kind == V_INVALID && !a.diag.error_mark) report_error(a, 206);
  }
  --a.diag.warnings_muted;
  if (a.diag.error_mark) return;
  a.run.statement_size = limited_data_size(a, count * unit);
  a.statement.size_final = true;
  mark_data_label(a, mark_of_unit(unit), static_cast<int32_t>(count));
}

void words_final_pass(Assembly& a, uint32_t unit) {
  begin_data_output(a, a.token_file.header()->size);
  for (DataItem* item = first_data_item(a); item; item = next_data_item(item)) {
    Value v = evaluate(a, item->expression);
    if (!absolute(v) && !relocatable(v)) {
      if (!a.diag.error_mark) report_error(a, 222);
      continue;
    }
    if (relocatable(v)) {
      a.statement.relocatable_data = true;
      if (unit == 2 && !unit_holds_relocatable(v.value, 2) && !a.diag.warning_mark) report_warning(a, 501);
      put_data_relocated(a, item->expression, v.value, unit);
      continue;
    }
    if (!unit_holds(v.value, unit)) report_warning(a, 501);
    put_data_value(a, v.value, unit);
  }
}

// Error-marked statements occupy nothing and produce nothing; an error found
// in the final pass keeps the statement out of the object module.
bool replayed_in_error(Assembly& a) {
  if (!a.diag.error_mark) return false;
  a.run.statement_size = 0;
  return true;
}

}  // namespace

void db_handler(Assembly& a) {
  if (a.run.pass == pass_one) {
    if (begin_data_statement(a, false)) db_pass_one(a);
    return;
  }
  if (replayed_in_error(a) || !a.run.section) return;
  if (a.run.pass == pass_two) {
    a.run.statement_size = a.token_file.header()->size;
    a.statement.size_final = true;
    return;
  }
  db_final_pass(a);
  finish_final_data(a);
}

void data_words_handler(Assembly& a) {
  uint32_t unit = unit_of(a.run.statement_kind);
  if (a.run.pass == pass_one) {
    if (begin_data_statement(a, false)) words_pass_one(a, unit);
    return;
  }
  if (replayed_in_error(a) || !a.run.section) return;
  if (a.run.pass == pass_two) {
    a.run.statement_size = a.token_file.header()->size;
    a.statement.size_final = true;
    return;
  }
  words_final_pass(a, unit);
  finish_final_data(a);
}

}  // namespace koral
