// The disassembly: the module written back as assembler source.  Code
// sections are decoded instruction by instruction; other sections become
// data directives.  Labels are defined for the public and local symbols and
// for every place that a relocated expression names by section and offset,
// so that assembling the text gives the same code bytes.

#include <algorithm>
#include <set>
#include <sstream>

#include "disassembler.h"
#include "dump.h"
#include "symbols/reserved_words.h"

namespace koraldump {

namespace {

struct Label {
  std::string name;
  bool emitted = false;
};

// Everything known about one section while it is written.
struct SectionState {
  const SectionInfo* info = nullptr;
  uint64_t origin = 0;        // the location the section starts at: 0, or its base address
  uint64_t location = 0;      // where the text has reached
  bool opened = false;
  std::map<uint64_t, std::vector<Label>> labels;  // by offset from the origin
  std::set<uint64_t> unplaceable;                 // offsets inside items that cannot be split
  uint64_t walked = 0;                            // the highest offset the data part reaches
};

bool is_code(const SectionInfo* s) { return s && s->kind == 'P'; }
bool is_data(const SectionInfo* s) { return s && s->kind == 'D'; }

const char* data_directive(uint64_t size, bool fill) {
  switch (size) {
    case 1: return fill ? "DFB" : "DB";
    case 2: return fill ? "DFW" : "DW";
    case 3: return fill ? "DFP" : "DP";
    default: return fill ? "DFL" : "DL";
  }
}

std::string pad(std::string s, std::size_t width) {
  if (s.size() < width) s.resize(width, ' ');
  else s += ' ';
  return s;
}

class SourceWriter;

// Names for the source text: symbols by name, section offsets by label.
class SourceNamer : public Namer {
 public:
  SourceNamer(SourceWriter& w, uint32_t section, uint32_t field_offset)
      : w_(w), section_(section), field_offset_(field_offset) {}
  std::string variable(uint8_t letter, uint32_t index) override;
  std::string section_offset(uint32_t section, uint32_t offset) override;
  std::string load_address(uint32_t section, uint32_t less) override;

 private:
  SourceWriter& w_;
  uint32_t section_;
  uint32_t field_offset_;
};

class SourceWriter {
 public:
  SourceWriter(const Module& m, std::ostream& out) : m_(m), out_(out) {}

  void run() {
    for (const auto& [index, info] : m_.sections) {
      SectionState& s = sections_[index];
      s.info = &info;
      s.origin = info.absolute && info.base ? *info.base : 0;
      s.location = s.origin;
    }
    collect_names();
    collect_walked();
    collect_references();
    for (const auto& [index, info] : m_.sections)
      if (!info.absolute && info.size_class == 24 && info.kind != 'D') require_model(std::max(model_level_, 2));
    place_labels();
    write_all();
    if (model_level_ != 1) out_ << "-Nc" << model_level_ << "\n";
    out_ << body_.str();
  }

  // --- names -----------------------------------------------------------------

  std::string symbol_name(uint8_t letter, uint32_t index) {
    const SymbolInfo* s = m_.symbol(letter, index);
    if (s && !s->name.empty()) return s->name;
    exact_ = false;
    return std::string(1, letter_of(letter)) + std::to_string(index);
  }

  std::string section_text(uint32_t section, uint64_t offset) {
    auto it = sections_.find(section);
    if (it == sections_.end()) {
      exact_ = false;
      return "R" + std::to_string(section) + (offset ? "+" + number_text(static_cast<uint32_t>(offset)) : "");
    }
    SectionState& s = it->second;
    if (collecting_) {
      wanted_[section].insert(offset);
      return "L";
    }
    auto exact = s.labels.find(offset);
    if (exact != s.labels.end() && !exact->second.empty()) return exact->second.front().name;
    // An offset that no label can mark: the nearest label below it plus the distance.
    auto below = s.labels.upper_bound(offset);
    if (below != s.labels.begin()) {
      --below;
      return below->second.front().name + "+" + number_text(static_cast<uint32_t>(offset - below->first));
    }
    if (!s.labels.empty()) {
      auto above = s.labels.begin();
      return above->second.front().name + "-" + number_text(static_cast<uint32_t>(above->first - offset));
    }
    exact_ = false;
    return "R" + std::to_string(section) + "+" + number_text(static_cast<uint32_t>(offset));
  }

