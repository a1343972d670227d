// The lines of one statement in the listing: location, object bytes,
// relocation mark, include level, line numbers and the source text, with the
// continuation lines of long sources and long code, the repeat line of the
// fill directives and the report of a gap the object writer filled.
#include <algorithm>
#include <cstring>

#include "driver/assembly.h"
#include "listing/listing.h"
#include "source/payload.h"
#include "source/source_reader.h"
#include "source/statement_kinds.h"
#include "source/statement_record.h"
#include "symbols/symbol_table.h"

namespace koral {

namespace {

constexpr std::size_t object_column = 10;   // first column of the object bytes
constexpr std::size_t source_column = 59;   // first column of the source text
constexpr uint32_t bytes_per_line = 10;
constexpr int tab_origin = 48;              // tab stops lie at 48 + 8k
constexpr int tab_step = 8;

bool fill_kind(int32_t kind) {
  return kind == statement_dfb || kind == statement_dfw || kind == statement_dfp ||
         kind == statement_dfl;
}

// Statements whose location field shows the location counter, without bytes.
bool location_kind(int32_t kind) {
  switch (kind) {
    case statement_org: case statement_align:
    case statement_dsb: case statement_dsw: case statement_dsp: case statement_dsl:
      return true;
    default:
      return false;
  }
}

// First byte of a double-byte character.
bool lead_byte(unsigned char c) {
  return (c >= 0x81 && c <= 0x84) || (c >= 0x88 && c <= 0x9F) || (c >= 0xE0 && c <= 0xEA);
}

bool option_line_diagnostic_here(const Assembly& a) {
  const std::vector<int32_t>& lines = a.diag.option_diagnostic_lines;
  if (lines.empty() || a.sources.current != 0) return false;
  return std::find(lines.begin(), lines.end(), a.sources.current_line()) != lines.end();
}

// With the listing switched off only statements with diagnostics are listed.
bool statement_listed(const Assembly& a) {
  const Diagnostics& d = a.diag;
  return a.listing.listing_on || d.error_mark || d.warning_mark || d.direct_mark ||
         !d.pending.empty() || option_line_diagnostic_here(a);
}

void append_format(std::string& line, const char* format, uint32_t value) {
  char text[32];
  int length = std::snprintf(text, sizeof text, format, value);
  line.append(text, static_cast<std::size_t>(length));
}

void append_hex_bytes(std::string& line, const uint8_t* bytes, uint32_t count) {
  static constexpr char digits[] = "0123456789ABCDEF";
  for (uint32_t i = 0; i < count; ++i) {
    line.push_back(digits[bytes[i] >> 4]);
    line.push_back(digits[bytes[i] & 0xF]);
  }
}

void pad_to(std::string& line, std::size_t column) {
  if (line.size() < column) line.append(column - line.size(), ' ');
}

void write_accounted(Assembly& a, const std::string& line) {
  account_line(a);
  listing_write(a, line);
}

// What the statement shows in its location and object fields.
struct StatementView {
  enum class Location { blank, counter, value } location = Location::blank;
  uint32_t shown = 0;   // location counter or EQU value
  uint32_t bytes = 0;   // object bytes shown
  uint32_t repeat = 0;  // fill directives: element count for "(repeat n)"
  bool repeat_line = false;
};

// The value an EQU statement gave its symbol (named by the first payload
// word); false when the statement has an error.
bool equ_value(Assembly& a, uint32_t& value) {
  if (a.diag.error_mark) return false;
  const Symbol* symbol = symbol_from_handle(a, payload_word(a, 0));
  if (!symbol) return false;
  value = static_cast<uint32_t>(symbol->value);
  return true;
}

StatementView view_of(Assembly& a) {
  StatementView v;
  const int32_t kind = a.run.statement_kind;
  const Section* section = a.run.section;
  const uint8_t flags = a.token_file.header()->flags;
  const bool label_only =
      (flags & record_has_label) && !(flags & (record_directive | record_instruction));
  if ((kind == statement_instruction || is_data_statement(kind)) && section) {
    v.location = StatementView::Location::counter;
    v.shown = section->location;
    v.bytes = a.code.count;
    if (fill_kind(kind)) {
      v.repeat_line = v.bytes > 0 && a.run.statement_size > 0;
      if (!v.repeat_line) v.bytes = 0;
      else v.repeat = a.run.statement_size / v.bytes;
    }
  } else if (location_kind(kind) || label_only) {
    if (section) {
      v.location = StatementView::Location::counter;
      v.shown = section->location;
    }
  } else if (kind == statement_equ && equ_value(a, v.shown)) {
    v.location = StatementView::Location::value;
  }
  return v;
}

// Columns 0 to 58 of the statement's first line.
void compose_prefix(Assembly& a, const StatementView& v, std::string& line) {
  line.clear();
  switch (v.location) {
    case StatementView::Location::counter: append_format(line, "%08X  ", v.shown); break;
    case StatementView::Location::value: append_format(line, "  %08X ", v.shown); break;
    case StatementView::Location::blank: line.append(object_column, ' '); break;
  }
  append_hex_bytes(line, a.code.bytes, std::min(v.bytes, bytes_per_line));
  pad_to(line, 31);
  // Data directives and instructions mark values the linker completes.
  bool relocatable = (a.token_file.header()->flags & record_relocatable) || a.statement.relocatable_data;
  line.append(relocatable ? "R " : "  ");
  append_format(line, "+%u ", static_cast<uint32_t>(a.sources.depth));
  append_format(line, "%10u  ", static_cast<uint32_t>(a.sources.current_line()));
  append_format(line, "%10u ", static_cast<uint32_t>(a.sources.current_listing_line()));
}

// Appends the source text after the prefix in `line` and writes the line,
// cut into continuation lines when the page width was set.  The first line
// is accounted unless `account_first` is false.
void write_source_lines(Assembly& a, std::string_view text, bool account_first) {
  std::string& line = a.listing.line;
  std::string_view ending = "\r\n";
  if (text.size() >= 2 && text.substr(text.size() - 2) == "\r\n") {
    text.remove_suffix(2);
  } else if (!text.empty() && text.back() == '\n') {
    ending = "\n";
    text.remove_suffix(1);
  }
  const bool wrap = a.option(opt_page_width);
  const std::size_t limit = static_cast<std::size_t>(a.settings.page_width - 1);
  bool first = true;
  auto cut = [&] {
    line += "\r\n";
    if (first && !account_first)
      listing_write(a, line);
    else
      write_accounted(a, line);
    first = false;
    line.assign(source_column, ' ');
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == ';' && i + 1 < text.size() && text[i + 1] == ';') {
      ending = "\r\n";  // the comment after ";;" is not listed
      break;
    }
    if (!wrap) {
      line.push_back(static_cast<char>(c));
      continue;
    }
    if (c == '\t') {
      if (line.size() >= limit) cut();
      line.push_back(' ');
      while ((static_cast<int>(line.size()) - tab_origin) % tab_step != 0 && line.size() < limit)
        line.push_back(' ');
      continue;
    }
    if (lead_byte(c) && i + 1 < text.size()) {
      if (line.size() + 2 > limit) cut();
      line.push_back(static_cast<char>(c));
      line.push_back(text[++i]);
      continue;
    }
    if (line.size() >= limit) cut();
    line.push_back(static_cast<char>(c));
  }
  line.append(ending);
  if (first && !account_first)
    listing_write(a, line);
  else
    write_accounted(a, line);
}

// Object bytes from the eleventh on, ten to a line.
void write_byte_lines(Assembly& a, uint32_t count) {
  std::string& line = a.listing.line;
  for (uint32_t at = bytes_per_line; at < count; at += bytes_per_line) {
    line.assign(object_column, ' ');
    append_hex_bytes(line, a.code.bytes + at, std::min(bytes_per_line, count - at));
    pad_to(line, source_column);
    line += "\r\n";
    write_accounted(a, line);
  }
}

void write_repeat_line(Assembly& a, uint32_t repeat) {
  std::string& line = a.listing.line;
  line.assign(object_column, ' ');
  append_format(line, "(repeat %u)", repeat);
  line += "\r\n";
  write_accounted(a, line);
}

// The report of a filled gap; its lines end in a line feed alone.
void write_fill_report(Assembly& a) {
  const FillReport& fill = a.listing.fill;
  std::string& line = a.listing.line;
  line.clear();
  append_format(line, "%08X  ", fill.start);
  uint32_t shown = fill.count <= bytes_per_line ? fill.count : 1;
  for (uint32_t i = 0; i < shown; ++i) append_hex_bytes(line, &fill.byte, 1);
  line += '\n';
  write_accounted(a, line);
  if (fill.count > bytes_per_line) {
    line.assign(object_column, ' ');
    append_format(line, "(repeat %u)\n", fill.count);
    write_accounted(a, line);
  }
}

// $EJECT: its own line goes on the current page without being counted
// (unless the page is full), and the new page starts right after it.
void write_eject_lines(Assembly& a, std::string_view text) {
  ListingState& l = a.listing;
  if (!l.first_page_written) write_first_page(a);
  write_source_lines(a, text, l.line_count >= a.settings.page_length - 1);
  if (l.eject_requested || l.forced_break) {
    l.eject_requested = false;
    l.forced_break = false;
    account_line(a);
    l.page_empty = true;
  }
}

void write_statement(Assembly& a, std::string_view text) {
  const StatementView v = view_of(a);
  const bool align = a.run.statement_kind == statement_align;
  if (a.listing.fill.pending && !align) write_fill_report(a);
  compose_prefix(a, v, a.listing.line);
  if (a.run.statement_kind == statement_eject)
    write_eject_lines(a, text);
  else
    write_source_lines(a, text, true);
  write_byte_lines(a, v.bytes);
  if (v.repeat_line) write_repeat_line(a, v.repeat);
  if (a.listing.fill.pending && align) write_fill_report(a);
}

}  // namespace

void list_statement(Assembly& a) {
  ListingState& l = a.listing;
  if (!l.file) return;
  std::string_view text = read_listing_line(a);
  if (statement_listed(a)) write_statement(a, text);
  l.fill.pending = false;
  a.code.clear();
}

void note_listing_fill(Assembly& a, uint32_t start, uint32_t count, uint8_t byte) {
  a.listing.fill = FillReport{true, start, count, byte};
}

}  // namespace koral
