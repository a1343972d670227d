#include "object/debug_blocks.h"

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "object/debug_info.h"
#include "object/line_records.h"
#include "object/object_fields.h"
#include "object/object_loads.h"
#include "object/object_output.h"
#include "object/object_writer.h"
#include "symbols/hash.h"

namespace koral {

namespace {

constexpr uint8_t block_types = 0x01;           // BB1
constexpr uint8_t block_symbols = 0x03;         // BB3
constexpr uint8_t block_public_function = 0x04; // BB4
constexpr uint8_t block_lines = 0x05;           // BB5
constexpr uint8_t block_local_function = 0x06;  // BB6
constexpr uint8_t record_type = 0xF2;           // TY

// Attribute numbers of the ATN records of the debug blocks.
constexpr uint8_t attribute_line = 7;
constexpr uint8_t attribute_register_slot = 10;
constexpr uint8_t attribute_procedure = 62;
constexpr uint8_t attribute_module = 0x40;
constexpr uint8_t tool_misc_count = 0x32;
constexpr uint8_t tool_misc_kind = 0x03;
constexpr uint32_t tool_record_kind = 5;
constexpr uint32_t constant_form = 4;
constexpr uint32_t frame_form = 2;

uint32_t next_variable(Assembly& a) { return static_cast<uint32_t>(a.symbols.next_public_index++); }

void put_letter_record(ObjectBytes& out, uint8_t type, char letter_char) {
  put_byte(out, type);
  put_byte(out, letter(letter_char));
}

void put_variable_name(Assembly& a, uint32_t n, std::string_view name) {
  ObjectBytes& out = object_record(a);
  put_byte(out, record_name);
  put_number(out, n);
  put_name(out, name);
  flush_object_record(a);
}

// F8 kind 00 name: the head of a block.
void begin_block(Assembly& a, uint8_t kind, std::string_view name) {
  ObjectBytes& out = object_record(a);
  put_byte(out, record_block_begin);
  put_byte(out, kind);
  put_byte(out, 0x00);
  put_name(out, name);
}

void end_block(Assembly& a) {
  put_byte(object_record(a), record_block_end);
  flush_object_record(a);
}

// The head of an ATN record of variable n.
ObjectBytes& attribute(Assembly& a, uint32_t n, uint32_t type, uint32_t number) {
  ObjectBytes& out = object_record(a);
  put_letter_record(out, record_attribute, 'N');
  put_number(out, n);
  put_number(out, type);
  put_number(out, number);
  return out;
}

// The head of an ASN record of variable n.
ObjectBytes& assignment(Assembly& a, uint32_t n) {
  ObjectBytes& out = object_record(a);
  put_letter_record(out, record_assign, 'N');
  put_number(out, n);
  return out;
}

// A location as a section-relative value (the offset from the start for an
// absolute section), written even when the offset is 0.
void put_location(ObjectBytes& out, const DebugLocation& at) {
  if (!at.section) {
    put_number(out, at.offset);
    return;
  }
  uint32_t offset = at.offset;
  if (absolute_section(at.section)) offset -= at.section->start;
  put_byte(out, letter('R'));
  put_number(out, object_section_index(at.section));
  put_number(out, offset);
  put_byte(out, operator_plus);
}

// --- BB1 -----------------------------------------------------------------------------

void write_type_block(Assembly& a) {
  begin_block(a, block_types, a.run.module_name);
  flush_object_record(a);
  for (const TypeGroup& group : a.debug.types.groups) {
    const uint32_t n = next_variable(a);
    put_variable_name(a, n, group.name);
    ObjectBytes& out = object_record(a);
    put_byte(out, record_type);
    put_number(out, group.index);
    put_byte(out, letter('N'));
    put_number(out, n);
    put_byte(out, group.letter);
    for (const TypeField& field : group.fields) {
      if (field.is_name)
        put_name(out, field.name);
      else
        put_number(out, field.number);
    }
    flush_object_record(a);
  }
  end_block(a);
}

// --- BB3 -----------------------------------------------------------------------------

bool public_kind(int32_t kind) {
  return kind == kind_public_label || kind == kind_public_variable || kind == kind_public_equ ||
         kind == kind_late_public;
}

Symbol* user_symbol(Assembly& a, std::string_view name) {
  if (name.empty()) return nullptr;
  return lookup_symbol(a, name, hash_name(name));
}

// Where a record lies: its own location, else the label of its name, else
// its value.
DebugLocation address_of(Assembly& a, const DebugSymbol& r) {
  if (r.has_location) return r.location;
  DebugLocation at;
  at.offset = static_cast<uint32_t>(r.value);
  if (Symbol* s = user_symbol(a, r.name); s && s->section) {
    at.section = s->section;
    at.offset = static_cast<uint32_t>(s->value);
  }
  return at;
}

// An address less the start of the enclosing function.
uint32_t function_offset(Assembly& a, const DebugSymbol& r, const DebugScope* function) {
  const uint32_t address = address_of(a, r).offset;
  return function ? address - function->start.offset : address;
}

void write_tool_identification(Assembly& a) {
  const DebugSymbols& d = a.debug.symbols;
  const uint32_t n = next_variable(a);
  put_variable_name(a, n, "");
  ObjectBytes& out = attribute(a, n, 0, attribute_module);
  put_byte(out, tool_misc_count);
  put_byte(out, tool_misc_kind);
  flush_object_record(a);
  for (uint32_t value : {static_cast<uint32_t>(d.tool_number), tool_record_kind,
                         static_cast<uint32_t>(d.tool_value)}) {
    put_number(assignment(a, n), value);
    flush_object_record(a);
  }
}

void write_symbol(Assembly& a, const DebugSymbol& r, const DebugScope* function) {
  const uint32_t n = next_variable(a);
  put_variable_name(a, n, r.kind == storage_frame ? std::string_view{} : r.name);
  const uint32_t value = static_cast<uint32_t>(r.value);
  switch (r.kind) {
    case storage_automatic:
      if (r.second_form) {
        ObjectBytes& out = attribute(a, n, r.type, attribute_register_slot);
        put_number(out, value & 0xFF);
        put_number(out, value >> 8);
      } else {
        put_number(attribute(a, n, r.type, storage_automatic), value);
      }
      break;
    case storage_register:
      put_number(attribute(a, n, r.type, storage_register), value);
      break;
    case storage_external:
      attribute(a, n, r.type, storage_external);
      break;
    case storage_static:
    case storage_global:
      attribute(a, n, r.type, static_cast<uint32_t>(r.kind));
      flush_object_record(a);
      put_location(assignment(a, n), address_of(a, r));
      break;
    case storage_code_label:
      put_number(attribute(a, n, 0, storage_code_label), function_offset(a, r, function));
      break;
    case storage_fixed:
      attribute(a, n, r.type, r.static_flag ? storage_static : storage_global);
      flush_object_record(a);
      put_number(assignment(a, n), value);
      break;
    case storage_constant: {
      ObjectBytes& out = attribute(a, n, 0, storage_constant);
      put_number(out, constant_form);
      put_number(out, 0);
      put_byte(out, omitted_number);
      put_name(out, r.name);
      break;
    }
    case storage_frame: {
      ObjectBytes& out = attribute(a, n, 0, attribute_procedure);
      put_number(out, storage_frame);
      put_number(out, frame_form);
      flush_object_record(a);
      put_number(assignment(a, n), function_offset(a, r, function));
      flush_object_record(a);
      put_number(assignment(a, n), value);
      break;
    }
    default:
      attribute(a, n, r.type, static_cast<uint32_t>(r.storage_class));
      break;
  }
  flush_object_record(a);
  if (r.describes_label) {
    Symbol* label = user_symbol(a, r.name);
    if (label && label->kind == kind_label) label->attributes |= attribute_debug_described;
  }
}

// The last address of a scope: the byte before its closing directive.
DebugLocation last_address(const DebugScope& scope) {
  DebugLocation last = scope.closed ? scope.end : scope.start;
  if (scope.closed && last.offset > scope.start.offset) --last.offset;
  return last;
}

void write_scope(Assembly& a, uint32_t index) {
  const DebugScope& scope = a.debug.symbols.scopes[index];
  const Symbol* function = user_symbol(a, scope.name);
  const bool exported = function && public_kind(function->kind);
  begin_block(a, exported ? block_public_function : block_local_function, scope.name);
  ObjectBytes& out = object_record(a);
  put_number(out, scope.first_number);
  put_number(out, scope.type);
  put_location(out, scope.start);
  flush_object_record(a);
  for (uint32_t record : scope.symbols) write_symbol(a, a.debug.symbols.records[record], &scope);
  for (uint32_t child : scope.children) write_scope(a, child);
  ObjectBytes& end = object_record(a);
  put_byte(end, record_block_end);
  put_location(end, last_address(a.debug.symbols.scopes[index]));
  flush_object_record(a);
}

void write_symbol_block(Assembly& a) {
  begin_block(a, block_symbols, a.run.module_name);
  flush_object_record(a);
  const DebugSymbols& d = a.debug.symbols;
  if (d.tool_given) write_tool_identification(a);
  for (uint32_t record : d.module_list) write_symbol(a, d.records[record], nullptr);
  for (uint32_t scope : d.top_scopes) write_scope(a, scope);
  end_block(a);
}

// --- BB5 -----------------------------------------------------------------------------

DebugFile& file_row(Assembly& a, int32_t reference) {
  std::vector<DebugFile>& files = a.debug.lines.files;
  if (reference < 0 || static_cast<std::size_t>(reference) >= files.size()) report_fatal(a, 150);
  return files[static_cast<std::size_t>(reference)];
}

void write_line(Assembly& a, const LineRecord& record, DebugFile& file) {
  if (file.entries > file.variables_issued) {
    file.variable = next_variable(a);
    ++file.variables_issued;
    put_variable_name(a, file.variable, "");
  }
  ObjectBytes& out = attribute(a, file.variable, 0, attribute_line);
  put_number(out, static_cast<uint32_t>(record.line));
  put_number(out, record.column > 0 ? static_cast<uint32_t>(record.column) : 0);
  flush_object_record(a);
  ObjectBytes& at = assignment(a, file.variable);
  put_byte(at, letter('R'));
  put_number(at, static_cast<uint32_t>(record.reference));
  put_number(at, static_cast<uint32_t>(record.offset));
  put_byte(at, operator_plus);
  flush_object_record(a);
}

void write_line_block(Assembly& a) {
  if (a.debug.lines.count == 0) return;
  rewind_line_records(a);
  std::vector<int32_t> open;  // debug file rows of the open blocks, innermost last
  LineRecord record;
  while (read_line_record(a, record)) {
    switch (record.kind) {
      case line_enter_file: {
        DebugFile& file = file_row(a, record.reference);
        begin_block(a, block_lines, file.name);
        flush_object_record(a);
        ++file.entries;
        open.push_back(record.reference);
        break;
      }
      case line_return_file:
        file_row(a, record.reference);
        end_block(a);
        // The file returned to takes over the innermost place, even when the
        // BE closed the last block that was open.
        if (!open.empty()) open.pop_back();
        if (open.empty())
          open.push_back(record.reference);
        else
          open.back() = record.reference;
        break;
      case line_relocatable:
      case line_absolute:
        if (!open.empty()) write_line(a, record, file_row(a, open.back()));
        break;
      default:
        break;
    }
  }
  end_block(a);
}

}  // namespace

void write_debug_blocks(Assembly& a) {
  write_type_block(a);
  write_symbol_block(a);
  write_line_block(a);
}

}  // namespace koral
