#include "object_records.h"

namespace koraldump {

const Field* Record::field(std::string_view label) const {
  for (const Field& f : fields)
    if (f.label == label) return &f;
  return nullptr;
}

uint32_t Record::number(std::string_view label, uint32_t otherwise) const {
  const Field* f = field(label);
  return f && f->kind == Field::number ? f->value : otherwise;
}

namespace {

// Record-type bytes.
enum : uint8_t {
  type_mb = 0xE0, type_me = 0xE1, type_as = 0xE2, type_lr = 0xE4, type_sb = 0xE5, type_st = 0xE6,
  type_sa = 0xE7, type_ni = 0xE8, type_nx = 0xE9, type_ad = 0xEC, type_ld = 0xED, type_nn = 0xF0,
  type_at = 0xF1, type_ty = 0xF2, type_re = 0xF7, type_bb = 0xF8, type_be = 0xF9,
};

constexpr uint8_t first_operator = 0xA0;
constexpr uint8_t last_operator = 0xB9;
constexpr uint8_t relative_open = 0xBA, relative_close = 0xBB;
constexpr uint8_t item_open = 0xBC, item_close = 0xBD;

// Attributes of ATN records whose fields hold a name.
constexpr uint32_t attribute_command_line = 51;
constexpr uint32_t attribute_module_class = 16;

class RecordReader {
 public:
  RecordReader(ByteReader& r, Record& rec) : r_(r), rec_(rec) {}

  void number(std::string label) {
    Field f{Field::number, std::move(label)};
    f.value = r_.number(f.label);
    rec_.fields.push_back(std::move(f));
  }
  // A number field that may be the omitted byte 0x80.
  void optional(std::string label) {
    Field f{Field::number, std::move(label)};
    if (!r_.optional_number(f.label, f.value)) f.kind = Field::omitted;
    rec_.fields.push_back(std::move(f));
  }
  void name(std::string label) {
    Field f{Field::name, std::move(label)};
    f.text = r_.name(f.label);
    rec_.fields.push_back(std::move(f));
  }
  void date(std::string label) {
    Field f{Field::date, std::move(label)};
    f.stamp[0] = r_.number("year of " + f.label);
    static const char* const parts[] = {"month", "day", "hour", "minute", "second"};
    for (int i = 0; i < 5; ++i) f.stamp[i + 1] = r_.number(std::string(parts[i]) + " of " + f.label);
    rec_.fields.push_back(std::move(f));
  }
  // A postfix expression up to the next record byte; it may be empty only
  // when `optional` is set.
  void expression(std::string label, bool optional = false) {
    Field f{Field::expression, std::move(label)};
    const std::size_t start = r_.offset();
    f.expr = read_expression(f.label, false);
    if (f.expr.empty()) {
      if (optional) return;
      fail(start, "missing expression (" + f.label + ")");
    }
    rec_.fields.push_back(std::move(f));
  }
  // Type letters: a run of variable-letter bytes.
  void letters(std::string label) {
    Field f{Field::letters, std::move(label)};
    while (!r_.at_end() && is_letter_byte(r_.peek(f.label))) f.text += letter_of(r_.byte(f.label));
    rec_.fields.push_back(std::move(f));
  }
  // Further attribute fields up to the next record: numbers, omitted
  // numbers and letters; the field at `name_at` is a name.
  void tail(int name_at = -1) {
    for (int position = 0; r_.field_follows(); ++position) {
      std::string label = "field " + std::to_string(position + 1);
      if (position == name_at) {
        name(label);
        continue;
      }
      uint8_t b = r_.peek(label);
      if (is_letter_byte(b)) {
        Field f{Field::letter, label};
        f.value = r_.byte(label);
        rec_.fields.push_back(std::move(f));
      } else if (is_number_start(b) || b <= 0x88) {
        optional(label);
      } else {
        fail(r_.offset(), "byte 0x" + hex(b, 2) + " is not a field of " + rec_.title);
      }
    }
  }
  // Load items of an LD or LR record.
  void load_items(bool relocatable) {
    do {
      LoadItem item;
      item.offset = r_.offset();
      uint8_t b = r_.peek("load item");
      if (b == item_open || b == relative_open) {
        if (!relocatable) fail(item.offset, "relocated item in an LD record");
        relocated_item(item, b == relative_open);
      } else {
        uint32_t count = r_.number("byte count of " + rec_.title);
        const uint8_t* p = r_.bytes(count, "load data");
        item.bytes.assign(p, p + count);
      }
      rec_.items.push_back(std::move(item));
    } while (r_.field_follows());
  }

