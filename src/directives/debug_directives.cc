// The debug directives that a compiler writes into its assembly output:
// FILE and LINE give the source position of the code that follows, SYMBOL_T
// a type, SYMBOL_A, SYMBOL_B and SYMBOL_N symbols and scopes.  Pass 1
// collects them; SYMBOL_A and SYMBOL_B take the location again in the later
// passes, from the record or scope number their statement keeps.
#include <string_view>

#include "diag/diagnostics.h"
#include "directives/directives.h"
#include "driver/assembly.h"
#include "object/debug_symbols.h"
#include "object/debug_types.h"
#include "object/line_records.h"
#include "source/payload.h"

namespace koral {

namespace {

constexpr uint32_t closing_scope = 0x80000000u;  // payload mark of a closing SYMBOL_B

std::string_view directive_text(Assembly& a) {
  const StatementDescriptor& d = a.statement.d;
  if (d.text_length <= 0) return {};
  return {a.arena.at<char>(d.text), static_cast<std::size_t>(d.text_length)};
}

bool debug_output(const Assembly& a) { return a.option(opt_debug); }

// The record or scope number a statement keeps: 0 for none, else number + 1.
void keep_number(Assembly& a, int32_t number, uint32_t mark = 0) {
  put_word(a, number < 0 ? 0u : (static_cast<uint32_t>(number) + 1) | mark);
}

}  // namespace

void file_handler(Assembly& a) {
  if (a.run.pass != pass_one) return;
  a.statement.size_final = true;
  const std::string_view name = directive_text(a);
  // The first FILE names the source in the assembler-information block.
  if (!name.empty() && a.object.debug_source_name.empty()) a.object.debug_source_name = std::string(name);
  if (debug_output(a)) file_directive_record(a, name);
}

void line_handler(Assembly& a) {
  if (a.run.pass != pass_one) return;
  a.statement.size_final = true;
  const StatementDescriptor& d = a.statement.d;
  if (d.first_value < 0) {
    report_error(a, 202);
    return;
  }
  if (debug_output(a)) line_directive_record(a, d.first_value, d.second_value);
}

void symbol_a_handler(Assembly& a) {
  if (a.run.pass == pass_one) {
    const StatementDescriptor& d = a.statement.d;
    keep_number(a, describe_symbol_a(a, directive_text(a), d.numbers[0], d.numbers[1], d.numbers[2]));
    return;
  }
  const uint32_t kept = payload_word(a, 0);
  if (kept) locate_symbol_a(a, kept - 1);
}

void symbol_b_handler(Assembly& a) {
  if (a.run.pass == pass_one) {
    const StatementDescriptor& d = a.statement.d;
    const bool closing = d.numbers[0] % 2 == 0;
    keep_number(a, describe_scope(a, directive_text(a), d.numbers[0], d.numbers[1], d.numbers[2]),
                closing ? closing_scope : 0);
    return;
  }
  const uint32_t kept = payload_word(a, 0);
  if (kept) locate_scope(a, (kept & ~closing_scope) - 1, (kept & closing_scope) != 0);
}

void symbol_n_handler(Assembly& a) {
  if (a.run.pass != pass_one) return;
  a.statement.size_final = true;
  const StatementDescriptor& d = a.statement.d;
  describe_symbol_n(a, directive_text(a), d.numbers[0], d.numbers[1], d.numbers[2]);
}

void symbol_t_handler(Assembly& a) {
  if (a.run.pass != pass_one) return;
  a.statement.size_final = true;
  const StatementDescriptor& d = a.statement.d;
  if (!define_type(a, d.first_value, d.type_list)) report_error(a, 200);
}

}  // namespace koral
