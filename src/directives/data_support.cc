#include "directives/data_support.h"

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "expr/evaluate.h"
#include "object/object_writer.h"
#include "source/grammar_actions.h"
#include "source/payload.h"
#include "source/statement_kinds.h"
#include "source/statement_record.h"
#include "symbols/section.h"

namespace koral {

uint32_t unit_of(int32_t kind) {
  switch (kind) {
    case statement_dw: case statement_dfw: case statement_dsw:
      return 2;
    case statement_dp: case statement_dfp: case statement_dsp:
      return 3;
    case statement_dl: case statement_dfl: case statement_dsl:
      return 4;
    default:
      return 1;
  }
}

uint32_t mark_of_unit(uint32_t unit) {
  if (unit == 1) return data_mark_bytes;
  if (unit == 2) return data_mark_words;
  return data_mark_longs;
}

bool begin_data_statement(Assembly& a, bool storage) {
  const Section* section = a.run.section;
  if (!section) {
    report_error(a, 215);
    return false;
  }
  constexpr int32_t initialised_kinds = section_code | section_romdata;
  bool fits = storage ? (section->kind & section_data) != 0 : (section->kind & initialised_kinds) != 0;
  if (!fits) report_warning(a, 505);
  define_data_label(a);
  return true;
}

void mark_data_label(Assembly& a, uint32_t mark, int32_t count) {
  Symbol* label = a.statement.label;
  if (!label) return;
  label->attributes |= mark;
  label->data_size = count;
}

bool unit_holds(int32_t value, uint32_t unit) {
  switch (unit) {
    case 1: return value >= -128 && value <= 255;
    case 2: return value >= -32768 && value <= 65535;
    case 3: return value >= -8388608 && value <= 0xFFFFFF;
    default: return true;
  }
}

bool unit_holds_relocatable(int32_t known_value, uint32_t unit) {
  return static_cast<uint32_t>(bits_needed(known_value, either_range)) <= unit * 8;
}

DataItem* first_data_item(Assembly& a) {
  uint32_t offset = a.run.pass == pass_one ? a.statement.d.first_item : payload_first_item(a);
  return offset ? a.token_file.item<DataItem>(offset) : nullptr;
}

DataItem* next_data_item(DataItem* item) {
  if (item->next == 0) return nullptr;
  return reinterpret_cast<DataItem*>(reinterpret_cast<unsigned char*>(item) + item->next);
}

uint32_t limited_data_size(Assembly& a, uint64_t size) {
  if (size > max_statement_data) {
    report_warning(a, 501);
    return max_statement_data;
  }
  return static_cast<uint32_t>(size);
}

// --- hand-over ------------------------------------------------------------------------

namespace {

// Appends what fits under the statement's limit; returns the bytes stored.
uint32_t store(Assembly& a, const uint8_t* bytes, uint32_t length) {
  CodeBuffer& code = a.code;
  uint32_t room = a.data_output.limit > code.count ? a.data_output.limit - code.count : 0;
  if (length > room) length = room;
  for (uint32_t i = 0; i < length; ++i) code.append(bytes[i]);
  return length;
}

void add_piece(Assembly& a, DataPiece::Kind kind, uint32_t start, uint32_t length, ArenaRef expression) {
  if (length == 0) return;
  a.data_output.pieces.push_back(DataPiece{kind, start, length, expression});
}

void little_endian(int32_t value, uint32_t unit, uint8_t* out) {
  uint32_t v = static_cast<uint32_t>(value);
  for (uint32_t i = 0; i < unit; ++i) out[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

void begin_data_output(Assembly& a, uint32_t limit) {
  DataOutputState& out = a.data_output;
  a.code.clear();
  out.pieces.clear();
  out.limit = limit < CodeBuffer::capacity ? limit : CodeBuffer::capacity;
  out.repeat = 0;
}

void put_data_bytes(Assembly& a, const uint8_t* bytes, uint32_t length) {
  std::vector<DataPiece>& pieces = a.data_output.pieces;
  uint32_t start = a.code.count;
  uint32_t stored = store(a, bytes, length);
  if (stored == 0) return;
  if (!pieces.empty() && pieces.back().kind == DataPiece::run) {
    pieces.back().length += stored;
    return;
  }
  add_piece(a, DataPiece::run, start, stored, 0);
}

void put_data_value(Assembly& a, int32_t value, uint32_t unit) {
  uint8_t bytes[4];
  little_endian(value, unit, bytes);
  put_data_bytes(a, bytes, unit);
}

void put_data_relocated(Assembly& a, ArenaRef expression, int32_t known_value, uint32_t unit) {
  uint8_t bytes[4];
  little_endian(known_value, unit, bytes);
  uint32_t start = a.code.count;
  // A field the limit cuts is not written at all.
  if (a.data_output.limit < start + unit) return;
  add_piece(a, DataPiece::relocated, start, store(a, bytes, unit), expression);
}

void put_data_characters(Assembly& a, const uint8_t* text, uint32_t length) {
  uint32_t start = a.code.count;
  add_piece(a, DataPiece::characters, start, store(a, text, length), 0);
}

void put_data_block(Assembly& a, const uint8_t* bytes, uint32_t length) {
  uint32_t start = a.code.count;
  add_piece(a, DataPiece::block, start, store(a, bytes, length), 0);
}

void repeat_data(Assembly& a, uint32_t count) { a.data_output.repeat = count; }

void hand_over_data(Assembly& a) {
  if (a.option(opt_no_object)) return;
  const DataOutputState& out = a.data_output;
  if (out.pieces.empty()) return;
  if (out.repeat) object_repeat(a, out.repeat);
  const uint8_t* code = a.code.bytes;
  for (const DataPiece& piece : out.pieces) {
    switch (piece.kind) {
      case DataPiece::run:
      case DataPiece::block:
        object_load_bytes(a, code + piece.start, piece.length);
        break;
      case DataPiece::characters:
        for (uint32_t i = 0; i < piece.length; ++i) object_load_bytes(a, code + piece.start + i, 1);
        break;
      case DataPiece::relocated:
        object_load_relocated(a, piece.expression, piece.length);
        break;
    }
  }
}

void finish_final_data(Assembly& a) {
  a.run.statement_size = a.token_file.header()->size;
  if (a.diag.error_mark) {
    a.code.clear();
    return;
  }
  hand_over_data(a);
}

}  // namespace koral