 private:
  Expression read_expression(const std::string& what, bool in_item) {
    Expression e;
    while (!r_.at_end()) {
      const std::size_t at = r_.offset();
      uint8_t b = r_.peek(what);
      if (b >= first_record_byte) break;
      if (in_item && (b == item_close || b == relative_close)) break;
      if (b == omitted_number) fail(at, "omitted number inside an expression (" + what + ")");
      if (b <= 0x88) {
        e.push_back({ExprItem::number, 0, r_.number(what)});
      } else if (b >= first_operator && b <= last_operator) {
        e.push_back({ExprItem::op, r_.byte(what), 0});
      } else if (is_letter_byte(b)) {
        r_.byte(what);
        uint32_t index = r_.number("index of variable " + std::string(1, letter_of(b)));
        e.push_back({ExprItem::variable, b, index});
      } else {
        fail(at, "byte 0x" + hex(b, 2) + " does not belong in an expression (" + what + ")");
      }
    }
    return e;
  }

  void relocated_item(LoadItem& item, bool relative) {
    r_.byte("relocated item");
    item.relocated = true;
    item.relative = relative;
    const uint8_t close = relative ? relative_close : item_close;
    item.expression = read_expression("relocated item", true);
    const std::size_t end = r_.offset();
    uint8_t b = r_.byte("relocated item");
    if (b != close) fail(end, "relocated item closed by 0x" + hex(b, 2) + " instead of 0x" + hex(close, 2));
    if (item.expression.empty() || item.expression.back().kind != ExprItem::number)
      fail(item.offset, "relocated item without a field size");
    item.size = item.expression.back().value;
    item.expression.pop_back();
    if (item.expression.empty()) fail(item.offset, "relocated item without an expression");
    if (item.size < 1 || item.size > 4)
      fail(item.offset, "relocated item of " + std::to_string(item.size) + " bytes");
  }

