#include "module.h"

#include <algorithm>

namespace koraldump {

const char* const part_names[part_count] = {
    "attribute-extension part", "environment part", "section part", "external part",
    "debug-information part", "data part", "trailer part", "module end",
};

const char* SectionInfo::kind_name() const {
  switch (kind) {
    case 'P': return "CODE";
    case 'D': return "DATA";
    case 'R': return "ROMDATA";
    default: return "?";
  }
}

const char* SectionInfo::size_class_name() const {
  if (absolute) return "ABS";
  switch (size_class) {
    case 8: return "SMALL";
    case 16: return "MEDIUM";
    case 24: return "LARGE";
    default: return "?";
  }
}

const SymbolInfo* Module::symbol(uint8_t letter, uint32_t index) const {
  const std::map<uint32_t, SymbolInfo>* table = letter == 0xC9 ? &publics
                                                : letter == 0xD8 ? &externals
                                                : letter == 0xCE ? &locals
                                                                 : nullptr;
  if (!table) return nullptr;
  auto it = table->find(index);
  return it == table->end() ? nullptr : &it->second;
}

bool section_location(const Expression& e, uint32_t& section, uint64_t& value, bool& relative) {
  if (e.size() == 1 && e[0].kind == ExprItem::number) {
    relative = false;
    value = e[0].value;
    return true;
  }
  if (e.empty() || e[0].kind != ExprItem::variable || e[0].code != 0xD2) return false;
  relative = true;
  section = e[0].value;
  if (e.size() == 1) {
    value = 0;
    return true;
  }
  if (e.size() == 3 && e[1].kind == ExprItem::number && e[2].kind == ExprItem::op && e[2].code == 0xA5) {
    value = e[1].value;
    return true;
  }
  return false;
}

namespace {

void section_letters(SectionInfo& s) {
  const std::string& t = s.letters;
  if (t.size() == 3 && t[0] == 'A' && t[1] == 'S') {
    s.absolute = true;
    s.kind = t[2];
  } else if (t.size() == 3 && (t[0] == 'Z' || t[0] == 'Y') && t[1] == 'C') {
    s.size_class = t[0] == 'Z' ? 8 : 16;
    s.kind = t[2];
  } else if (t.size() == 2 && t[0] == 'C') {
    s.size_class = 24;
    s.kind = t[1];
  }
  if (s.kind != 'P' && s.kind != 'D' && s.kind != 'R') s.kind = 0;
}

std::string at_record(const Record& r) { return r.title + " record"; }

class ModuleBuilder {
 public:
  explicit ModuleBuilder(Module& m) : m_(m), records_(m.list.records) {}

  void run() {
    head();
    for (std::size_t i = 0; i < records_.size(); ++i) record(i);
    parts();
  }

 private:
  const Record& at(std::size_t i) const { return records_[i]; }

  void head() {
    if (records_.empty() || at(0).type != RecordType::mb) fail(0, "the module does not begin with MB");
    m_.processor = at(0).fields[0].text;
    m_.name = at(0).fields[1].text;
    if (records_.size() < 2 || at(1).type != RecordType::ad)
      fail(records_.size() < 2 ? at(0).offset + at(0).size : at(1).offset, "MB is not followed by AD");
    for (int k = 0; k < part_count; ++k) {
      std::size_t i = 2 + static_cast<std::size_t>(k);
      if (i >= records_.size() || at(i).title != "ASW" || at(i).index != static_cast<uint32_t>(k)) {
        std::size_t offset = i < records_.size() ? at(i).offset : at(records_.size() - 1).offset;
        fail(offset, "expected the part offset W" + std::to_string(k) + " (ASW " + std::to_string(k) + ")");
      }
      const Expression& e = at(i).fields[1].expr;
      if (e.size() != 1 || e[0].kind != ExprItem::number)
        fail(at(i).offset, "part offset W" + std::to_string(k) + " is not a number");
      m_.parts[k] = e[0].value;
    }
  }

  SymbolInfo& symbol_of(const Record& r, std::map<uint32_t, SymbolInfo>& table, const char* what) {
    auto it = table.find(r.index);
    if (it == table.end())
      fail(r.offset, at_record(r) + " for " + what + " " + std::to_string(r.index) + " that has no name record");
    return it->second;
  }

