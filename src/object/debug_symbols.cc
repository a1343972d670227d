#include "object/debug_symbols.h"

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "object/debug_types.h"

namespace koral {

namespace {

constexpr int32_t class_declaration = 0;
constexpr int32_t class_tool = 54;
constexpr int32_t first_register_slot = 256;  // class 2 values from here carry a frame offset

DebugSymbols& symbols_of(Assembly& a) { return a.debug.symbols; }

// A name kept for the run (the text of the statement is not).
std::string_view kept(Assembly& a, std::string_view name) {
  return name.empty() ? std::string_view{} : std::string_view(keep_name(a, name));
}

// Adds a record to the innermost open scope, or to the module list.
uint32_t add_record(Assembly& a, DebugSymbol record, bool in_scope) {
  DebugSymbols& d = symbols_of(a);
  const uint32_t index = static_cast<uint32_t>(d.records.size());
  record.scope = in_scope ? d.innermost : -1;
  d.records.push_back(record);
  if (record.scope >= 0)
    d.scopes[static_cast<std::size_t>(record.scope)].symbols.push_back(index);
  else
    d.module_list.push_back(index);
  if (!record.name.empty()) d.by_name[record.name] = index;
  return index;
}

DebugSymbol record_named(Assembly& a, std::string_view text, int32_t type, int32_t storage_class,
                         int32_t kind, int32_t value) {
  DebugSymbol r;
  r.name = kept(a, text);
  r.type = map_type(a, type);
  r.storage_class = storage_class;
  r.kind = kind;
  r.value = value;
  return r;
}

// A record at the statement's location.
DebugSymbol located(DebugSymbol r, const Assembly& a) {
  r.has_location = true;
  r.location = location_here(a, true);
  return r;
}

void identify_tool(Assembly& a, std::string_view version, int32_t tool, int32_t value) {
  DebugSymbols& d = symbols_of(a);
  d.tool_given = true;
  d.tool_number = tool;
  d.tool_value = value;
  a.object.tool.given = true;
  a.object.tool.tool_number = static_cast<uint32_t>(tool);
  a.object.tool.version = std::string(version);
}

}  // namespace

DebugLocation location_here(const Assembly& a, bool aligned) {
  DebugLocation at;
  at.section = a.run.section;
  if (!at.section) return at;
  at.offset = at.section->location;
  const uint32_t unit = at.section->alignment;
  if (aligned && unit > 1 && at.offset % unit != 0) at.offset += unit - at.offset % unit;
  return at;
}

int32_t describe_symbol_a(Assembly& a, std::string_view text, int32_t storage_class, int32_t type,
                          int32_t value) {
  switch (storage_class) {
    case class_declaration:
    case storage_external:
      add_record(a, record_named(a, text, type, storage_class, storage_external, value), false);
      return -1;
    case storage_automatic:
      return static_cast<int32_t>(
          add_record(a, record_named(a, text, type, storage_class, storage_automatic, value), true));
    case storage_register: {
      DebugSymbol r = record_named(a, text, type, storage_class, storage_register, value);
      if (value >= first_register_slot) {
        r.kind = storage_automatic;
        r.second_form = true;
      }
      return static_cast<int32_t>(add_record(a, r, true));
    }
    case storage_static:
    case storage_code_label:
      return static_cast<int32_t>(
          add_record(a, located(record_named(a, text, type, storage_class, storage_class, value), a), true));
    case 5:
    case storage_global: {
      DebugSymbol r = located(record_named(a, text, type, storage_class, storage_global, value), a);
      r.describes_label = storage_class == 5;
      return static_cast<int32_t>(add_record(a, r, false));
    }
    case 6:
    case 7:
      add_record(a, record_named(a, text, type, storage_class, storage_class, value), false);
      return -1;
    case storage_fixed: {
      DebugSymbol r = record_named(a, text, type, storage_class, storage_fixed, value);
      r.static_flag = symbols_of(a).innermost >= 0;
      return static_cast<int32_t>(add_record(a, r, true));
    }
    case storage_constant:
      add_record(a, record_named(a, text, 0, storage_class, storage_constant, value), false);
      return -1;
    case storage_frame:
      return static_cast<int32_t>(
          add_record(a, located(record_named(a, {}, 0, storage_class, storage_frame, value), a), true));
    case class_tool:
      identify_tool(a, text, type, value);
      return -1;
    default:
      return -1;
  }
}

void describe_symbol_n(Assembly& a, std::string_view name, int32_t type, int32_t storage_class,
                       int32_t value) {
  DebugSymbols& d = symbols_of(a);
  auto found = d.by_name.find(name);
  if (found != d.by_name.end()) {
    DebugSymbol& old = d.records[found->second];
    if (old.storage_class < 1 || old.storage_class > 6) {
      old.type = map_type(a, type);
      old.storage_class = storage_class;
      old.kind = storage_class;
      old.value = value;
      return;
    }
  }
  const bool module_level = storage_class >= 4 && storage_class != storage_frame;
  add_record(a, record_named(a, name, type, storage_class, storage_class, value), !module_level);
}

int32_t describe_scope(Assembly& a, std::string_view name, int32_t open, int32_t first, int32_t type) {
  DebugSymbols& d = symbols_of(a);
  if (open % 2 == 0) {
    if (d.innermost < 0) {
      report_error(a, 200);
      return -1;
    }
    const int32_t closed = d.innermost;
    DebugScope& scope = d.scopes[static_cast<std::size_t>(closed)];
    scope.closed = true;
    scope.end = location_here(a, false);
    d.innermost = scope.parent;
    return closed;
  }
  DebugScope scope;
  scope.name = kept(a, name);
  scope.first_number = static_cast<uint32_t>(first);
  scope.type = map_type(a, type);
  scope.parent = d.innermost;
  scope.start = location_here(a, false);
  const int32_t index = static_cast<int32_t>(d.scopes.size());
  d.scopes.push_back(scope);
  if (scope.parent >= 0)
    d.scopes[static_cast<std::size_t>(scope.parent)].children.push_back(static_cast<uint32_t>(index));
  else
    d.top_scopes.push_back(static_cast<uint32_t>(index));
  d.innermost = index;
  return index;
}

void locate_symbol_a(Assembly& a, uint32_t record) {
  DebugSymbols& d = symbols_of(a);
  if (record >= d.records.size() || !d.records[record].has_location) return;
  d.records[record].location = location_here(a, true);
}

void locate_scope(Assembly& a, uint32_t scope, bool closing) {
  DebugSymbols& d = symbols_of(a);
  if (scope >= d.scopes.size()) return;
  (closing ? d.scopes[scope].end : d.scopes[scope].start) = location_here(a, false);
}

}  // namespace koral