  ByteReader& r_;
  Record& rec_;
};

const char* as_title(uint8_t letter) {
  switch (letter) {
    case 0xD7: return "ASW";
    case 0xD3: return "ASS";
    case 0xCC: return "ASL";
    case 0xC9: return "ASI";
    case 0xCE: return "ASN";
    case 0xD0: return "ASP";
    default: return nullptr;
  }
}

void read_as(ByteReader& r, Record& rec, RecordReader& f) {
  rec.letter = r.byte("variable letter of AS");
  if (!is_letter_byte(rec.letter))
    fail(rec.offset + 1, "byte 0x" + hex(rec.letter, 2) + " is not a variable letter (AS)");
  const char* title = as_title(rec.letter);
  rec.title = title ? title : std::string("AS") + letter_of(rec.letter);
  f.number(rec.letter == 0xD7 ? "part" : "index");
  rec.index = rec.fields.back().value;
  f.expression("value");
}

void read_at(ByteReader& r, Record& rec, RecordReader& f) {
  rec.letter = r.byte("variable letter of AT");
  if (!is_letter_byte(rec.letter))
    fail(rec.offset + 1, "byte 0x" + hex(rec.letter, 2) + " is not a variable letter (AT)");
  rec.title = std::string("AT") + letter_of(rec.letter);
  f.number("index");
  rec.index = rec.fields.back().value;
  f.number("type");
  if (rec.letter == 0xC9 && r.field_follows()) {
    f.number("attribute");
    f.number("elements");
    f.tail();
  } else if (rec.letter == 0xD8 && r.field_follows()) {
    f.optional("unused");
    f.number("size class");
    f.tail();
  } else if (rec.letter == 0xCE) {
    f.optional("attribute");
    const uint32_t attribute = rec.number("attribute", UINT32_MAX);
    const uint32_t type = rec.number("type");
    if (attribute == attribute_command_line) f.tail(0);
    else if (attribute == attribute_module_class && type == 0) f.tail(3);
    else if (attribute == 50 && r.field_follows()) f.date("created");
    else f.tail();
  } else {
    f.tail();
  }
}

void read_bb(ByteReader&, Record& rec, RecordReader& f) {
  f.number("block type");
  rec.block = static_cast<uint8_t>(rec.fields.back().value);
  rec.index = rec.fields.back().value;
  rec.title = "BB" + std::to_string(rec.index);
  f.number("block size");
  switch (rec.index) {
    case 1: case 3: f.name("module"); break;
    case 5: f.name("source file"); break;
    case 4: case 6:
      f.name("function");
      f.number("scope number");
      f.number("type index");
      f.expression("start address");
      break;
    case 10:
      f.name("source file");
      f.optional("unused");
      f.number("tool");
      f.name("version");
      f.date("created");
      break;
    case 11:
      f.name("name");
      f.number("section kind");
      f.number("section");
      f.expression("start");
      break;
    default:
      f.name("name");
      f.tail();
      break;
  }
}

void read_ty(ByteReader& r, Record& rec, RecordReader& f) {
  f.number("type index");
  rec.index = rec.fields.back().value;
  const std::size_t at = r.offset();
  if (r.byte("N letter of TY") != 0xCE) fail(at, "TY record without the letter N");
  f.number("N");
  Field letter{Field::byte, "letter"};
  letter.value = r.byte("type letter of TY");
  rec.fields.push_back(letter);
  switch (letter.value) {
    case 'O': case 'P': case 'T': f.number("base type"); break;
    case 'g': f.number("signed"); f.number("size"); break;
    case 'n': f.number("qualifier"); f.number("base type"); break;
    case 'Z': f.number("element type"); f.number("high bound"); break;
    case 'S': case 'U':
      f.number("size");
      while (r.field_follows()) {
        f.name("member");
        f.number("member type");
        f.number("member offset");
      }
      break;
    case 'N':
      f.number("kind");
      f.number("count");
      while (r.field_follows()) {
        f.name("enumerator");
        f.number("value");
      }
      break;
    default: f.tail(); break;
  }
}

void read_record(ByteReader& r, Record& rec) {
  RecordReader f(r, rec);
  const uint8_t type = r.byte("record type");
  switch (type) {
    case type_mb:
      rec.type = RecordType::mb, rec.title = "MB";
      f.name("processor");
      f.name("module");
      break;
    case type_ad:
      rec.type = RecordType::ad, rec.title = "AD";
      f.number("bits per unit");
      f.number("units per address");
      if (!r.at_end() && is_letter_byte(r.peek("AD"))) {
        Field order{Field::letter, "byte order"};
        order.value = r.byte("byte order");
        rec.fields.push_back(order);
      }
      break;
    case type_as: rec.type = RecordType::as; read_as(r, rec, f); break;
    case type_nn: case type_ni: case type_nx:
      rec.type = type == type_nn ? RecordType::nn : type == type_ni ? RecordType::ni : RecordType::nx;
      rec.title = type == type_nn ? "NN" : type == type_ni ? "NI" : "NX";
      f.number("index");
      rec.index = rec.fields.back().value;
      f.name("name");
      break;
    case type_at: rec.type = RecordType::at; read_at(r, rec, f); break;
    case type_st:
      rec.type = RecordType::st, rec.title = "ST";
      f.number("index");
      rec.index = rec.fields.back().value;
      f.letters("type");
      f.name("name");
      break;
    case type_sa:
      rec.type = RecordType::sa, rec.title = "SA";
      f.number("index");
      rec.index = rec.fields.back().value;
      f.number("alignment");
      break;
    case type_sb:
      rec.type = RecordType::sb, rec.title = "SB";
      f.number("index");
      rec.index = rec.fields.back().value;
      break;
    case type_ld: case type_lr:
      rec.type = type == type_ld ? RecordType::ld : RecordType::lr;
      rec.title = type == type_ld ? "LD" : "LR";
      f.load_items(type == type_lr);
      break;
    case type_re:
      rec.type = RecordType::re, rec.title = "RE";
      f.number("count");
      break;
    case type_me: rec.type = RecordType::me, rec.title = "ME"; break;
    case type_bb: rec.type = RecordType::bb; read_bb(r, rec, f); break;
    case type_be:
      rec.type = RecordType::be, rec.title = "BE";
      f.expression("value", true);
      break;
    case type_ty: rec.type = RecordType::ty, rec.title = "TY"; read_ty(r, rec, f); break;
    default: fail(rec.offset, "unknown record type 0x" + hex(type, 2));
  }
}

}  // namespace

RecordList read_records(const uint8_t* data, std::size_t size) {
  RecordList list;
  ByteReader r(data, size);
  try {
    if (size == 0) fail(0, "the module is empty");
    while (!r.at_end()) {
      Record rec;
      rec.offset = r.offset();
      read_record(r, rec);
      rec.size = r.offset() - rec.offset;
      const bool end = rec.type == RecordType::me;
      list.records.push_back(std::move(rec));
      if (end) {
        if (!r.at_end()) fail(r.offset(), std::to_string(r.remaining()) + " bytes after the module end");
        return list;
      }
    }
    fail(r.offset(), "the module ends without ME");
  } catch (ModuleError& e) {
    list.error = std::move(e);
  }
  return list;
}

}  // namespace koraldump
