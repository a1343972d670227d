// Pass 1 of a run: the parser over the whole source, and the statement-end
// steps that execute each statement for pass 1 and write its record.
#include <cstdio>
#include <cstdlib>

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "driver/dispatch.h"
#include "expr/constants.h"
#include "grammar.tab.h"
#include "object/line_records.h"
#include "source/payload.h"
#include "source/statement.h"
#include "source/token_file.h"
#include "symbols/symbol_table.h"

namespace koral {

namespace {

bool is_list_statement(int32_t kind) {
  switch (kind) {
    case statement_db: case statement_dw: case statement_dp: case statement_dl:
    case statement_dfb: case statement_fdatas: case statement_fdatad: case statement_fdatax:
    case statement_public: case statement_extern:
      return true;
    default:
      return false;
  }
}

// The payload words every directive carries before its handler adds its own.
void write_common_payload(Assembly& a) {
  StatementDescriptor& d = a.statement.d;
  if (is_list_statement(d.kind) && d.first_item) {
    a.token_file.item<uint8_t>(d.kind_byte)[0] = kind_byte(d.kind);
    if (d.kind == statement_dfb) put_word(a, d.count);
    if (d.kind >= statement_fdatas && d.kind <= statement_fdatax) put_word(a, d.type_code == 32 ? 4 : d.type_code == 64 ? 8 : 10);
    return;
  }
  put_word(a, kind_byte(d.kind));
  switch (d.kind) {
    case statement_org: case statement_align:
    case statement_dsb: case statement_dsw: case statement_dsp: case statement_dsl:
      put_word(a, d.expression);
      break;
    case statement_dfw: case statement_dfp: case statement_dfl:
      put_word(a, d.count);
      put_word(a, d.expression);
      break;
    case statement_title:
      put_word(a, d.text);
      put_word(a, static_cast<uint32_t>(d.text_length));
      break;
    default:
      break;
  }
}

void execute_pass_one(Assembly& a) {
  StatementState& s = a.statement;
  if (s.is_instruction) {
    a.run.statement_kind = statement_instruction;
    run_instruction(a);
  } else if (s.is_directive) {
    a.run.statement_kind = s.d.kind;
    if ((s.d.kind >= statement_title && s.d.kind <= statement_restore) || s.d.kind == statement_module)
      s.size_final = true;
    write_common_payload(a);
    run_directive(a, s.d.kind);
  }
  report_constant_overflow(a);
}

void write_statement_record(Assembly& a) {
  StatementState& s = a.statement;
  const Diagnostics& d = a.diag;
  uint8_t flags = 0;
  if (s.has_label) flags |= record_has_label;
  if (s.is_directive) flags |= record_directive;
  if (s.is_instruction) flags |= record_instruction;
  if (d.warning_mark) flags |= record_warning;
  if (d.error_mark) flags |= record_error;
  if (s.label_slot && (!s.has_label || s.label_diagnostic)) flags |= record_label_diagnostic;
  if (s.relocatable_data) flags |= record_relocatable;
  if (s.size_final || (!s.has_label && !s.is_instruction && !s.is_directive)) flags |= record_size_final;
  RecordBody keep = RecordBody::full;
  if (d.error_mark && !s.is_instruction && !s.is_directive)
    keep = s.label_slot ? RecordBody::label_only : RecordBody::none;
  finish_record(a, flags, a.run.statement_size, keep);
}

void clear_statement_marks(StatementState& s) {
  s.is_instruction = false;
  s.is_directive = false;
  s.has_label = false;
}

}  // namespace

ParserStackMemory::~ParserStackMemory() {
  for (void* block : blocks_) std::free(block);
}

void* ParserStackMemory::allocate(std::size_t size) {
  void* block = std::malloc(size);
  if (block) blocks_.push_back(block);
  return block;
}

void ParserStackMemory::release(void* block) {
  for (void*& kept : blocks_) {
    if (kept != block) continue;
    kept = blocks_.back();
    blocks_.pop_back();
    break;
  }
  std::free(block);
}

void begin_statement(Assembly& a) {
  StatementState& s = a.statement;
  s.has_label = s.is_instruction = s.is_directive = s.has_content = false;
  s.label_slot = s.label_diagnostic = s.relocatable_data = s.size_final = false;
  s.label = nullptr;
  s.pending_label = {};
  s.d = StatementDescriptor{};
  s.instruction = 0;
  s.operands[0] = s.operands[1] = 0;
  s.operand_count = 0;
  a.arena.reset();
  start_record(a);
  begin_statement_marks(a);
  a.diag.mismatch_reported = false;
  begin_statement_constants(a);
  a.evaluation = EvaluationState{};
  a.run.statement_kind = 0;
  a.run.statement_size = 0;
}

void parse_source(Assembly& a) {
  begin_statement(a);
  yyparse(a);
}

void end_statement(Assembly& a, bool at_end) {
  StatementState& s = a.statement;
  if (a.lexer.sign_count && !a.diag.error_mark) report_error(a, 206);
  if (a.diag.error_mark || a.lexer.syntax_error) {
    clear_statement_marks(s);
    if (!a.diag.error_mark) report_error(a, 200);
  } else {
    execute_pass_one(a);
  }
  if (s.has_content) ++a.run.statement_count;
  if (!at_end) {
    write_statement_record(a);
    if (!a.diag.error_mark && a.run.section) a.run.section->location += a.run.statement_size;
  }
  note_statement_lines(a, !at_end);
  begin_statement(a);
}

void end_bad_statement(Assembly& a, bool at_end) {
  StatementState& s = a.statement;
  clear_statement_marks(s);
  s.has_content = true;
  if (!at_end) {
    if (!a.diag.error_mark) report_error(a, 200);
    write_statement_record(a);
  } else if (a.lexer.syntax_error) {
    report_error(a, 200);
    write_statement_record(a);
  }
  ++a.run.statement_count;
  begin_statement(a);
}

}  // namespace koral
