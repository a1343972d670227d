// The full dump: every record in file order with its offset, its name and
// its decoded fields.

#include <cstdio>

#include "dump.h"

namespace koraldump {

std::string DumpNamer::variable(uint8_t letter, uint32_t index) {
  std::string s(1, letter_of(letter));
  s += std::to_string(index);
  std::string name;
  if (letter == var_r || letter == var_p || letter == var_s || letter == var_l) {
    if (const SectionInfo* sec = m_.section(index)) name = sec->name;
  } else if (const SymbolInfo* sym = m_.symbol(letter, index)) {
    name = sym->name;
  }
  if (!name.empty()) s += "(" + name + ")";
  return s;
}

std::string expression_text(const Module& m, const Expression& e) {
  DumpNamer namer(m);
  ExprTree tree;
  if (build_tree(e, tree)) return render(tree, tree.root, namer, Syntax::dump);
  return "[postfix: " + render_postfix(e, namer) + "]";
}

std::string decimal_hex(uint64_t value) {
  std::string s = std::to_string(value);
  if (value >= 10) s += " (0x" + hex(value) + ")";
  return s;
}

std::string quoted(const std::string& text) {
  std::string s = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      s += '\\';
      s += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      s += static_cast<char>(c);
    } else {
      s += "\\x" + hex(c, 2);
    }
  }
  return s + "\"";
}

namespace {

std::string date_text(const Field& f) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04u-%02u-%02u %02u:%02u:%02u", f.stamp[0], f.stamp[1], f.stamp[2],
                f.stamp[3], f.stamp[4], f.stamp[5]);
  return buffer;
}

const char* head_attribute_name(uint32_t attribute) {
  switch (attribute) {
    case 37: return "object format version";
    case 38: return "object format type";
    case 39: return "case sensitivity";
    case 50: return "created";
    case 51: return "command line";
    case 52: return "execution status";
    case 53: return "host environment";
    case 54: return "tool and version";
    default: return nullptr;
  }
}

const char* status_meaning(uint32_t status) {
  switch (status) {
    case 0: return "no errors or warnings";
    case 1: return "warnings";
    case 2: return "errors";
    default: return "unknown";
  }
}

const char* block_name(uint32_t type) {
  switch (type) {
    case 1: return "types";
    case 3: return "module symbols";
    case 4: return "public function";
    case 5: return "source lines";
    case 6: return "local function";
    case 10: return "assembler information";
    case 11: return "section";
    default: return "block";
  }
}

class RecordPrinter {
 public:
  RecordPrinter(const Module& m, std::ostream& out) : m_(m), out_(out), namer_(m) {}

  void run() {
    out_ << "module " << quoted(m_.name) << ", processor " << quoted(m_.processor) << "\n\n";
    out_ << "offset    record  fields\n";
    for (const Record& r : m_.list.records) record(r);
  }

 private:
  std::string field(const Field& f) {
    switch (f.kind) {
      case Field::number: return decimal_hex(f.value);
      case Field::omitted: return "omitted";
      case Field::name: return quoted(f.text);
      case Field::letter: return std::string(1, letter_of(static_cast<uint8_t>(f.value)));
      case Field::letters: return f.text.empty() ? "none" : f.text;
      case Field::date: return date_text(f);
      case Field::expression:
        if (f.expr.size() == 1 && f.expr[0].kind == ExprItem::number) return decimal_hex(f.expr[0].value);
        return expression_text(m_, f.expr);
      case Field::byte: {
        unsigned char c = static_cast<unsigned char>(f.value);
        return c >= 0x20 && c < 0x7F ? std::string("'") + static_cast<char>(c) + "'" : "0x" + hex(c, 2);
      }
    }
    return {};
  }

  // "label value" for every field from `first` on.
  std::string fields(const Record& r, std::size_t first = 0) {
    std::string s;
    for (std::size_t i = first; i < r.fields.size(); ++i) {
      if (!s.empty()) s += ", ";
      s += r.fields[i].label + " " + field(r.fields[i]);
    }
    return s;
  }

  std::string section_name(uint32_t index) {
    const SectionInfo* s = m_.section(index);
    return "section " + std::to_string(index) + (s ? " (" + s->name + ")" : "");
  }
  std::string symbol_name(uint8_t letter, uint32_t index) {
    std::string s(1, letter_of(letter));
    s += std::to_string(index);
    const SymbolInfo* sym = m_.symbol(letter, index);
    if (sym && !sym->name.empty()) s += " " + quoted(sym->name);
    return s;
  }

  std::string assign(const Record& r) {
    const std::string value = field(r.fields[1]);
    switch (r.letter) {
      case 0xD7: {
        std::string s = "W" + std::to_string(r.index);
        if (r.index < static_cast<uint32_t>(part_count)) s += " (" + std::string(part_names[r.index]) + ")";
        return s + " = " + value;
      }
      case 0xD3: return section_name(r.index) + ", size " + value;
      case 0xCC: return section_name(r.index) + ", base address " + value;
      case 0xD0: return section_name(r.index) + ", load address " + value;
      case 0xC9: case 0xCE: return symbol_name(r.letter, r.index) + " = " + value;
      default: return std::string(1, letter_of(r.letter)) + std::to_string(r.index) + " = " + value;
    }
  }

