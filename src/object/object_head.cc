// The head of the object module, written after pass 2 when every size,
// section and symbol value is final: module head, attribute and environment
// parts, sections, public and external symbols, and the debug part.

#include <cctype>
#include <string_view>

#include "driver/assembly.h"
#include "object/debug_blocks.h"
#include "object/object_loads.h"
#include "object/object_output.h"
#include "object/object_writer.h"
#include "platform/host.h"

namespace koral {

namespace {

constexpr std::string_view processor_name = "KORAL";
constexpr uint32_t default_tool_number = 412;
constexpr std::string_view default_tool_version = "1.0b";
constexpr uint32_t part_table_size = 64;  // eight ASW records of 8 bytes
constexpr int max_version_marks = 3;

// Unnamed N variables that carry the module attributes.
constexpr uint32_t attributes_variable = 32;
constexpr uint32_t environment_variable = 33;

// Attribute numbers of the ATN records of the head.
enum HeadAttribute : uint8_t {
  attribute_format_version = 0x25,  // 37
  attribute_format_type = 0x26,     // 38
  attribute_case = 0x27,            // 39
  attribute_created = 0x32,         // 50
  attribute_command_line = 0x33,    // 51
  attribute_status = 0x34,          // 52
  attribute_host = 0x35,            // 53
  attribute_tool = 0x36,            // 54
};

constexpr uint8_t block_assembler = 0x0A;  // BB10
constexpr uint8_t block_section = 0x0B;    // BB11
constexpr uint8_t symbol_attribute_tag = 0x13;

// Sections in index order; indices whose descriptor is deleted or was never
// completed by a SECTION statement have no section.
template <typename Visit>
void for_each_section(Assembly& a, Visit visit) {
  for (uint32_t handle = 1; handle <= a.symbols.section_count; ++handle) {
    Section* s = section_from_handle(a, handle);
    if (s && s->kind != 0 && s->kind != kind_deleted) visit(*s);
  }
}

void put_record_type(ObjectBytes& out, uint8_t first, char second) {
  put_byte(out, first);
  put_byte(out, letter(second));
}

// 0x82, the year in two bytes, month, day, hour, minute, second.
void put_time_stamp(ObjectBytes& out, const std::tm& t) {
  const uint32_t year = t.tm_year >= 92 ? 1900 + t.tm_year : 2000 + t.tm_year;
  put_byte(out, 0x82);
  put_byte(out, static_cast<uint8_t>(year >> 8));
  put_byte(out, static_cast<uint8_t>(year));
  for (int field : {t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec})
    put_byte(out, static_cast<uint8_t>(field));
}

// NN record of an unnamed module-attribute variable.
void put_unnamed_variable(ObjectBytes& out, uint32_t index) {
  put_byte(out, record_name);
  put_number(out, index);
  put_name(out, "");
}

// The head of an ATN record of a module-attribute variable.
void put_module_attribute(ObjectBytes& out, uint32_t variable, uint8_t attribute) {
  put_record_type(out, record_attribute, 'N');
  put_number(out, variable);
  put_byte(out, 0x00);
  put_byte(out, attribute);
}

// The tool number, then one mark per letter or digit of the version text (at
// most three): a digit its value, a letter its upper-case letter code.
void put_tool(ObjectBytes& out, uint32_t tool_number, std::string_view version) {
  put_number(out, tool_number);
  int marks = 0;
  for (char c : version) {
    if (marks == max_version_marks) break;
    unsigned char u = static_cast<unsigned char>(c);
    if (std::isdigit(u)) {
      put_byte(out, static_cast<uint8_t>(u - '0'));
    } else if (std::isalpha(u)) {
      put_byte(out, letter(static_cast<char>(std::toupper(u))));
    } else {
      continue;
    }
    ++marks;
  }
}

// Data marks that the integer data and storage directives set on a label.
constexpr uint32_t data_mark_bytes = 0x10;  // DB, DFB, DSB
constexpr uint32_t data_mark_words = 0x20;  // DW, DFW, DSW
constexpr uint32_t data_mark_longs = 0x40;  // DP, DL, DD and their fill and storage forms

// Debug type of a symbol from the data mark of its directive.
uint32_t symbol_type(const Symbol& s) {
  if (s.attributes & data_mark_bytes) return 3;
  if (s.attributes & data_mark_words) return 5;
  if (s.attributes & data_mark_longs) return 7;
  return 15;
}

// The value of a label: section base variable plus offset (the offset from
// the start for an absolute section), written even when it is 0.
void put_label_value(ObjectBytes& out, const Symbol& s) {
  const Section* section = s.section;
  if (!section) {
    put_number(out, static_cast<uint32_t>(s.value));
    return;
  }
  uint32_t offset = static_cast<uint32_t>(s.value);
  if (absolute_section(section)) offset -= section->start;
  put_byte(out, letter('R'));
  put_number(out, object_section_index(section));
  put_number(out, offset);
  put_byte(out, operator_plus);
}

void write_module_head(Assembly& a) {
  ObjectBytes& out = object_record(a);
  put_byte(out, record_module_begin);
  put_name(out, processor_name);
  put_name(out, a.run.module_name);
  put_byte(out, record_address);
  put_byte(out, 8);  // bits per addressable unit
  put_byte(out, 3);  // units in the largest address
  put_byte(out, letter('L'));
  flush_object_record(a);
  a.object.part_table_offset = a.object.position;
  out.insert(out.end(), part_table_size, 0x00);
  flush_object_record(a);
}

void write_attribute_part(Assembly& a) {
  a.object.part_offsets[part_attributes] = a.object.position;
  ObjectBytes& out = object_record(a);
  put_unnamed_variable(out, attributes_variable);
  flush_object_record(a);
  put_module_attribute(out, attributes_variable, attribute_format_version);
  put_byte(out, 4);  // version
  put_byte(out, 0);  // revision
  flush_object_record(a);
  put_module_attribute(out, attributes_variable, attribute_format_type);
  put_byte(out, 2);
  flush_object_record(a);
  put_module_attribute(out, attributes_variable, attribute_case);
  put_byte(out, 2);
  flush_object_record(a);
}

void write_environment_part(Assembly& a) {
  ObjectFile& object = a.object;
  object.part_offsets[part_environment] = object.position;
  ObjectBytes& out = object_record(a);
  put_unnamed_variable(out, environment_variable);
  flush_object_record(a);
  put_module_attribute(out, environment_variable, attribute_created);
  put_time_stamp(out, a.run.time_stamp);
  flush_object_record(a);
  put_module_attribute(out, environment_variable, attribute_command_line);
  put_name(out, a.run.command_line);
  flush_object_record(a);
  // The status byte is patched at the finish: note where it lies.
  object.status_offset = object.position + 5;
  put_module_attribute(out, environment_variable, attribute_status);
  put_byte(out, 0x00);
  flush_object_record(a);
  put_module_attribute(out, environment_variable, attribute_host);
  put_byte(out, 2);
  flush_object_record(a);
  put_module_attribute(out, environment_variable, attribute_tool);
  if (object.tool.given)
    put_tool(out, object.tool.tool_number, object.tool.version);
  else
    put_tool(out, default_tool_number, default_tool_version);
  flush_object_record(a);
}

void put_section_letters(ObjectBytes& out, const Section& s) {
  const char type = (s.kind & section_code) ? 'P' : (s.kind & section_data) ? 'D' : 'R';
  if (absolute_section(&s)) {
    for (char c : {'A', 'S', type}) put_byte(out, letter(c));
    return;
  }
  switch (s.size_attribute) {
    case 8: for (char c : {'Z', 'C', type}) put_byte(out, letter(c)); break;
    case 16: for (char c : {'Y', 'C', type}) put_byte(out, letter(c)); break;
    case 24: for (char c : {'C', type}) put_byte(out, letter(c)); break;
    default: break;
  }
}

void write_section_part(Assembly& a) {
  ObjectFile& object = a.object;
  const uint32_t start = object.position;
  bool any = false;
  for_each_section(a, [&](Section& s) {
    any = true;
    const uint32_t index = object_section_index(&s);
    ObjectBytes& out = object_record(a);
    put_byte(out, record_section_type);
    put_number(out, index);
    put_section_letters(out, s);
    put_name(out, name_of(s));
    flush_object_record(a);
    if (!absolute_section(&s)) {
      put_byte(out, record_section_align);
      put_number(out, index);
      put_number(out, s.alignment);
      flush_object_record(a);
    }
    put_record_type(out, record_assign, 'S');
    put_number(out, index);
    put_number(out, s.size);
    flush_object_record(a);
    if (absolute_section(&s)) {
      put_record_type(out, record_assign, 'L');
      put_number(out, index);
      put_number(out, s.start);
      flush_object_record(a);
    }
  });
  object.part_offsets[part_sections] = any ? start : 0;
}

void write_public_symbol(Assembly& a, const Symbol& s) {
  const uint32_t index = static_cast<uint32_t>(s.object_index);
  const bool absolute_value = s.kind == kind_public_equ;
  ObjectBytes& out = object_record(a);
  put_byte(out, record_public_name);
  put_number(out, index);
  put_name(out, name_of(s));
  flush_object_record(a);
  put_record_type(out, record_attribute, 'I');
  put_number(out, index);
  put_number(out, absolute_value ? 15 : symbol_type(s));
  put_byte(out, symbol_attribute_tag);
  put_number(out, absolute_value ? 0 : static_cast<uint32_t>(s.data_size));
  flush_object_record(a);
  put_record_type(out, record_assign, 'I');
  put_number(out, index);
  if (absolute_value)
    put_number(out, static_cast<uint32_t>(s.value));
  else
    put_label_value(out, s);
  flush_object_record(a);
}

void write_external_symbol(Assembly& a, const Symbol& s) {
  const uint32_t index = static_cast<uint32_t>(s.object_index);
  ObjectBytes& out = object_record(a);
  put_byte(out, record_external_name);
  put_number(out, index);
  put_name(out, name_of(s));
  flush_object_record(a);
  put_record_type(out, record_attribute, 'X');
  put_number(out, index);
  put_byte(out, 0x0F);
  put_byte(out, omitted_number);
  put_byte(out, s.model == 24 || s.model == 0 ? 0x00 : s.model == 16 ? 0x01 : 0x02);
  flush_object_record(a);
}

bool is_public(int32_t kind) {
  return kind == kind_public_label || kind == kind_public_variable || kind == kind_public_equ ||
         kind == kind_late_public;
}

void write_external_part(Assembly& a) {
  ObjectFile& object = a.object;
  const uint32_t start = object.position;
  bool any = false;
  for_each_live_symbol(a, [&](Symbol& s) {
    if (!is_public(s.kind)) return;
    write_public_symbol(a, s);
    any = true;
  });
  for_each_live_symbol(a, [&](Symbol& s) {
    if (s.kind != kind_external || s.references.count == 0) return;
    write_external_symbol(a, s);
    any = true;
  });
  object.part_offsets[part_externals] = any ? start : 0;
}

// NN, ATN and ASN of a local label or EQU symbol under -g.
void write_local_symbol(Assembly& a, Symbol& s) {
  const uint32_t n = static_cast<uint32_t>(a.symbols.next_public_index++);
  const bool label = s.kind == kind_label;
  if (label) s.object_index = static_cast<int32_t>(n);
  ObjectBytes& out = object_record(a);
  put_byte(out, record_name);
  put_number(out, n);
  put_name(out, name_of(s));
  flush_object_record(a);
  put_record_type(out, record_attribute, 'N');
  put_number(out, n);
  put_number(out, symbol_type(s));
  put_byte(out, symbol_attribute_tag);
  put_byte(out, 0x01);
  put_byte(out, 0x00);
  flush_object_record(a);
  put_record_type(out, record_assign, 'N');
  put_number(out, n);
  if (label)
    put_label_value(out, s);
  else
    put_number(out, static_cast<uint32_t>(s.value));
  flush_object_record(a);
}

void write_assembler_block_head(Assembly& a) {
  const std::string& given = a.object.debug_source_name;
  ObjectBytes& out = object_record(a);
  put_byte(out, record_block_begin);
  put_byte(out, block_assembler);
  put_byte(out, 0x00);
  // A FILE name is the compiler's text and is written as its BB5 block has it.
  put_name(out, given.empty() ? host::with_slashes(a.settings.source_name) : given);
  put_byte(out, 0x00);
  put_number(out, default_tool_number);
  put_name(out, default_tool_version);
  put_time_stamp(out, a.run.time_stamp);
  flush_object_record(a);
}

void write_section_block(Assembly& a, const Section& s) {
  const uint32_t index = object_section_index(&s);
  ObjectBytes& out = object_record(a);
  put_byte(out, record_block_begin);
  put_byte(out, block_section);
  put_byte(out, 0x00);
  put_byte(out, 0x00);
  put_byte(out, (s.kind & section_code) ? 1 : (s.kind & section_data) ? 2 : 3);
  put_number(out, index);
  if (absolute_section(&s)) {
    put_number(out, s.start);
  } else {
    put_byte(out, letter('R'));
    put_number(out, index);
  }
  put_byte(out, record_block_end);
  put_number(out, s.size);
  flush_object_record(a);
}

void write_assembler_block(Assembly& a) {
  write_assembler_block_head(a);
  if (a.option(opt_debug) || a.option(opt_debug_second_form)) {
    for_each_live_symbol(a, [&](Symbol& s) {
      const bool local_label =
          s.kind == kind_label && (s.attributes & attribute_debug_described) == 0;
      if (local_label || s.kind == kind_equ) write_local_symbol(a, s);
    });
  }
  for_each_section(a, [&](Section& s) { write_section_block(a, s); });
  put_byte(object_record(a), record_block_end);
  flush_object_record(a);
}

}  // namespace

void object_begin(Assembly& a) {
  if (a.option(opt_no_object)) return;
  open_object_file(a);
  write_module_head(a);
  write_attribute_part(a);
  write_environment_part(a);
  write_section_part(a);
  write_external_part(a);
  a.object.part_offsets[part_debug] = a.object.position;
  if (a.option(opt_debug)) write_debug_blocks(a);
  write_assembler_block(a);
}

}  // namespace koral
