// The statement in hand during pass 1: what the grammar's actions collect
// (the statement descriptor and the statement marks) and the places in the
// record body where they put the statement's items.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "expr/expression.h"

namespace koral {

struct Assembly;
struct Symbol;

// One element of a SYMBOL_T type list.
struct DebugTypeNode {
  int32_t kind;        // 294 name, 296 string, 299 number
  int32_t value;
  std::string_view text;  // kept in the permanent name pool
};

struct StatementDescriptor {
  int32_t kind = 0;          // statement kind
  int32_t type_code = 0;     // floating data: 32, 64 or 80; SECTION: 2, 4 or 8
  int32_t model = 0;         // SECTION, EXTERN: 8, 16, 24 or 0
  int32_t first_value = 0;   // $INCLUDE form; first LINE number
  int32_t second_value = 0;  // second LINE number
  int32_t numbers[3] = {0, 0, 0};  // the three numbers of FILE, LINE, SYMBOL_A...
  std::string_view name;     // MODULE, EQU, SECTION name (valid for the statement)
  ArenaRef text = 0;         // $TITLE, $INCLUDE, FILE text, copied into the arena
  int32_t text_length = 0;
  ArenaRef expression = 0;   // ORG, ALIGN, EQU, DSB..., fill value of DFW...
  ArenaRef count = 0;        // DFB, DFW...
  ArenaRef abs_address = 0;  // SECTION ABS=
  ArenaRef alignment = 0;    // SECTION ALIGN= first value
  ArenaRef label_alignment = 0;  // SECTION ALIGN= second value
  bool abs_given = false;
  uint32_t first_item = 0;   // body offset of the first list item, 0 without
  uint32_t last_item = 0;
  uint32_t kind_byte = 0;    // body offset of the byte reserved for the kind
  int32_t item_count = 0;
  std::vector<DebugTypeNode> type_list;
};

// Blocks of the parser's grown stacks.  A fatal diagnostic unwinds through
// the parser without its own clean-up, so the run owns the blocks and frees
// what is left when it ends.
class ParserStackMemory {
 public:
  ParserStackMemory() = default;
  ParserStackMemory(const ParserStackMemory&) = delete;
  ParserStackMemory& operator=(const ParserStackMemory&) = delete;
  ~ParserStackMemory();
  void* allocate(std::size_t size);
  void release(void* block);

 private:
  std::vector<void*> blocks_;
};

struct StatementState {
  // Marks of the statement in hand.
  bool has_label = false;
  bool is_instruction = false;
  bool is_directive = false;
  bool has_content = false;
  bool label_slot = false;         // the body starts with a label record slot
  bool label_diagnostic = false;   // the label definition reported
  bool relocatable_data = false;   // a data value of the statement is relocatable
  bool size_final = false;         // the stored size needs no pass-2 evaluation

  Symbol* label = nullptr;         // the current label symbol
  std::string_view pending_label;  // a new variable name the data directive defines
  StatementDescriptor d;

  uint32_t instruction = 0;        // body offset of the instruction record
  uint32_t operands[2] = {0, 0};   // body offsets of the operand records
  int32_t operand_count = 0;

  // For the whole of pass 1.
  bool end_seen = false;           // an END statement was handled
  bool own_debug_directives = false;
  std::vector<const char*> kept_names;  // names of name items: handle = index + 1
  ParserStackMemory parser_memory;
};

// Resets the marks and the descriptor for the next statement.
void begin_statement(Assembly& a);

// Runs the parser over the whole source (pass 1).
void parse_source(Assembly& a);

// The statement-end steps of pass 1; `at_end` when the line ended the source.
void end_statement(Assembly& a, bool at_end);
void end_bad_statement(Assembly& a, bool at_end);

}  // namespace koral
