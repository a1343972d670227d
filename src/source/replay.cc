#include "source/replay.h"

#include <algorithm>

#include "diag/diagnostics.h"
#include "directives/sections.h"
#include "driver/assembly.h"
#include "driver/dispatch.h"
#include "expr/constants.h"
#include "listing/listing.h"
#include "object/line_records.h"
#include "source/includes.h"
#include "source/payload.h"
#include "source/token_file.h"
#include "symbols/symbol_table.h"

namespace koral {

namespace {

constexpr uint32_t address_space_end = 0x1000000;
constexpr int32_t window_attribute = 8;  // SMALL sections stay within 256 bytes

void begin_replayed_statement(Assembly& a, const RecordHeader& header) {
  begin_statement_marks(a);
  a.diag.error_mark = header.flags & record_error;
  a.diag.warning_mark = header.flags & record_warning;
  a.diag.direct_mark = header.flags & record_label_diagnostic;
  begin_statement_constants(a);
  a.evaluation = EvaluationState{};
  a.statement.relocatable_data = false;
  a.statement.size_final = false;
  a.run.statement_size = 0;
  a.run.statement_kind = 0;
  a.code.clear();
  count_replayed_line(a);
}

// The label of the record is defined again at the current location.
void replay_label(Assembly& a) {
  const LabelRecord* record = a.token_file.item<LabelRecord>(record_header_size);
  Symbol* symbol = symbol_from_handle(a, record->symbol);
  if (!symbol) return;
  align_label(a);
  if (symbol->kind == kind_external) {
    report_error(a, 203, name_of(*symbol));
    symbol->status |= status_multi_defined;
    return;
  }
  int32_t location = static_cast<int32_t>(a.run.section->location);
  if (a.run.pass == pass_two && symbol->value != location) a.run.another_iteration = true;
  symbol->value = location;
  symbol->attributes |= attribute_late_definition;
  if (symbol->kind == kind_public_undefined || symbol->kind == kind_late_public)
    symbol->kind = record->colon ? kind_public_label : kind_public_variable;
}

void end_pass_two_statement(Assembly& a, RecordHeader& header, bool instruction) {
  uint32_t size = a.run.statement_size;
  if (a.diag.error_mark && !instruction) size = 0;
  uint8_t flags = header.flags;
  if (a.diag.error_mark) flags |= record_error;
  if (a.diag.warning_mark) flags |= record_warning;
  if (a.statement.relocatable_data) flags |= record_relocatable;
  if (a.statement.size_final) flags |= record_size_final;
  if (size != header.size) {
    if (Section* section = a.run.section) {
      // Sizes are 32-bit quantities that wrap, and so does their sum.
      uint32_t saved = static_cast<uint32_t>(section->bytes_saved) + (header.size - size);
      section->bytes_saved = static_cast<int32_t>(saved);
    }
    header.size = size;
    a.run.another_iteration = true;
    record_changed(a);
  }
  if (flags != header.flags) {
    header.flags = flags;
    record_changed(a);
  }
  // Classification keeps its choices (form, field types, a vector number) in
  // the instruction's record, where the next pass finds them.
  if (instruction) record_changed(a);
  if (a.run.section) a.run.section->location += size;
}

bool option_line_diagnostic_here(const Assembly& a) {
  const std::vector<int32_t>& lines = a.diag.option_diagnostic_lines;
  if (lines.empty() || a.sources.current != 0) return false;
  return std::find(lines.begin(), lines.end(), a.sources.current_line()) != lines.end();
}

bool address_checked_kind(int32_t kind) {
  return kind >= statement_db && kind <= 332 && kind != statement_dfp;
}

void end_final_statement(Assembly& a, bool instruction, bool directive, int32_t kind) {
  list_statement(a);
  Section* section = a.run.section;
  uint32_t size = a.run.statement_size;
  if (kind == statement_end) {
    print_statement_diagnostics(a);
    return;
  }
  if ((instruction || directive) && section && section->size_attribute == window_attribute &&
      uint64_t(section->location) + size > uint64_t(section->start) + 256) {
    report_error(a, 228);
    section->location &= 0xFF;
  }
  if (section && (!a.diag.error_mark || instruction)) section->location += size;
  if (section && section->location > address_space_end &&
      (instruction || (directive && address_checked_kind(kind)))) {
    report_error(a, 228);
    section->location &= highest_address;
  }
  if (a.diag.error_mark || a.diag.warning_mark || a.diag.direct_mark || !a.diag.pending.empty() ||
      option_line_diagnostic_here(a))
    print_statement_diagnostics(a);
}

// In pass 2 most records only move the location: their size is final and
// they define no label, switch no file and own no line-number record.  They
// are taken without the statement set-up, which the next full statement
// does anyway.
bool replayed_as_size_only(Assembly& a, const RecordHeader& header) {
  uint8_t flags = header.flags;
  if (a.run.pass != pass_two || !(flags & record_size_final)) return false;
  if (flags & (record_has_label | record_error)) return false;
  if (!a.debug.lines.owners.empty()) return false;
  if ((flags & record_directive) &&
      kind_of_byte(*a.token_file.item<uint8_t>(payload_start(a))) == statement_include)
    return false;
  count_replayed_line(a);
  if (a.run.section) a.run.section->location += header.size;
  leave_finished_includes(a);
  return true;
}

}  // namespace

void replay_statement(Assembly& a, RecordHeader& header) {
  if (replayed_as_size_only(a, header)) return;
  begin_replayed_statement(a, header);
  uint8_t flags = header.flags;
  bool pass_two_now = a.run.pass == pass_two;
  bool instruction = flags & record_instruction;
  bool directive = flags & record_directive;
  bool size_only = pass_two_now && (flags & record_size_final);
  bool skip_image = size_only || (!pass_two_now && (flags & record_error) && !instruction);
  if (skip_image) {
    a.arena.reset();
    a.run.statement_size = header.size;
  } else {
    restore_arena(a, &header);
  }
  if ((flags & record_has_label) && !(flags & record_error) && a.run.section) replay_label(a);

  int32_t kind = 0;
  if (instruction) {
    kind = statement_instruction;
    a.run.statement_kind = kind;
    if (!size_only) run_instruction(a);
  } else if (directive) {
    kind = kind_of_byte(*a.token_file.item<uint8_t>(payload_start(a)));
    a.run.statement_kind = kind;
    if (!size_only) run_directive(a, kind);
  }

  if (pass_two_now) {
    end_pass_two_statement(a, header, instruction);
    correct_statement_lines(a, header.size);
  } else {
    end_final_statement(a, instruction, directive, kind);
  }

  if (kind == statement_include && !(flags & record_error)) replay_include(a, payload_word(a, 0));
  leave_finished_includes(a);
  a.run.statement_kind = 0;
  a.diag.option_line_mark = false;
}

}  // namespace koral
