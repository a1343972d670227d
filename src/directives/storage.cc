// DSB, DSW, DSP, DSL (DSD): uninitialised storage.  The count is evaluated
// in every pass, so a count that depends on symbols defined before it may
// change sizes between pass-2 iterations; the final pass hands the reserved
// bytes to the object writer as a gap that is never filled.
#include "diag/diagnostics.h"
#include "directives/data_support.h"
#include "directives/directives.h"
#include "driver/assembly.h"
#include "expr/evaluate.h"
#include "object/object_writer.h"
#include "source/payload.h"

namespace koral {

namespace {

uint32_t storage_size(int32_t count, uint32_t unit) {
  return static_cast<uint32_t>(uint64_t(static_cast<uint32_t>(count)) * unit);
}

void storage_pass_one(Assembly& a, uint32_t unit) {
  Value v = evaluate(a, a.statement.d.expression);
  if (v.kind == V_INVALID) {
    if (!a.diag.error_mark) report_error(a, 206);
    return;
  }
  // A count not known yet (a symbol defined later) or below 1 reserves one
  // element for now; the later passes settle it.  The label's element count
  // is the operand as written.
  int32_t count = (v.kind & absolute_kinds) ? v.value : 0;
  if (count < 1) count = 1;
  a.run.statement_size = storage_size(count, unit);
  mark_data_label(a, mark_of_unit(unit), v.value);
}

void storage_later_pass(Assembly& a, uint32_t unit) {
  Value v = evaluate(a, payload_last_word(a, 1));
  if ((v.kind & absolute_kinds) == 0) {
    if (!a.diag.error_mark) report_error(a, 206);
    return;
  }
  int32_t count = v.value;
  if (count < 1) {
    if (a.run.pass == pass_final) report_warning(a, 501);
    count = 1;
  }
  uint32_t size = storage_size(count, unit);
  a.run.statement_size = size;
  if (a.run.pass != pass_final) return;
  a.code.clear();  // a reservation shows no bytes
  if (!a.option(opt_no_object)) object_skip(a, size, false);
}

}  // namespace

void storage_handler(Assembly& a) {
  uint32_t unit = unit_of(a.run.statement_kind);
  if (a.run.pass == pass_one) {
    if (begin_data_statement(a, true)) storage_pass_one(a, unit);
    return;
  }
  if (a.diag.error_mark || !a.run.section) return;
  storage_later_pass(a, unit);
}

}  // namespace koral