  std::string here_text(uint32_t section, int64_t delta) {
    if (section != current_section_) exact_ = false;
    if (delta == 0) return "$";
    return delta > 0 ? "$+" + number_text(static_cast<uint32_t>(delta))
                     : "$-" + number_text(static_cast<uint32_t>(-delta));
  }

  std::string section_name(uint32_t index) {
    const SectionInfo* s = m_.section(index);
    if (s) return s->name;
    exact_ = false;
    return "R" + std::to_string(index);
  }

  void require_model(int level) { model_level_ = level; }

 private:
  // --- collection --------------------------------------------------------

  std::string unique(std::string name) {
    while (taken_.count(name)) name += "_";
    taken_.insert(name);
    return name;
  }

  void define_label(uint32_t section, uint64_t offset, const std::string& name) {
    sections_[section].labels[offset].push_back(Label{name});
  }

  // A symbol whose value is a section offset becomes a label there; one with
  // a plain value an EQU.
  void define_symbol(const SymbolInfo& sym) {
    if (sym.name.empty() || !sym.value) return;
    uint32_t section = 0;
    uint64_t value = 0;
    bool relative = false;
    if (section_location(*sym.value, section, value, relative) && relative && sections_.count(section)) {
      define_label(section, value, sym.name);
    } else if (section_location(*sym.value, section, value, relative) && !relative) {
      equs_.push_back({sym.name, number_text(static_cast<uint32_t>(value))});
    } else {
      equs_.push_back({sym.name, expression_text(m_, *sym.value)});
    }
  }

  void collect_names() {
    for (const auto& [index, s] : m_.sections) taken_.insert(s.name);
    for (const auto* table : {&m_.publics, &m_.externals, &m_.locals})
      for (const auto& [index, s] : *table) taken_.insert(s.name);
    for (const koral::ReservedWord& w : koral::reserved_word_table()) taken_.insert(std::string(w.name));
    for (const auto& [index, s] : m_.publics) define_symbol(s);
    for (const auto& [index, s] : m_.locals) define_symbol(s);
  }

  void collect_walked() {
    for (const Segment& seg : m_.segments) {
      SectionState& s = sections_[seg.section];
      s.walked = std::max(s.walked, seg.end - std::min(seg.end, s.origin));
      for (const Chunk& c : seg.chunks) {
        const uint64_t start = c.address - std::min(c.address, s.origin);
        const uint64_t element = c.element_size();
        if (!c.item->relocated && c.repeat == 1) continue;
        // Inside one element nothing can be marked; between elements of a
        // repeat only when the elements are single bytes or whole items.
        for (uint64_t e = 0; e < c.repeat && e < 4096; ++e)
          for (uint64_t k = 1; k < element; ++k) s.unplaceable.insert(start + e * element + k);
      }
    }
  }

  // Renders every relocated expression once to learn which section offsets
  // they name.
  void collect_references() {
    collecting_ = true;
    for (const Segment& seg : m_.segments)
      for (const Chunk& c : seg.chunks)
        if (c.item->relocated) item_operand_text(*c.item, seg.section, 0);
    collecting_ = false;
    exact_ = true;
  }

  bool placeable(const SectionState& s, uint64_t offset) const {
    return offset <= s.walked && !s.unplaceable.count(offset);
  }

  void place_labels() {
    for (auto& [index, wanted] : wanted_) {
      SectionState& s = sections_[index];
      for (uint64_t offset : wanted) {
        if (s.labels.count(offset) || !placeable(s, offset)) continue;
        define_label(index, offset, unique("L" + std::to_string(index) + "_" + hex(offset, 4)));
      }
    }
    // Every section keeps an anchor, so that any offset can be named.
    for (auto& [index, s] : sections_) {
      if (s.labels.empty() && wanted_.count(index)) define_label(index, 0, unique("L" + std::to_string(index) + "_0000"));
      // Symbols that sit where no label can stand are named from the anchor.
      for (auto it = s.labels.begin(); it != s.labels.end();) {
        if (placeable(s, it->first)) {
          ++it;
          continue;
        }
        for (const Label& l : it->second) stray_.push_back({index, it->first, l.name});
        it = s.labels.erase(it);
      }
    }
  }

  // --- text of relocated items ---------------------------------------------