  std::string attribute(const Record& r) {
    std::string s = symbol_name(r.letter, r.index);
    if (r.letter == 0xCE && (r.index == 32 || r.index == 33)) {
      const uint32_t attribute = r.number("attribute");
      if (const char* name = head_attribute_name(attribute)) {
        s += ", " + std::string(name) + " (" + std::to_string(attribute) + ")";
        if (attribute == 52 && r.fields.size() == 4) {
          s += ": " + std::to_string(r.fields[3].value) + " (" + status_meaning(r.fields[3].value) + ")";
          if (m_.status_offset) s += ", status byte at offset " + decimal_hex(*m_.status_offset);
          return s;
        }
        if (attribute == 54 && r.fields.size() >= 4) {
          s += ": tool " + decimal_hex(r.fields[3].value) + ", version";
          for (std::size_t i = 4; i < r.fields.size(); ++i) s += " " + field(r.fields[i]);
          return s;
        }
        std::string rest;
        for (std::size_t i = 3; i < r.fields.size(); ++i) rest += (rest.empty() ? "" : ", ") + field(r.fields[i]);
        return s + ": " + rest;
      }
    }
    // Line numbers of the BB5 block: attribute 7 with line and column.
    if (r.letter == 0xCE && r.number("attribute") == 7 && r.fields.size() == 5 &&
        r.fields[3].kind == Field::number && r.fields[4].kind == Field::number)
      return s + ", line " + std::to_string(r.fields[3].value) + ", column " + std::to_string(r.fields[4].value);
    return s + ", " + fields(r, 1);
  }

  std::string block(const Record& r) {
    std::string s = "(" + std::string(block_name(r.index)) + ")";
    if (r.index == 11 && r.fields.size() >= 6) {
      static const char* const kinds[] = {"?", "CODE", "DATA", "ROMDATA"};
      uint32_t kind = r.fields[3].value;
      s += " kind " + std::to_string(kind) + " (" + kinds[kind <= 3 ? kind : 0] + "), " +
           section_name(r.fields[4].value) + ", start " + field(r.fields[5]);
      return s;
    }
    std::string rest = fields(r, 1);
    return rest.empty() ? s : s + " " + rest;
  }

  std::string item(const LoadItem& item) {
    if (!item.relocated) {
      std::string s = std::to_string(item.bytes.size()) + " byte" + (item.bytes.size() == 1 ? "" : "s");
      if (item.bytes.empty()) return s;
      s += ":";
      for (std::size_t i = 0; i < item.bytes.size(); ++i) {
        if (i && i % 16 == 0) s += "\n" + std::string(18 + indent_, ' ');
        s += " " + hex(item.bytes[i], 2);
      }
      return s;
    }
    std::string s = "relocated " + std::to_string(item.size) + " byte" + (item.size == 1 ? "" : "s") +
                    (item.relative ? " (relative)" : "") + ": " + expression_text(m_, item.expression);
    ExprTree tree;
    if (build_tree(item.expression, tree)) {
      ItemShape shape = item_shape(tree, item.relative);
      if (shape.kind != ItemKind::plain) {
        s += "\n" + std::string(18 + indent_, ' ') + "; " + item_kind_name(shape.kind) + " of " +
             render(tree, shape.operand, namer_, Syntax::dump);
        if (shape.kind == ItemKind::bit_number || shape.kind == ItemKind::short_jump)
          s += ", opcode 0x" + hex(shape.base, 2);
        if (shape.kind == ItemKind::jump || shape.kind == ItemKind::relative)
          s += ", adjustment " + std::to_string(shape.adjustment);
        if (shape.kind == ItemKind::vector) s += ", vector table 0x" + hex(shape.vector_table);
      }
    }
    return s;
  }

  std::string body(const Record& r) {
    switch (r.type) {
      case RecordType::mb: case RecordType::ad: case RecordType::re: return fields(r);
      case RecordType::as: return assign(r);
      case RecordType::at: return attribute(r);
      case RecordType::nn: case RecordType::ni: case RecordType::nx: {
        uint8_t letter = r.type == RecordType::nn ? 0xCE : r.type == RecordType::ni ? 0xC9 : 0xD8;
        return std::string(1, letter_of(letter)) + std::to_string(r.index) + ", name " + quoted(r.fields[1].text);
      }
      case RecordType::st: {
        const SectionInfo* s = m_.section(r.index);
        std::string text = "section " + std::to_string(r.index) + ", name " + quoted(r.fields[2].text) +
                           ", type " + field(r.fields[1]);
        if (s) text += std::string(" (") + s->kind_name() + ", " + s->size_class_name() + ")";
        return text;
      }
      case RecordType::sa: return section_name(r.index) + ", alignment " + field(r.fields[1]);
      case RecordType::sb: return section_name(r.index);
      case RecordType::ld: case RecordType::lr: {
        std::string s;
        for (std::size_t i = 0; i < r.items.size(); ++i) {
          if (i) s += "\n" + std::string(18 + indent_, ' ');
          s += item(r.items[i]);
        }
        return s;
      }
      case RecordType::me: return {};
      case RecordType::bb: return block(r);
      case RecordType::be: return r.fields.empty() ? std::string() : "value " + field(r.fields[0]);
      case RecordType::ty: return fields(r);
    }
    return {};
  }

  void record(const Record& r) {
    if (r.type == RecordType::be && depth_ > 0) --depth_;
    indent_ = 2 * depth_;
    char head[32];
    std::snprintf(head, sizeof head, "%06zX    ", r.offset);
    std::string title = std::string(static_cast<std::size_t>(indent_), ' ') + r.title;
    title.resize(std::max<std::size_t>(title.size() + 1, static_cast<std::size_t>(8 + indent_)), ' ');
    std::string text = head + title + body(r);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    out_ << text << "\n";
    if (r.type == RecordType::bb) ++depth_;
  }

  const Module& m_;
  std::ostream& out_;
  DumpNamer namer_;
  int depth_ = 0;
  int indent_ = 0;
};

}  // namespace

void print_records(const Module& m, std::ostream& out) { RecordPrinter(m, out).run(); }

}  // namespace koraldump
