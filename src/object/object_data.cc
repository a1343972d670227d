// The data part of the object module (final pass) and the module's finish.

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "object/object_expression.h"
#include "object/object_loads.h"
#include "object/object_output.h"
#include "object/object_writer.h"

namespace koral {

namespace {

constexpr uint32_t max_load_count = 127;
// Gaps longer than this are filled by a repeat record and one fill byte.
constexpr uint32_t max_plain_fill = 10;

bool fill_covers(const Assembly& a, const Section* section) {
  constexpr uint32_t kinds = section_code | section_data | section_romdata;
  return section && (a.settings.fill_selection & static_cast<uint32_t>(section->kind) & kinds) != 0;
}

uint8_t fill_byte(const Assembly& a, const Section* section) {
  const Settings& s = a.settings;
  if (s.fill_all_value_set) return s.fill_all_value;
  if (section->kind & section_data) return s.fill_data_value;
  if (section->kind & section_code) return s.fill_code_value;
  return s.fill_rodata_value;
}

void put_repeat(Assembly& a, uint32_t count) {
  ObjectBytes& out = object_record(a);
  put_byte(out, record_repeat);
  put_number(out, count);
  flush_object_record(a);
}

void write_fill(Assembly& a, uint32_t count) {
  uint8_t fill[max_plain_fill];
  const uint8_t byte = fill_byte(a, a.object.section);
  if (count > max_plain_fill) {
    put_repeat(a, count);
    put_object_load_run(a, &byte, 1);
  } else {
    for (uint32_t i = 0; i < count; ++i) fill[i] = byte;
    put_object_load_run(a, fill, count);
  }
  flush_object_record(a);
}

uint32_t current_location(const Assembly& a) {
  return a.object.section ? a.object.section->location : 0;
}

}  // namespace

uint8_t object_load_type(const Assembly& a) {
  return absolute_section(a.object.section) ? record_load_absolute : record_load_relocated;
}

void put_object_load_run(Assembly& a, const uint8_t* bytes, uint32_t count) {
  ObjectBytes& out = object_record(a);
  put_byte(out, object_load_type(a));
  put_number(out, count);
  put_bytes(out, bytes, count);
}

void prepare_object_load(Assembly& a) {
  flush_object_record(a);
  if (a.object.location_pending) object_set_location(a, current_location(a));
}

void object_section_switch(Assembly& a, Section* section) {
  ObjectFile& object = a.object;
  // The section left behind gets the load address it reached when nothing
  // was loaded into it since its switch.
  if (object.location_pending && object.section) object_set_location(a, current_location(a));
  flush_object_record(a);
  if (object.section_switches++ == 0) object.part_offsets[part_data] = object.position;
  object.section = section;
  ObjectBytes& out = object_record(a);
  put_byte(out, record_section_begin);
  put_number(out, object_section_index(section));
  object.location_pending = true;
}

void object_set_location(Assembly& a, uint32_t value) {
  flush_object_record(a);
  const Section* section = a.object.section;
  const uint32_t index = object_section_index(section);
  ObjectBytes& out = object_record(a);
  put_byte(out, record_assign);
  put_byte(out, letter('P'));
  put_number(out, index);
  if (absolute_section(section)) {
    put_number(out, value);
  } else {
    put_byte(out, letter('R'));
    put_number(out, index);
    if (value != 0) {
      put_number(out, value);
      put_byte(out, operator_plus);
    }
  }
  a.object.location_pending = false;
}

void object_load_bytes(Assembly& a, const uint8_t* bytes, uint32_t count) {
  if (count == 0) return;
  prepare_object_load(a);
  for (;;) {
    uint32_t part = count < max_load_count ? count : max_load_count;
    put_object_load_run(a, bytes, part);
    bytes += part;
    count -= part;
    if (count == 0) break;
    flush_object_record(a);
  }
}

void object_load_relocated(Assembly& a, ArenaRef expression, uint32_t size) {
  prepare_object_load(a);
  ObjectBytes& out = object_record(a);
  put_byte(out, record_load_relocated);
  put_byte(out, bracket_item_open);
  put_expression(a, expression, 0, out);
  put_number(out, size);
  put_byte(out, bracket_item_close);
}

void object_repeat(Assembly& a, uint32_t count) {
  if (count <= 1) return;
  flush_object_record(a);
  put_repeat(a, count);
}

void object_skip(Assembly& a, uint32_t count, bool fill) {
  flush_object_record(a);
  // The fill records come before a load address still pending.
  if (fill && fill_covers(a, a.object.section)) {
    write_fill(a, count);
    note_listing_fill(a, current_location(a), count, fill_byte(a, a.object.section));
  }
  if (a.object.location_pending) object_set_location(a, current_location(a));
  object_set_location(a, current_location(a) + count);
}

void object_finish(Assembly& a) {
  if (a.option(opt_no_object)) return;
  ObjectFile& object = a.object;
  if (object.location_pending) object_set_location(a, current_location(a));
  flush_object_record(a);
  object.part_offsets[part_trailer] = object.part_offsets[part_end] = object.position;
  put_byte(object_record(a), record_module_end);
  flush_object_record(a);
  write_object_block(a);

  // The part-offset table: eight ASW records of 8 bytes over the placeholder.
  ObjectBytes table;
  table.reserve(8 * part_count);
  for (int k = 0; k < part_count; ++k) {
    put_byte(table, record_assign);
    put_byte(table, letter('W'));
    put_byte(table, static_cast<uint8_t>(k));
    put_fixed_number(table, object.part_offsets[k]);
  }
  patch_object_file(a, object.part_table_offset, table.data(), static_cast<uint32_t>(table.size()));
  const uint8_t status = a.diag.error_count > 0 ? 2 : a.diag.warning_count > 0 ? 1 : 0;
  patch_object_file(a, object.status_offset, &status, 1);
}

}  // namespace koral