  std::string item_operand_text(const LoadItem& item, uint32_t section, uint32_t field_offset) {
    ExprTree tree;
    SourceNamer namer(*this, section, field_offset);
    if (!build_tree(item.expression, tree)) {
      exact_ = false;
      return render_postfix(item.expression, namer);
    }
    ItemShape shape = item_shape(tree, item.relative);
    if (shape.kind == ItemKind::vector) require_model(shape.vector_table == 0xFFC0 ? 0 : shape.vector_table == 0xFFA0 ? 1 : 2);
    bool exact = true;
    std::string text = render(tree, shape.operand, namer, Syntax::source, &exact);
    if (!exact) exact_ = false;
    if (text.find("CODE_ADDR") != std::string::npos) require_model(2);
    return text;
  }

  // --- writing -------------------------------------------------------------

  void line(const std::string& label, const std::string& op, const std::string& operands,
            const std::string& comment = {}) {
    std::string s = pad(label, 8) + pad(op, 8) + operands;
    if (!comment.empty()) s = pad(s, 40) + "; " + comment;
    while (!s.empty() && s.back() == ' ') s.pop_back();
    body_ << s << "\n";
  }

  std::string address_comment(const SectionState& s, uint64_t offset, const std::vector<std::string>& bytes) {
    std::string c = hex(s.origin + offset, 6) + " ";
    for (const std::string& b : bytes) c += " " + b;
    return c;
  }

  void emit_labels(SectionState& s, uint64_t offset) {
    auto it = s.labels.find(offset);
    if (it == s.labels.end()) return;
    for (Label& l : it->second)
      if (!l.emitted) {
        body_ << l.name << ":\n";
        l.emitted = true;
      }
  }

  // The next label offset after `offset`, or `limit`.
  uint64_t next_label(const SectionState& s, uint64_t offset, uint64_t limit) const {
    auto it = s.labels.upper_bound(offset);
    return it == s.labels.end() ? limit : std::min(limit, it->first);
  }

  void open_section(uint32_t index) {
    SectionState& s = sections_[index];
    const SectionInfo& i = *s.info;
    std::string attributes = i.kind_name();
    if (i.absolute) {
      attributes += " ABS=" + number_text(i.base.value_or(0));
    } else {
      if (i.size_class) attributes += std::string(" ") + i.size_class_name();
      if (i.size_class == 24 && i.kind != 'D') require_model(std::max(model_level_, 2));
      if (i.alignment && *i.alignment > 1) attributes += " ALIGN=" + number_text(*i.alignment);
    }
    body_ << "\n";
    line(i.name, "SECTION", attributes);
    s.opened = true;
    current_section_ = index;
  }

  // Moves the text from the section's location to `offset`: storage in a
  // DATA section, ORG elsewhere; labels on the way are defined.
  void gap_to(SectionState& s, uint64_t offset) {
    while (s.location - s.origin < offset) {
      const uint64_t here = s.location - s.origin;
      emit_labels(s, here);
      const uint64_t stop = next_label(s, here, offset);
      if (is_data(s.info)) line("", "DSB", number_text(static_cast<uint32_t>(stop - here)));
      else line("", "ORG", number_text(static_cast<uint32_t>(s.origin + stop)));
      s.location = s.origin + stop;
    }
    if (s.location - s.origin > offset) {
      line("", "ORG", number_text(static_cast<uint32_t>(s.origin + offset)), "the load address goes back");
      s.location = s.origin + offset;
    }
  }

  std::string relocated_data(const LoadItem& item, uint32_t section) {
    exact_ = true;
    return item_operand_text(item, section, 0);
  }

  void repeat_chunk(SectionState& s, uint32_t section, const Chunk& c) {
    const uint64_t element = c.element_size();
    const uint64_t start = c.address - s.origin;
    uint64_t done = 0;
    while (done < c.repeat) {
      const uint64_t here = start + done * element;
      emit_labels(s, here);
      uint64_t stop = next_label(s, here, start + c.length());
      uint64_t count = std::max<uint64_t>(1, (stop - here) / std::max<uint64_t>(element, 1));
      count = std::min<uint64_t>(count, c.repeat - done);
      std::string value;
      if (c.item->relocated) {
        value = relocated_data(*c.item, section);
      } else if (element >= 1 && element <= 4) {
        uint32_t v = 0;
        for (uint64_t k = 0; k < element; ++k) v |= static_cast<uint32_t>(c.item->bytes[k]) << (8 * k);
        value = number_text(v);
      }
      if (element >= 1 && element <= 4) {
        line("", data_directive(element, true), number_text(static_cast<uint32_t>(count)) + "," + value,
             hex(s.origin + here, 6) + "  repeated");
      } else {
        line("", "DSB", number_text(static_cast<uint32_t>(element * count)),
             "a repeated item of " + std::to_string(element) + " bytes");
      }
      done += count;
    }
    s.location = s.origin + start + c.length();
  }

