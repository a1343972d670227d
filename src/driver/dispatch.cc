#include "driver/dispatch.h"

#include <array>

#include "directives/directives.h"
#include "driver/assembly.h"
#include "isa/instruction.h"
#include "source/payload.h"
#include "source/token_file.h"

namespace koral {

namespace {

constexpr std::size_t kind_count = last_statement_kind - first_statement_kind + 1;

struct HandlerRow {
  int32_t kind;
  StatementHandler handler;
};

// Kinds that have no row reach the dispatch but do nothing.
constexpr HandlerRow handler_rows[] = {
    {statement_align, align_handler},
    {statement_org, org_handler},
    {statement_title, title_handler},
    {statement_eject, eject_handler},
    {statement_list, list_handler},
    {statement_nolist, nolist_handler},
    {statement_save, save_handler},
    {statement_restore, restore_handler},
    {statement_include, include_handler},
    {statement_fdatas, float_data_handler},
    {statement_fdatad, float_data_handler},
    {statement_fdatax, float_data_handler},
    {statement_module, module_handler},
    {statement_section, section_handler},
    {statement_end, end_handler},
    {statement_equ, equ_handler},
    {statement_public, public_handler},
    {statement_extern, extern_handler},
    {statement_file, file_handler},
    {statement_line, line_handler},
    {statement_symbol_a, symbol_a_handler},
    {statement_symbol_b, symbol_b_handler},
    {statement_symbol_n, symbol_n_handler},
    {statement_symbol_t, symbol_t_handler},
    {statement_db, db_handler},
    {statement_dw, data_words_handler},
    {statement_dp, data_words_handler},
    {statement_dl, data_words_handler},
    {statement_dfb, fill_handler},
    {statement_dfw, fill_handler},
    {statement_dfp, fill_handler},
    {statement_dfl, fill_handler},
    {statement_dsb, storage_handler},
    {statement_dsw, storage_handler},
    {statement_dsp, storage_handler},
    {statement_dsl, storage_handler},
};

constexpr std::array<StatementHandler, kind_count> build_table() {
  std::array<StatementHandler, kind_count> table{};
  for (const HandlerRow& row : handler_rows) table[row.kind - first_statement_kind] = row.handler;
  return table;
}

constexpr std::array<StatementHandler, kind_count> handlers = build_table();

StatementHandler handler_of(int32_t kind) {
  if (kind < first_statement_kind || kind > last_statement_kind) return nullptr;
  return handlers[kind - first_statement_kind];
}

}  // namespace

bool has_directive_handler(int32_t kind) { return handler_of(kind) != nullptr; }

void run_directive(Assembly& a, int32_t kind) {
  if (StatementHandler handler = handler_of(kind)) handler(a);
}

namespace {
OperandRecord* allocate_operand(Assembly& a) {
  return a.token_file.item<OperandRecord>(alloc_body(a, sizeof(OperandRecord)));
}
}  // namespace

void run_instruction(Assembly& a) {
  if (a.run.pass == pass_one) {
    instruction_pass_one(a, *a.token_file.item<InstructionRecord>(a.statement.instruction), allocate_operand);
    return;
  }
  // The instruction record follows the label record slot, if any.
  InstructionRecord& record = *a.token_file.item<InstructionRecord>(payload_start(a));
  if (a.run.pass == pass_two)
    instruction_pass_two(a, record);
  else
    instruction_final_pass(a, record);
  // An operand field the linker completes marks the statement relocatable.
  if (a.isa.field_count > 0) a.statement.relocatable_data = true;
}

}  // namespace koral
