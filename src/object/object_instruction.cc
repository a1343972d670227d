// The code of an instruction with relocatable fields: plain runs as load
// records and each field as a relocated item whose postfix expression makes
// the linker compute (and, where a template says so, range-check) the field.

#include "driver/assembly.h"
#include "object/object_expression.h"
#include "object/object_loads.h"
#include "object/object_output.h"
#include "object/object_writer.h"

namespace koral {

namespace {

// An instruction has at most two operand fields; room for a few more.
constexpr int max_instruction_fields = 4;

// Base of the CALLV vector table by model level.
uint32_t vector_table(const Assembly& a) {
  switch (a.settings.model_level) {
    case 0: return 0xFFC0;
    case 1: return 0xFFA0;
    default: return 0x1FFA0;
  }
}

// The address of the instruction: the load address less the field offset.
void put_instruction_address(Assembly& a, ObjectBytes& out, uint32_t field_offset) {
  put_byte(out, letter('P'));
  put_number(out, object_section_index(a.run.section));
  if (field_offset != 0) {
    put_number(out, field_offset);
    put_byte(out, operator_minus);
  }
}

void put_inblock(ObjectBytes& out) {
  put_byte(out, function_inblock);
  put_byte(out, operator_escape);
}

// One relocated item of an instruction field.
void put_field_item(Assembly& a, const RelocatedField& field, ObjectBytes& out) {
  std::string& text = a.object.expression_text;
  encode_expression(a, field.expression, text);
  auto x = [&] { convert_expression(text, field.offset, out); };
  auto p = [&] { put_instruction_address(a, out, field.offset); };
  auto n = [&](uint32_t value) { put_number(out, value); };
  auto b = [&](uint8_t byte) { put_byte(out, byte); };
  const bool relative = field.kind == FieldTemplate::jump || field.kind == FieldTemplate::relative;

  b(record_load_relocated);
  b(relative ? bracket_relative_open : bracket_item_open);
  switch (field.kind) {
    case FieldTemplate::bit_number:
      // base + INBLOCK(x, 0, 8) in one byte
      n(static_cast<uint32_t>(field.base)), x(), n(0), n(8), put_inblock(out), b(operator_plus);
      n(1), b(bracket_item_close);
      return;
    case FieldTemplate::short_jump:
      // ((INBLOCK(x - $ - 2 + 16, 0, 32) - 16) AND 31) + opcode
      x(), p(), b(operator_minus), n(2), b(operator_minus), n(0x10), b(operator_plus);
      n(0), n(0x20), put_inblock(out), n(0x10), b(operator_minus), n(0x1F), b(operator_and);
      n(static_cast<uint32_t>(field.base)), b(operator_plus);
      break;
    case FieldTemplate::jump:
      // INBLOCK(x - $ - k + 128, 0, 256) - 128
      x(), p(), b(operator_minus), n(static_cast<uint32_t>(field.adjustment)), b(operator_minus);
      n(0x80), b(operator_plus), n(0), n(0x100), put_inblock(out), n(0x80), b(operator_minus);
      n(field.size), b(bracket_relative_close);
      return;
    case FieldTemplate::relative:
      x(), p(), b(operator_minus), n(static_cast<uint32_t>(field.adjustment)), b(operator_minus);
      n(field.size), b(bracket_relative_close);
      return;
    case FieldTemplate::vector:
      // 0x70 + INBLOCK((x - V) / 2, 0, 16)
      n(0x70), x(), n(vector_table(a)), b(operator_minus), n(2), b(operator_divide);
      n(0), n(0x10), put_inblock(out), b(operator_plus);
      break;
    case FieldTemplate::stack_displacement:
      x(), n(0x800), b(operator_and), n(0x100), b(operator_divide), n(0x37), b(operator_or);
      x(), b(0xA2), n(0), n(0x100), put_inblock(out), n(0x100), b(operator_multiply);
      b(operator_or);
      break;
    case FieldTemplate::plain:
      x();
      break;
  }
  n(field.size), b(bracket_item_close);
}

// Bytes of the code that a field's item stands for.
uint32_t field_extent(const RelocatedField& field) {
  return field.kind == FieldTemplate::bit_number ? 1 : field.size;
}

}  // namespace

void object_load_instruction(Assembly& a, const uint8_t* code, uint32_t length,
                             const RelocatedField* fields, int field_count) {
  if (field_count <= 0) {
    object_load_bytes(a, code, length);
    return;
  }
  // Fields in the order of their position in the code.
  const RelocatedField* ordered[max_instruction_fields];
  int count = 0;
  for (int i = 0; i < field_count && count < max_instruction_fields; ++i) {
    int at = count++;
    while (at > 0 && ordered[at - 1]->offset > fields[i].offset) {
      ordered[at] = ordered[at - 1];
      --at;
    }
    ordered[at] = &fields[i];
  }
  prepare_object_load(a);
  ObjectBytes& out = object_record(a);
  uint32_t cursor = 0;
  for (int i = 0; i < count; ++i) {
    const RelocatedField& field = *ordered[i];
    const uint32_t run = field.offset > cursor ? field.offset - cursor : 0;
    put_object_load_run(a, code + cursor, run);
    put_field_item(a, field, out);
    cursor = field.offset + field_extent(field);
  }
  if (cursor < length) put_object_load_run(a, code + cursor, length - cursor);
}

}  // namespace koral