  // Plain data: DB lines of up to 8 bytes; relocated items as DB..DL.
  void data_run(SectionState& s, uint32_t section, const std::vector<const Chunk*>& run) {
    for (const Chunk* c : run) {
      uint64_t offset = c->address - s.origin;
      if (c->item->relocated) {
        emit_labels(s, offset);
        line("", data_directive(c->item->size, false), relocated_data(*c->item, section),
             hex(s.origin + offset, 6));
        continue;
      }
      const std::vector<uint8_t>& b = c->item->bytes;
      std::size_t i = 0;
      while (i < b.size()) {
        emit_labels(s, offset + i);
        std::size_t stop = static_cast<std::size_t>(
            std::min<uint64_t>(next_label(s, offset + i, offset + b.size()) - offset, i + 8));
        std::string values;
        for (std::size_t k = i; k < stop; ++k) values += (k > i ? "," : "") + ("0x" + hex(b[k], 2));
        line("", "DB", values, hex(s.origin + offset + i, 6));
        i = stop;
      }
    }
    s.location = run.back()->address + run.back()->length();
  }

  // Code: the run as cells, decoded instruction by instruction.
  void code_run(SectionState& s, uint32_t section, const std::vector<const Chunk*>& run) {
    std::vector<CodeCell> cells;
    std::vector<CodeItem> items;
    std::vector<const LoadItem*> loads;
    for (const Chunk* c : run) {
      if (c->item->relocated) {
        ExprTree tree;
        CodeItem it;
        it.shape = build_tree(c->item->expression, tree) ? item_shape(tree, c->item->relative) : ItemShape{};
        it.first_cell = cells.size();
        it.size = c->item->size;
        for (uint32_t k = 0; k < it.size; ++k) cells.push_back(CodeCell{0, static_cast<int32_t>(items.size())});
        items.push_back(it);
        loads.push_back(c->item);
      } else {
        for (uint8_t b : c->item->bytes) cells.push_back(CodeCell{b, -1});
      }
    }
    const uint64_t base = run.front()->address - s.origin;
    std::size_t at = 0;
    CodeView view;
    view.cells = cells.data();
    view.count = cells.size();
    view.items = items.data();
    view.item_text = [&](int k, uint32_t field_offset) {
      return item_operand_text(*loads[static_cast<std::size_t>(k)], section, field_offset);
    };
    view.target_text = [&](int64_t delta) {
      const int64_t target = static_cast<int64_t>(base + at) + delta;
      auto it = s.labels.find(static_cast<uint64_t>(target));
      if (target >= 0 && it != s.labels.end() && !it->second.empty()) return it->second.front().name;
      return here_text(section, delta);
    };
    auto byte_text = [&](std::size_t i) { return cells[i].item >= 0 ? std::string("rr") : hex(cells[i].byte, 2); };
    while (at < cells.size()) {
      emit_labels(s, base + at);
      const std::size_t limit = static_cast<std::size_t>(next_label(s, base + at, base + cells.size()) - base);
      exact_ = true;
      std::optional<DecodedInstruction> d = decode_instruction(view, at, limit);
      std::vector<std::string> bytes;
      if (d && d->canonical) {
        for (std::size_t i = at; i < at + d->length; ++i) bytes.push_back(byte_text(i));
        std::string comment = address_comment(s, base + at, bytes);
        if (!exact_) comment += "  (not assembled as written)";
        const std::size_t space = d->text.find(' ');
        std::string op = space == std::string::npos ? d->text : d->text.substr(0, space);
        std::string operands = space == std::string::npos ? "" : d->text.substr(d->text.find_first_not_of(' ', space));
        line("", op, operands, comment);
        at += d->length;
        continue;
      }
      // Not an instruction the assembler writes this way: the bytes as data.
      const int k = cells[at].item;
      if (k >= 0 && items[static_cast<std::size_t>(k)].first_cell == at) {
        const CodeItem& it = items[static_cast<std::size_t>(k)];
        for (std::size_t i = at; i < at + it.size; ++i) bytes.push_back("rr");
        line("", data_directive(it.size, false), relocated_data(*loads[static_cast<std::size_t>(k)], section),
             address_comment(s, base + at, bytes));
        at += it.size;
        continue;
      }
      std::string comment = address_comment(s, base + at, {byte_text(at)});
      if (d) comment += "  " + d->text + " is written otherwise by the assembler";
      line("", "DB", "0x" + hex(cells[at].byte, 2), comment);
      ++at;
    }
    s.location = s.origin + base + cells.size();
  }

