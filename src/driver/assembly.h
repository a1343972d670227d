// The state of one assembly run.  Every stage of the run reaches it through
// one Assembly object; a fresh object is a fresh run, so tests can start as
// many as they like.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "diag/diagnostics.h"
#include "directives/data_support.h"
#include "directives/sections.h"
#include "driver/settings.h"
#include "driver/temp_files.h"
#include "expr/expression.h"
#include "expr/evaluate.h"
#include "expr/constants.h"
#include "isa/code_buffer.h"
#include "isa/isa_state.h"
#include "listing/listing.h"
#include "object/debug_info.h"
#include "object/object_file.h"
#include "source/lexer_state.h"
#include "source/source_files.h"
#include "source/statement.h"
#include "source/token_file.h"
#include "symbols/symbol_table.h"

namespace koral {

struct Section;

// Pass numbers.
enum Pass : int32_t { pass_options = 0, pass_one = 1, pass_two = 2, pass_final = 3 };

struct RunState {
  static constexpr std::size_t max_command_line = 5000;
  static constexpr int32_t max_iterations = 11;

  int32_t pass = pass_options;
  uint32_t options = 0;            // the option flags word (OptionBit)
  int32_t statement_kind = 0;      // kind of the statement in hand, 0 between statements
  uint32_t statement_size = 0;     // bytes the statement in hand occupies
  Section* section = nullptr;      // current section, none before the first SECTION
  int32_t iteration = 0;           // completed pass-2 iterations
  bool another_iteration = false;  // some size or label value changed
  int32_t first_statement_line = 0;
  bool option_lines_seen = false;
  uint32_t statement_count = 0;    // statements found in the source by pass 1
  bool end_processed = false;      // an END statement was handled in this pass
  std::string command_line;        // all arguments joined with blanks
  std::string module_name;         // MODULE's name, else the default from the source name
  std::tm time_stamp{};
  bool banner_printed = false;
  bool in_command_file = false;
};

struct Assembly {
  RunState run;
  Settings settings;
  Diagnostics diag;
  TempFiles temps;
  SourceFiles sources;
  LexerState lexer;
  SymbolTable symbols;
  ListingState listing;
  ObjectFile object;
  DebugInfo debug;  // what the debug directives and line records collect
  NodeArena arena;  // expression nodes of the statement in hand
  EvaluationState evaluation;
  TokenFileState token_file;
  StatementState statement;
  SectionState sections;
  DataOutputState data_output;  // pieces of the data statement in hand
  ConstantState constants;
  IsaState isa;     // encoder state of the instruction in hand
  CodeBuffer code;  // bytes of the statement in hand (instructions and data)

  bool option(uint32_t bit) const { return (run.options & bit) != 0; }
};

// Thrown by a fatal diagnostic (and by the command-line abort) to unwind to
// the entry of the run, which closes and removes what the run left open.
struct RunAborted {
  int category;  // 0 files, 1 command line, 2 internal and resources
};

}  // namespace koral
