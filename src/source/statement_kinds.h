// Statement kinds: the token value of a statement's leading directive word
// (or its reserved-word value for data and debug directives).
#pragma once

#include <cstdint>

namespace koral {

enum StatementKind : int32_t {
  statement_align = 257,
  statement_org = 258,
  statement_title = 259,
  statement_eject = 260,
  statement_list = 261,
  statement_nolist = 262,
  statement_save = 265,
  statement_restore = 266,
  statement_instruction = 270,
  statement_include = 284,
  statement_fdatas = 289,
  statement_fdatad = 290,
  statement_fdatax = 291,
  statement_module = 302,
  statement_section = 303,
  statement_end = 304,
  statement_equ = 305,
  statement_public = 306,
  statement_extern = 307,
  statement_file = 311,
  statement_line = 312,
  statement_symbol_a = 313,
  statement_symbol_b = 314,
  statement_symbol_n = 315,
  statement_symbol_t = 316,
  statement_db = 317,
  statement_dw = 318,
  statement_dp = 319,
  statement_dl = 320,
  statement_dfb = 322,
  statement_dfw = 324,
  statement_dfp = 325,
  statement_dfl = 326,
  statement_dsb = 328,
  statement_dsw = 329,
  statement_dsp = 330,
  statement_dsl = 331,
};

constexpr int32_t first_statement_kind = 257;
constexpr int32_t last_statement_kind = 331;

// The directives whose statements put data into their section.
constexpr bool is_data_statement(int32_t kind) {
  switch (kind) {
    case statement_db: case statement_dw: case statement_dp: case statement_dl:
    case statement_dfb: case statement_dfw: case statement_dfp: case statement_dfl:
    case statement_fdatas: case statement_fdatad: case statement_fdatax:
      return true;
    default:
      return false;
  }
}

}  // namespace koral
