#include "listing/symbol_listing.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "diag/diagnostics.h"
#include "diag/messages.h"
#include "driver/assembly.h"
#include "listing/listing.h"
#include "symbols/cross_reference.h"
#include "symbols/symbol_table.h"

namespace koral {

namespace {

constexpr std::size_t category_column = 25;  // "MOD" of the module line
constexpr std::size_t reference_column = 56;
constexpr std::size_t reference_step = 8;
constexpr std::size_t long_name = 16;        // names this long end their first line
constexpr std::size_t reference_width = 5;   // "%5d"

constexpr char column_heading_xref[] =
    "Symbol           Category         Value     Attribute   Cross_reference\r\n";
constexpr char column_heading_plain[] = "Symbol           Category         Value     Attribute\r\n";

constexpr uint32_t integer_data_marks = 0x10 | 0x20 | 0x40;
constexpr uint32_t floating_data_marks = 0x100 | 0x200 | 0x400;

template <typename Visit>
void for_each_section(Assembly& a, Visit visit) {
  for (uint32_t h = 1; h <= a.symbols.section_count; ++h) {
    Section* s = section_from_handle(a, h);
    if (s && s->kind != kind_deleted) visit(*s);
  }
}

bool listable(const Symbol& s) {
  switch (s.kind) {
    case kind_location: case kind_public_undefined: case kind_forward: case kind_deleted:
      return false;
    case kind_external:
      return s.references.count > 0;
    default:
      return true;
  }
}

bool name_before(const SortEntry& x, const SortEntry& y) {
  int order = std::memcmp(x.name, y.name, std::min(x.length, y.length));
  return order != 0 ? order < 0 : x.length < y.length;
}

bool is_equ(const Symbol& s) { return s.kind == kind_equ || s.kind == kind_public_equ; }
bool is_public(const Symbol& s) {
  return s.kind == kind_public_label || s.kind == kind_public_variable ||
         s.kind == kind_public_equ || s.kind == kind_late_public;
}
bool absolute_section(const Section* s) { return s && (s->kind & section_absolute); }

const char* type_letters(const Section* s) {
  if (!s) return "  ";
  if (s->kind & section_code) return "C ";
  if (s->kind & section_data) return "D ";
  if (s->kind & section_romdata) return "R ";
  return "  ";
}

const char* size_letters(int32_t size_attribute) {
  switch (size_attribute) {
    case 8: return "S ";
    case 16: return "M ";
    case 24: return "L ";
    default: return "  ";
  }
}

const char* category_of(const Symbol& s) {
  switch (s.kind) {
    case kind_label: {
      uint32_t marks = integer_data_marks;
      if (s.section && (s.section->kind & section_code)) marks |= floating_data_marks;
      return (s.attributes & marks) ? "VAR" : "LAB";
    }
    case kind_equ: case kind_public_equ: return "NUM";
    case kind_public_label: return "LAB";
    case kind_public_variable: return "VAR";
    default: return "   ";
  }
}

uint32_t le32(const unsigned char* at) {
  return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

// Writes the lines of the table and keeps the output column of the line
// being composed.
class SymbolLister {
 public:
  explicit SymbolLister(Assembly& a)
      : a_(a), l_(a.listing), line_(a.listing.line), xref_(a.option(opt_cross_reference)),
        wrap_(a.option(opt_page_width)), width_(static_cast<std::size_t>(a.settings.page_width)) {
    line_.clear();
  }

  void start();
  void section_line(const Section& s);
  void symbol_line(const Symbol& s);
  void module_line();
  void totals();

 private:
  std::size_t column() const { return line_.size() - line_start_; }
  void pad_to(std::size_t column) {
    if (this->column() < column) line_.append(column - this->column(), ' ');
  }
  void append_number(const char* format, uint32_t value) {
    char text[32];
    int length = std::snprintf(text, sizeof text, format, value);
    line_.append(text, static_cast<std::size_t>(length));
  }
  // A line break that is not accounted: the rest of a line after a long name.
  void unaccounted_break(std::size_t indent) {
    line_ += "\r\n";
    line_start_ = line_.size();
    line_.append(indent, ' ');
  }
  void accounted_break(std::size_t indent);
  void end_line();
  void column_heading();
  // Prints the references of a chain; true when there was any.
  bool references(const ReferenceChain& chain);
  void definition_mark(int32_t listing_line, bool references_printed);
  void put_separated(const char* text, std::size_t width, std::size_t separator);
  std::size_t gap_to_stop() const {
    std::size_t col = column();
    if (col == reference_column) return 0;
    return reference_step - (col - reference_column) % reference_step;
  }
  [[noreturn]] void refsym_failure(int code);

  Assembly& a_;
  ListingState& l_;
  std::string& line_;
  std::size_t line_start_ = 0;
  const bool xref_;
  const bool wrap_;
  const std::size_t width_;
  bool page_begun_ = false;  // the last accounted line began a new page
  int32_t names_ = 0;        // names listed so far
};

void SymbolLister::refsym_failure(int code) {
  if (a_.option(opt_temp_on_disk)) report_fatal(a_, code, a_.temps.label(TempKind::refsym));
  report_fatal(a_, 150);
}

void SymbolLister::column_heading() {
  listing_write(a_, std::string(xref_ ? column_heading_xref : column_heading_plain) + "\r\n");
  l_.line_count += 1;
}

void SymbolLister::start() {
  if (!listing_at_page_top(a_)) l_.forced_break = true;
  account_line(a_);
  if (xref_)
    listing_write(a_, "Cross reference & Symbol table listing\r\n"
                      "--------------------------------------\r\n\r\n");
  else
    listing_write(a_, "Symbol table listing\r\n--------------------\r\n\r\n");
  listing_write(a_, std::string(xref_ ? column_heading_xref : column_heading_plain) + "\r\n");
  l_.line_count += 4;
  TempFile& refsym = a_.temps[TempKind::refsym];
  if (xref_ && refsym.is_open() && refsym.seek(0, seek_start) != 0) refsym_failure(24);
}

// The line so far is written; the next one is accounted (with the column
// heading when it begins a page).
void SymbolLister::accounted_break(std::size_t indent) {
  line_ += "\r\n";
  listing_write(a_, line_);
  line_.clear();
  line_start_ = 0;
  account_line(a_);
  page_begun_ = l_.line_count == 2;
  if (page_begun_) column_heading();
  line_.append(indent, ' ');
}

void SymbolLister::end_line() {
  accounted_break(0);
  ++names_;
}

// A reference or definition mark after `separator` blanks (or, without the
// page width, a tab when `separator` is not 0), moved to a new line when it
// would end beyond the page width.
void SymbolLister::put_separated(const char* text, std::size_t width, std::size_t separator) {
  if (!wrap_) {
    if (separator) line_ += '\t';
  } else if (column() + separator + width > width_) {
    accounted_break(reference_column);
  } else {
    line_.append(separator, ' ');
  }
  line_ += text;
}

bool SymbolLister::references(const ReferenceChain& chain) {
  bool printed = false;
  TempFile& refsym = a_.temps[TempKind::refsym];
  unsigned char block[reference_block_size];
  int32_t left = chain.count;
  uint32_t position = static_cast<uint32_t>(chain.first_block);
  while (left > 0) {
    if (refsym.seek(static_cast<long>(position), seek_start) != static_cast<long>(position))
      refsym_failure(24);
    if (refsym.read(block, sizeof block) != static_cast<long>(sizeof block)) refsym_failure(22);
    int32_t in_block = std::min(left, references_per_block);
    for (int32_t i = 0; i < in_block; ++i) {
      const unsigned char* record = block + 4 + i * reference_record_size;
      char text[16];
      std::snprintf(text, sizeof text, "%5u", le32(record + 8));
      std::size_t separator;
      if (!wrap_)
        separator = (!printed && column() == reference_column) ? 0 : 1;
      else
        separator = printed ? 3 : gap_to_stop();
      put_separated(text, reference_width, separator);
      printed = true;
    }
    left -= in_block;
    position = le32(block);
  }
  return printed;
}

void SymbolLister::definition_mark(int32_t listing_line, bool references_printed) {
  char text[16];
  std::snprintf(text, sizeof text, "%5u#", static_cast<uint32_t>(listing_line));
  std::size_t separator;
  if (!wrap_)
    separator = (references_printed || column() != reference_column) ? 1 : 0;
  else
    separator = references_printed ? 3 : gap_to_stop();
  put_separated(text, reference_width + 1, separator);
}

void SymbolLister::section_line(const Section& s) {
  line_.append(s.name, s.name_length);
  if (s.name_length >= long_name) unaccounted_break(long_name);
  pad_to(long_name);
  line_ += ' ';
  line_ += type_letters(&s);
  line_ += (s.kind & section_absolute) ? "  " : size_letters(s.size_attribute);
  line_ += "    SEC      ";
  append_number("%08X  ", s.start);
  line_ += (s.kind & section_absolute) ? "A " : "R ";
  append_number("%-8X  ", s.size);
  if (xref_) definition_mark(s.listing_line, references(s.references));
  end_line();
}

void SymbolLister::symbol_line(const Symbol& s) {
  const bool equ = is_equ(s);
  const bool external = s.kind == kind_external;
  const Section* section = (equ || external) ? nullptr : s.section;
  line_.append(s.name, s.name_length);
  if (s.name_length >= long_name) unaccounted_break(long_name + 1);
  pad_to(long_name + 1);
  line_ += type_letters(section);
  line_ += (!section || absolute_section(section)) ? "  " : size_letters(section->size_attribute);
  line_ += "    ";
  line_ += category_of(s);
  line_ += "      ";
  append_number("%08X  ", external ? 0u : static_cast<uint32_t>(s.value));
  line_ += (equ || absolute_section(section)) ? "A " : "R ";
  line_ += is_public(s) ? "PUB       " : external ? "EXT       " : "          ";
  if (section && !absolute_section(section)) {
    for (uint32_t i = 0; i < section->name_length; ++i) {
      if (wrap_ && column() >= width_) accounted_break(reference_column);
      line_ += section->name[i];
    }
  }
  if (xref_) {
    bool printed = references(s.references);
    if (s.listing_line != 0) definition_mark(s.listing_line, printed);
  }
  end_line();
}

void SymbolLister::module_line() {
  const std::string& name = a_.run.module_name;
  line_ += name;
  if (name.size() > long_name) unaccounted_break(0);
  pad_to(category_column);
  line_ += "MOD";
  int32_t defined_at = a_.sections.module_listing_line;
  if (xref_ && defined_at != 0) {
    pad_to(reference_column);
    append_number("%5u#", static_cast<uint32_t>(defined_at));
  }
  end_line();
}

void SymbolLister::totals() {
  int32_t unreferenced = a_.symbols.unreferenced_externals;
  for_each_live_symbol(a_, [&](const Symbol& s) {
    if (s.kind == kind_external && s.references.count == 0) ++unreferenced;
  });
  std::string text;
  if (lines_left_on_page(a_) < 2) {
    l_.forced_break = true;
    account_line(a_);
  } else if (!page_begun_) {
    text = "\r\n\r\nTOTAL\r\n";
  }
  char line[64];
  std::snprintf(line, sizeof line, "%5d user defined symbol(s)\r\n", names_);
  text += line;
  if (unreferenced > 0) {
    std::snprintf(line, sizeof line, "%5d unreferenced external symbol(s)\r\n", unreferenced);
    text += line;
  }
  listing_write(a_, text);
  l_.line_count += 3;
}

}  // namespace

void build_sort_table(Assembly& a) {
  ListingState& l = a.listing;
  l.sort_table.reset();
  l.sort_count = 0;
  l.symbol_order = SymbolOrder::none;
  if (!a.option(opt_listing) || a.option(opt_no_symbol_table)) return;
  std::size_t count = 0;
  for_each_section(a, [&](const Section&) { ++count; });
  for_each_live_symbol(a, [&](const Symbol& s) { count += listable(s); });
  if (count == 0) return;
  l.symbol_order = SymbolOrder::unsorted;
  if (!a.settings.sorted_symbols) return;
  l.sort_table.reset(new (std::nothrow) SortEntry[count + 1]);
  if (!l.sort_table) {
    if (!a.option(opt_no_warnings)) print_one_diagnostic(a, 550, message_text(550), 0, 0);
    return;
  }
  SortEntry* entries = l.sort_table.get();
  std::size_t n = 0;
  for_each_section(a, [&](const Section& s) { entries[n++] = SortEntry{s.name, s.name_length, &s, nullptr}; });
  for_each_live_symbol(a, [&](const Symbol& s) {
    if (listable(s)) entries[n++] = SortEntry{s.name, s.name_length, nullptr, &s};
  });
  const std::string& module = a.run.module_name;
  entries[n++] = SortEntry{module.c_str(), static_cast<uint32_t>(module.size()), nullptr, nullptr};
  std::stable_sort(entries, entries + n, name_before);
  l.sort_count = n;
  l.symbol_order = SymbolOrder::sorted;
}

void list_symbol_table(Assembly& a) {
  if (!a.listing.file) return;
  SymbolLister lister(a);
  lister.start();
  switch (a.listing.symbol_order) {
    case SymbolOrder::sorted:
      for (std::size_t i = 0; i < a.listing.sort_count; ++i) {
        const SortEntry& e = a.listing.sort_table[i];
        if (e.section)
          lister.section_line(*e.section);
        else if (e.symbol)
          lister.symbol_line(*e.symbol);
        else
          lister.module_line();
      }
      break;
    case SymbolOrder::unsorted:
      for_each_section(a, [&](const Section& s) { lister.section_line(s); });
      for_each_live_symbol(a, [&](const Symbol& s) {
        if (s.kind != kind_location) lister.symbol_line(s);
      });
      lister.module_line();
      break;
    case SymbolOrder::none:
      lister.module_line();
      break;
  }
  lister.totals();
}

}  // namespace koral
