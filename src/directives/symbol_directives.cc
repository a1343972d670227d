// EQU, PUBLIC and EXTERN: the directives that define a name by an
// expression, export names and import them.  Pass 1 changes the kinds of the
// names it can settle at once; pass 2 settles the rest, when every
// definition of the module is known.
#include "diag/diagnostics.h"
#include "directives/directives.h"
#include "driver/assembly.h"
#include "expr/evaluate.h"
#include "source/payload.h"
#include "source/statement_record.h"
#include "symbols/cross_reference.h"
#include "symbols/hash.h"
#include "symbols/symbol_table.h"

namespace koral {

namespace {

constexpr int32_t size_medium = 16;
constexpr int32_t size_large = 24;
constexpr std::string_view location_counter = "$";

// The current statement's position becomes the symbol's.
void take_position(Assembly& a, Symbol& symbol) {
  const SourceFile& file = a.sources.files[a.sources.current];
  symbol.file_index = static_cast<int32_t>(a.sources.current);
  symbol.line_in_file = file.line_in_file;
  symbol.listing_line = file.listing_line;
}

Symbol* symbol_named(Assembly& a, std::string_view name) { return lookup_symbol(a, name, hash_name(name)); }
Section* section_named(Assembly& a, std::string_view name) { return lookup_section(a, name, hash_name(name)); }

// --- EQU ------------------------------------------------------------------------------

// EQU whose expression is one symbol: the name itself is a redefinition; a
// label of a relocatable section cannot name a constant of a relocatable one.
void single_symbol_checks(Assembly& a, std::string_view name, ArenaRef tree) {
  if (!tree || a.arena.tag(tree) != node_name) return;
  const NameNode& leaf = *a.arena.at<NameNode>(tree);
  Symbol* symbol = leaf.kind == name_symbol ? symbol_from_handle(a, leaf.symbol) : nullptr;
  if (!symbol) return;
  if (name_of(*symbol) == name) {
    report_error(a, 203, name);
    symbol->status |= status_multi_defined;
    return;
  }
  const Section* current = a.run.section;
  bool relocatable_here = current && !(current->kind & section_absolute);
  bool equ_name = symbol->kind == kind_equ || symbol->kind == kind_public_equ;
  bool relocatable_label = symbol->section && !(symbol->section->kind & section_absolute);
  if (relocatable_here && !equ_name && relocatable_label) report_error(a, 226);
}

// Makes `symbol` (or a new entry) the EQU name; nullptr when it is taken.
Symbol* define_equ_name(Assembly& a, std::string_view name, Symbol* symbol) {
  if (!symbol) return insert_name(a, name, kind_equ).symbol;
  switch (symbol->kind) {
    case kind_public_undefined:
      symbol->kind = kind_public_equ;
      return symbol;
    case kind_forward:
    case kind_external:
    case kind_late_public:
      symbol->kind = kind_equ;
      return symbol;
    case kind_equ:
    case kind_public_equ:
      if (symbol->file_index < 0) return symbol;
      report_error(a, 203, name);
      return nullptr;
    default:
      report_error(a, 203, name);
      symbol->status |= status_multi_defined;
      return nullptr;
  }
}

// The value of an EQU expression: the absolute evaluator's.
int32_t equ_value(Assembly& a, ArenaRef tree) {
  Value v = evaluate_absolute(a, tree);
  if (v.kind == V_LOCAL && !a.diag.error_mark) report_error(a, 222);
  return v.kind == V_ABS ? v.value : 0;
}

void equ_pass_one(Assembly& a) {
  const StatementDescriptor& d = a.statement.d;
  std::string_view name = d.name;
  if (name == location_counter) report_error(a, 226);
  single_symbol_checks(a, name, d.expression);
  if (section_named(a, name)) report_error(a, 203, name);
  Symbol* symbol = symbol_named(a, name);
  if (a.diag.error_mark) {
    // The location-counter symbol stays whatever is written.
    if (symbol && symbol->kind != kind_location) delete_symbol(a, *symbol);
    symbol = nullptr;
  } else {
    symbol = define_equ_name(a, name, symbol);
  }
  put_word(a, handle_of(symbol));
  put_word(a, d.expression);
  if (!symbol) return;
  symbol->section = nullptr;
  take_position(a, *symbol);
  symbol->value = equ_value(a, d.expression);
}

void equ_later_pass(Assembly& a) {
  Symbol* symbol = symbol_from_handle(a, payload_word(a, 0));
  if (!symbol || symbol->kind == kind_deleted) return;
  if (a.run.pass == pass_two && section_named(a, name_of(*symbol))) {
    report_error(a, 203, name_of(*symbol));
    return;
  }
  ++a.diag.warnings_muted;
  symbol->value = equ_value(a, payload_last_word(a, 1));
  --a.diag.warnings_muted;
}

// --- name lists -----------------------------------------------------------------------

NameItem* first_name_item(Assembly& a) {
  uint32_t offset = a.run.pass == pass_one ? a.statement.d.first_item : payload_first_item(a);
  return offset ? a.token_file.item<NameItem>(offset) : nullptr;
}

NameItem* next_name_item(NameItem* item) {
  if (item->next == 0) return nullptr;
  return reinterpret_cast<NameItem*>(reinterpret_cast<unsigned char*>(item) + item->next);
}

std::string_view item_name(Assembly& a, const NameItem& item) {
  const std::vector<const char*>& names = a.statement.kept_names;
  if (item.name == 0 || item.name > names.size()) return {};
  return names[item.name - 1];
}

constexpr int32_t item_good = 0;
constexpr int32_t item_rejected = 1;

// --- PUBLIC ---------------------------------------------------------------------------

void public_name_pass_one(Assembly& a, NameItem& item) {
  std::string_view name = item_name(a, item);
  if (Section* section = section_named(a, name)) {
    report_error(a, 210);
    record_reference(a, nullptr, section);
    item.status = item_rejected;
    return;
  }
  if (name == location_counter) {
    report_error(a, 200);
    item.status = item_rejected;
    return;
  }
  Symbol* symbol = symbol_named(a, name);
  if (!symbol) {
    symbol = insert_name(a, name, kind_public_undefined).symbol;
    take_position(a, *symbol);
  } else {
    switch (symbol->kind) {
      case kind_label: symbol->kind = kind_late_public; break;
      case kind_forward: symbol->kind = kind_public_undefined; break;
      case kind_equ: symbol->kind = kind_public_equ; break;
      case kind_external: symbol->kind = kind_public_undefined; break;
      case kind_public_undefined: case kind_public_label: case kind_public_variable:
      case kind_public_equ: case kind_late_public:
        break;
      default:
        report_error(a, 210);
        item.status = item_rejected;
        break;
    }
  }
  record_reference(a, symbol, nullptr);
}

void public_name_pass_two(Assembly& a, const NameItem& item) {
  std::string_view name = item_name(a, item);
  if (section_named(a, name)) {
    report_error(a, 210);
    return;
  }
  Symbol* symbol = symbol_named(a, name);
  int32_t kind = symbol ? symbol->kind : kind_public_undefined;
  switch (kind) {
    case kind_public_undefined: case kind_forward: case kind_external:
      if (!a.diag.error_mark) report_error(a, 221);
      break;
    case kind_label: symbol->kind = kind_late_public; break;
    case kind_equ: symbol->kind = kind_public_equ; break;
    case kind_public_label: case kind_public_variable: case kind_public_equ: case kind_late_public:
      break;
    default:
      report_error(a, 203, name);
      break;
  }
}

// --- EXTERN ---------------------------------------------------------------------------

// Marks the items from `item` on as not to be processed.
void reject_rest(NameItem* item) {
  for (; item; item = next_name_item(item)) item->status = item_rejected;
}

void make_external(Assembly& a, Symbol& symbol, int32_t model) {
  symbol.kind = kind_external;
  symbol.model = model;
  take_position(a, symbol);
}

void extern_pass_one(Assembly& a) {
  int32_t model = a.statement.d.model ? a.statement.d.model : size_medium;
  NameItem* item = first_name_item(a);
  if (model == size_large && a.settings.model_level < 2) {
    report_error(a, 216);
    reject_rest(item);
    return;
  }
  for (; item; item = next_name_item(item)) {
    item->unused1 = model;  // the later passes read the size attribute here
    std::string_view name = item_name(a, *item);
    if (section_named(a, name)) {
      report_error(a, 203, name);
      reject_rest(item);
      return;
    }
    if (name == location_counter) {
      report_error(a, 200);
      item->status = item_rejected;
      continue;
    }
    Symbol* symbol = symbol_named(a, name);
    if (!symbol) {
      make_external(a, *insert_name(a, name, kind_external).symbol, model);
      continue;
    }
    switch (symbol->kind) {
      case kind_forward:
        make_external(a, *symbol, model);
        break;
      case kind_external: case kind_late_public:
      case kind_public_undefined: case kind_label: case kind_public_label:
      case kind_public_variable: case kind_public_equ: case kind_equ:
        symbol->model = model;  // the other kinds wait for pass 2
        break;
      default:
        report_error(a, 203, name);
        item->status = item_rejected;
        break;
    }
  }
}

void extern_name_pass_two(Assembly& a, const NameItem& item) {
  std::string_view name = item_name(a, item);
  if (section_named(a, name)) {
    report_error(a, 203, name);
    return;
  }
  // An external dropped at END as never referenced is gone.
  Symbol* symbol = symbol_named(a, name);
  if (!symbol) return;
  switch (symbol->kind) {
    case kind_public_undefined: case kind_forward:
      make_external(a, *symbol, item.unused1);
      break;
    case kind_public_label: case kind_public_variable: case kind_public_equ:
    case kind_late_public: case kind_external:
      break;
    default:
      report_error(a, 203, name);
      break;
  }
}

}  // namespace

void equ_handler(Assembly& a) {
  if (a.run.pass == pass_one) {
    equ_pass_one(a);
    return;
  }
  if (!a.diag.error_mark) equ_later_pass(a);
}

void public_handler(Assembly& a) {
  if (a.run.pass == pass_final) return;
  for (NameItem* item = first_name_item(a); item; item = next_name_item(item)) {
    if (a.run.pass == pass_one)
      public_name_pass_one(a, *item);
    else if (item->status == item_good)
      public_name_pass_two(a, *item);
  }
}

void extern_handler(Assembly& a) {
  if (a.run.pass == pass_one) {
    extern_pass_one(a);
    return;
  }
  if (a.run.pass != pass_two) return;
  for (NameItem* item = first_name_item(a); item; item = next_name_item(item))
    if (item->status == item_good) extern_name_pass_two(a, *item);
}

}  // namespace koral