  void name_record(const Record& r, std::map<uint32_t, SymbolInfo>& table, const char* what) {
    SymbolInfo s;
    s.index = r.index;
    s.name = r.fields[1].text;
    if (!table.emplace(r.index, s).second)
      fail(r.offset, std::string(what) + " " + std::to_string(r.index) + " is named twice");
  }

  void attributes(const Record& r, SymbolInfo& s) {
    s.has_attributes = true;
    s.type = r.number("type");
    s.attributes.clear();
    for (std::size_t k = 2; k < r.fields.size(); ++k) s.attributes.push_back(r.fields[k].value);
  }

  SectionInfo& section_of(const Record& r) {
    auto it = m_.sections.find(r.index);
    if (it == m_.sections.end())
      fail(r.offset, at_record(r) + " for section " + std::to_string(r.index) + " that has no ST record");
    return it->second;
  }

  static uint32_t plain_number(const Record& r) {
    const Expression& e = r.fields[1].expr;
    if (e.size() != 1 || e[0].kind != ExprItem::number) fail(r.offset, r.title + " value is not a number");
    return e[0].value;
  }

  void record(std::size_t i) {
    const Record& r = at(i);
    // The load address of a section may come between a repeat and its load
    // (a fill that is the first output of the section).
    bool load_address = r.type == RecordType::as && r.letter == 0xD0;
    if (repeat_pending_ && r.type != RecordType::ld && r.type != RecordType::lr && !load_address)
      fail(r.offset, "RE is not followed by a load record");
    switch (r.type) {
      case RecordType::mb: if (i != 0) fail(r.offset, "a second MB record"); break;
      case RecordType::ad: if (i != 1) fail(r.offset, "a second AD record"); break;
      case RecordType::as: assign(i, r); break;
      case RecordType::nn: name_record(r, m_.locals, "N"); break;
      case RecordType::ni: name_record(r, m_.publics, "I"); break;
      case RecordType::nx: name_record(r, m_.externals, "X"); break;
      case RecordType::at: attribute(r); break;
      case RecordType::st: {
        SectionInfo s;
        s.index = r.index;
        s.letters = r.fields[1].text;
        s.name = r.fields[2].text;
        section_letters(s);
        if (!m_.sections.emplace(r.index, s).second)
          fail(r.offset, "section " + std::to_string(r.index) + " has two ST records");
        break;
      }
      case RecordType::sa: section_of(r).alignment = r.fields[1].value; break;
      case RecordType::sb: {
        section_of(r);
        Segment s;
        s.section = r.index;
        s.record_offset = r.offset;
        m_.segments.push_back(s);
        break;
      }
      case RecordType::ld: case RecordType::lr: load(r); break;
      case RecordType::re:
        if (m_.segments.empty()) fail(r.offset, "RE before any SB record");
        repeat_pending_ = true;
        repeat_ = r.fields[0].value;
        break;
      case RecordType::bb: ++depth_; break;
      case RecordType::be:
        if (depth_ == 0) fail(r.offset, "BE without an open block");
        --depth_;
        break;
      case RecordType::me:
        if (depth_ != 0) fail(r.offset, std::to_string(depth_) + " debug block(s) still open at ME");
        break;
      case RecordType::ty: break;
    }
  }

  void assign(std::size_t i, const Record& r) {
    switch (r.letter) {
      case 0xD7:
        if (i < 2 || i >= 2 + part_count) fail(r.offset, "ASW record outside the part-offset table");
        break;
      case 0xD3: section_of(r).size = plain_number(r); break;
      case 0xCC: section_of(r).base = plain_number(r); break;
      case 0xC9: symbol_of(r, m_.publics, "I").value = &r.fields[1].expr; break;
      case 0xCE: symbol_of(r, m_.locals, "N").value = &r.fields[1].expr; break;
      case 0xD0: set_location(r); break;
      default: break;
    }
  }

