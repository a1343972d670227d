// The summary of a module (-h) and the contents of its sections (-s).

#include <cstdio>

#include "dump.h"

namespace koraldump {

namespace {

std::string column(std::string s, std::size_t width) {
  if (s.size() < width) s.resize(width, ' ');
  return s + " ";
}

std::string right(const std::string& s, std::size_t width) {
  return s.size() < width ? std::string(width - s.size(), ' ') + s : s;
}

// The environment attributes of the head: N33's ATN records.
void print_environment(const Module& m, std::ostream& out) {
  for (const Record& r : m.list.records) {
    if (r.type != RecordType::at || r.letter != 0xCE || r.index != 33) continue;
    const uint32_t attribute = r.number("attribute");
    if (attribute == 50 && r.fields.size() >= 4 && r.fields[3].kind == Field::date) {
      const uint32_t* d = r.fields[3].stamp;
      char buffer[64];
      std::snprintf(buffer, sizeof buffer, "%04u-%02u-%02u %02u:%02u:%02u", d[0], d[1], d[2], d[3], d[4], d[5]);
      out << "created:       " << buffer << "\n";
    } else if (attribute == 51 && r.fields.size() >= 4) {
      out << "command line:  " << quoted(r.fields[3].text) << "\n";
    } else if (attribute == 52 && r.fields.size() >= 4) {
      static const char* const meaning[] = {"no errors or warnings", "warnings", "errors"};
      const uint32_t s = r.fields[3].value;
      out << "status:        " << s << " (" << (s <= 2 ? meaning[s] : "unknown") << ")\n";
    }
  }
}

std::string value_text(const Module& m, const SymbolInfo& s) {
  return s.value ? expression_text(m, *s.value) : std::string("-");
}

void print_symbols(const Module& m, std::ostream& out, const std::map<uint32_t, SymbolInfo>& table,
                   const char* title, char letter, bool external) {
  if (table.empty()) return;
  out << "\n" << title << ":\n";
  if (external) out << "  index  name                 size class\n";
  else out << "  index  name                 type  elements  value\n";
  for (const auto& [index, s] : table) {
    std::string head = "  " + column(letter + std::to_string(index), 6) + column(quoted(s.name), 20);
    if (external) {
      const uint32_t size = s.attributes.size() >= 2 ? s.attributes[1] : 0;
      out << head << (size == 1 ? "MEDIUM" : size == 2 ? "SMALL" : "LARGE or unset") << "\n";
    } else {
      const uint32_t elements = s.attributes.size() >= 2 ? s.attributes[1] : 0;
      out << head << right(std::to_string(s.type), 4) << "  " << right(std::to_string(elements), 8) << "  "
          << value_text(m, s) << "\n";
    }
  }
}

}  // namespace

void print_headers(const Module& m, std::ostream& out) {
  out << "module:        " << quoted(m.name) << "\n";
  out << "processor:     " << quoted(m.processor) << "\n";
  print_environment(m, out);

  out << "\nSections:\n";
  out << "  index  name                 kind     class   align        size        base\n";
  for (const auto& [index, s] : m.sections) {
    out << "  " << column(std::to_string(index), 6) << column(quoted(s.name), 20) << column(s.kind_name(), 8)
        << column(s.size_class_name(), 7) << right(s.alignment ? std::to_string(*s.alignment) : "-", 5) << " "
        << right(s.size ? "0x" + hex(*s.size, 6) : "-", 11) << " "
        << right(s.base ? "0x" + hex(*s.base, 6) : "relocatable", 11) << "\n";
  }
  print_symbols(m, out, m.publics, "Public symbols", 'I', false);
  print_symbols(m, out, m.externals, "External symbols", 'X', true);
  std::map<uint32_t, SymbolInfo> named;
  for (const auto& [index, s] : m.locals)
    if (!s.name.empty()) named.emplace(index, s);
  print_symbols(m, out, named, "Local symbols", 'N', false);

  out << "\nPart offsets:\n";
  for (int k = 0; k < part_count; ++k)
    out << "  W" << k << "  " << column(part_names[k], 26) << right(std::to_string(m.parts[k]), 8) << "\n";
}

void print_contents(const Module& m, std::ostream& out) {
  for (const Segment& seg : m.segments) {
    const SectionInfo* s = m.section(seg.section);
    out << "section " << seg.section << " (" << (s ? s->name : "?") << ", " << (s ? s->kind_name() : "?")
        << "), 0x" << hex(seg.start, 6) << " to 0x" << hex(seg.end, 6) << "\n";
    std::string line;
    uint64_t line_start = 0, next = 0;
    auto flush = [&] {
      if (!line.empty()) out << "  " << hex(line_start, 6) << " " << line << "\n";
      line.clear();
    };
    auto put = [&](uint64_t address, const std::string& cell) {
      if (line.empty() || address != next || (address - line_start) >= 16) {
        flush();
        line_start = address;
      }
      line += " " + cell;
      next = address + 1;
    };
    for (const Chunk& c : seg.chunks) {
      if (c.repeat != 1) {
        flush();
        std::string element;
        if (c.item->relocated) {
          for (uint32_t k = 0; k < c.item->size; ++k) element += " rr";
        } else {
          for (uint8_t b : c.item->bytes) element += " " + hex(b, 2);
        }
        out << "  " << hex(c.address, 6) << " " << element << "  repeated " << c.repeat << " times\n";
        continue;
      }
      if (c.item->relocated) {
        for (uint32_t k = 0; k < c.item->size; ++k) put(c.address + k, "rr");
      } else {
        for (std::size_t k = 0; k < c.item->bytes.size(); ++k) put(c.address + k, hex(c.item->bytes[k], 2));
      }
    }
    flush();
  }
}

}  // namespace koraldump