  void segment(const Segment& seg) {
    SectionState& s = sections_[seg.section];
    open_section(seg.section);
    gap_to(s, seg.start - std::min(seg.start, s.origin));
    std::size_t i = 0;
    while (i < seg.chunks.size()) {
      const Chunk& c = seg.chunks[i];
      gap_to(s, c.address - std::min(c.address, s.origin));
      if (c.repeat != 1) {
        repeat_chunk(s, seg.section, c);
        ++i;
        continue;
      }
      std::vector<const Chunk*> run;
      uint64_t end = c.address;
      while (i < seg.chunks.size() && seg.chunks[i].repeat == 1 && seg.chunks[i].address == end) {
        run.push_back(&seg.chunks[i]);
        end += seg.chunks[i].length();
        ++i;
      }
      if (is_code(s.info)) code_run(s, seg.section, run);
      else data_run(s, seg.section, run);
    }
    gap_to(s, seg.end - std::min(seg.end, s.origin));
  }

  // Labels still waiting at the end of their section's last segment.
  void finish_section(SectionState& s) {
    for (auto& [offset, labels] : s.labels) {
      if (labels.empty() || labels.front().emitted) continue;
      if (offset < s.location - s.origin) continue;
      gap_to(s, offset);
      emit_labels(s, offset);
    }
  }

  void write_all() {
    body_ << "; disassembly of module " << m_.name << "\n";
    line("", "MODULE", m_.name);
    for (const auto& [index, x] : m_.externals) {
      std::string size;
      // Size class 0 stands for LARGE and for no size alike; LARGE exists
      // only from model level 2 on, where it is taken.
      if (x.attributes.size() >= 2)
        size = x.attributes[1] == 1 ? "MEDIUM " : x.attributes[1] == 2 ? "SMALL " : model_level_ >= 2 ? "LARGE " : "";
      line("", "EXTERN", size + x.name);
    }
    for (const auto& [index, p] : m_.publics) line("", "PUBLIC", p.name);
    for (const auto& [name, value] : equs_) line(name, "EQU", value);
    for (const auto& [section, offset, name] : stray_)
      body_ << "; " << name << " lies at offset 0x" << hex(offset) << " of " << section_name(section)
            << ", inside an item\n";

    std::map<uint32_t, std::size_t> last_of;
    for (std::size_t i = 0; i < m_.segments.size(); ++i) last_of[m_.segments[i].section] = i;
    for (std::size_t i = 0; i < m_.segments.size(); ++i) {
      segment(m_.segments[i]);
      if (last_of[m_.segments[i].section] == i) finish_section(sections_[m_.segments[i].section]);
    }
    for (auto& [index, s] : sections_) {
      if (s.opened) continue;
      open_section(index);
      finish_section(s);
    }
    body_ << "\n";
    line("", "END", "");
  }

  const Module& m_;
  std::ostream& out_;
  std::ostringstream body_;
  std::map<uint32_t, SectionState> sections_;
  std::map<uint32_t, std::set<uint64_t>> wanted_;
  std::set<std::string> taken_;
  std::vector<std::pair<std::string, std::string>> equs_;
  std::vector<std::tuple<uint32_t, uint64_t, std::string>> stray_;
  bool collecting_ = false;
  bool exact_ = true;
  int model_level_ = 1;
  uint32_t current_section_ = 0;
};

std::string SourceNamer::variable(uint8_t letter, uint32_t index) {
  switch (letter) {
    case var_i: case var_x: case var_n: return w_.symbol_name(letter, index);
    case var_r: return w_.section_text(index, 0);
    case var_p: return w_.here_text(index, static_cast<int64_t>(field_offset_));
    case var_s: return "SIZEOF(" + w_.section_name(index) + ")";
    case var_l: return "STARTOF(" + w_.section_name(index) + ")";
    default: return w_.symbol_name(letter, index);
  }
}

std::string SourceNamer::section_offset(uint32_t section, uint32_t offset) {
  return w_.section_text(section, offset);
}

std::string SourceNamer::load_address(uint32_t section, uint32_t less) {
  (void)section_;
  return w_.here_text(section, static_cast<int64_t>(field_offset_) - static_cast<int64_t>(less));
}

}  // namespace

void print_disassembly(const Module& m, std::ostream& out) { SourceWriter(m, out).run(); }

}  // namespace koraldump
