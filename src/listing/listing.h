// The listing file and its page accounting.  Every writer of a listing line
// (statement lines, diagnostics, the summary, the symbol table) calls
// account_line() first, which starts new pages and writes page headers.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace koral {

struct Assembly;
struct Section;
struct Symbol;

// The last gap the object writer filled, reported by a line of its own.
struct FillReport {
  bool pending = false;
  uint32_t start = 0;  // location of the gap's first byte
  uint32_t count = 0;  // bytes filled
  uint8_t byte = 0;    // the fill byte
};

// One name of the symbol table listing: a section, a user symbol or the
// module name (both pointers null).
struct SortEntry {
  const char* name;
  uint32_t length;
  const Section* section;
  const Symbol* symbol;
};

enum class SymbolOrder : uint8_t {
  none,      // no names to list but the module name
  sorted,    // the sort table holds every listable name
  unsorted,  // the sort table could not be had (warning 550)
};

struct ListingState {
  static constexpr std::size_t max_title = 60;
  static constexpr int max_saved = 8;  // depth of the $SAVE stack

  std::FILE* file = nullptr;
  std::string path;
  int32_t page = 1;              // page number
  int32_t line_count = 0;        // lines accounted on the current page
  bool forced_break = false;     // a break is pending for the next line
  bool eject_requested = false;  // set by $EJECT
  bool new_title_requested = false;
  bool first_page_written = false;
  bool page_empty = false;       // a page was started and nothing is on it yet
  std::string title;

  // The listing switch and the $SAVE stack; only the final pass changes them.
  bool listing_on = true;
  std::array<bool, max_saved> saved{};
  int saved_count = 0;

  FillReport fill;
  std::string line;  // the listing line being composed, reused

  SymbolOrder symbol_order = SymbolOrder::none;
  std::unique_ptr<SortEntry[]> sort_table;
  std::size_t sort_count = 0;
};

// Accounts for one more listing line: page break, form feed and page header.
void account_line(Assembly& a);

// Lines left on the current page before a break.
int32_t lines_left_on_page(const Assembly& a);

// True when nothing has been written on the current page below its header.
bool listing_at_page_top(const Assembly& a);

// Writes raw bytes to the listing (fatal 23 when the file does not take them).
void listing_write(Assembly& a, const char* text, std::size_t length);
void listing_write(Assembly& a, const std::string& text);

// The block that opens the first page: notice, date, header, runtime options,
// diagnostics without source position and the column headings.
void write_first_page(Assembly& a);

// The page header line "KORAL Relocatable Assembler (32) V1.0b  [Page n]  title".
void write_page_header(Assembly& a);

// The final pass lists the statement in hand (or, with the listing switched
// off, skips its source line), after its code has been generated.
void list_statement(Assembly& a);

// The object writer filled a gap of `count` bytes from `start` with `byte`;
// the listing reports it with the statement that made the gap.
void note_listing_fill(Assembly& a, uint32_t start, uint32_t count, uint8_t byte);

}  // namespace koral