  void attribute(const Record& r) {
    switch (r.letter) {
      case 0xC9: attributes(r, symbol_of(r, m_.publics, "I")); break;
      case 0xD8: attributes(r, symbol_of(r, m_.externals, "X")); break;
      case 0xCE: {
        SymbolInfo& s = symbol_of(r, m_.locals, "N");
        attributes(r, s);
        // The execution status: the last byte of ATN 52 of the environment.
        if (r.index == 33 && r.number("attribute") == 52 && r.fields.size() == 4 && r.fields[3].value <= 0x7F) {
          m_.status_offset = r.offset + r.size - 1;
          m_.status = r.fields[3].value;
        }
        break;
      }
      default: break;
    }
  }

  Segment& segment_for(const Record& r) {
    if (m_.segments.empty()) fail(r.offset, at_record(r) + " before any SB record");
    return m_.segments.back();
  }

  void set_location(const Record& r) {
    Segment& s = segment_for(r);
    if (r.index != s.section)
      fail(r.offset, "ASP for section " + std::to_string(r.index) + " while section " +
                         std::to_string(s.section) + " is current");
    uint32_t section = 0;
    uint64_t value = 0;
    bool relative = false;
    if (!section_location(r.fields[1].expr, section, value, relative) || (relative && section != s.section))
      fail(r.offset, "load address of an unexpected form");
    const SectionInfo& info = m_.sections.at(s.section);
    if (!relative && !info.absolute && !info.letters.empty())
      fail(r.offset, "plain load address in a relocatable section");
    if (!s.located) {
      s.located = true;
      s.start = value;
    }
    s.end = value;
  }

  void load(const Record& r) {
    Segment& s = segment_for(r);
    if (!s.located) fail(r.offset, at_record(r) + " before the load address of its section");
    bool first = true;
    for (const LoadItem& item : r.items) {
      Chunk c;
      c.address = s.end;
      c.item = &item;
      c.record_offset = r.offset;
      if (first && repeat_pending_) c.repeat = repeat_;
      first = false;
      s.end += c.length();
      if (s.end > 0x100000000ull) fail(item.offset, "the load runs past the end of the address space");
      s.chunks.push_back(c);
    }
    repeat_pending_ = false;
  }

  void parts() {
    auto find = [&](uint32_t offset) -> const Record* {
      auto it = std::lower_bound(records_.begin(), records_.end(), offset,
                                 [](const Record& r, uint32_t o) { return r.offset < o; });
      return it != records_.end() && it->offset == offset ? &*it : nullptr;
    };
    uint32_t previous = 0;
    for (int k = 0; k < part_count; ++k) {
      const uint32_t w = m_.parts[k];
      const std::size_t table = at(2 + static_cast<std::size_t>(k)).offset;
      const std::string name = "part offset W" + std::to_string(k) + " (" + part_names[k] + ", " +
                               std::to_string(w) + ")";
      if (w == 0) {
        if (k == 2 || k == 3 || k == 5) continue;
        fail(table, name + " is 0");
      }
      const Record* r = find(w);
      if (!r) fail(table, name + " is not the offset of a record");
      if (w < previous) fail(table, name + " lies before the part before it");
      previous = w;
      bool fits = false;
      switch (k) {
        case 0: fits = r->type == RecordType::nn && r->index == 32; break;
        case 1: fits = r->type == RecordType::nn && r->index == 33; break;
        case 2: fits = r->type == RecordType::st; break;
        case 3: fits = r->type == RecordType::ni || r->type == RecordType::nx; break;
        case 4: fits = r->type == RecordType::bb; break;
        case 5: fits = r->type == RecordType::sb; break;
        default: fits = r->type == RecordType::me; break;
      }
      if (!fits) fail(table, name + " points at " + r->title + " instead of the start of its part");
    }
  }

  Module& m_;
  const std::vector<Record>& records_;
  int depth_ = 0;
  bool repeat_pending_ = false;
  uint32_t repeat_ = 1;
};

}  // namespace

Module load_module(const uint8_t* data, std::size_t size) {
  Module m;
  m.list = read_records(data, size);
  if (!m.list.records.empty() && m.list.records[0].type == RecordType::mb) {
    m.processor = m.list.records[0].fields[0].text;
    m.name = m.list.records[0].fields[1].text;
  }
  if (m.list.error) return m;
  try {
    ModuleBuilder(m).run();
  } catch (ModuleError& e) {
    m.list.error = std::move(e);
  }
  return m;
}

}  // namespace koraldump
