// The listing file and its page accounting.  Every writer of a listing line
// (statement lines, diagnostics, the summary, the symbol table) calls
// account_line() first, which starts new pages and writes page headers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace koral {

struct Assembly;

struct ListingState {
  static constexpr std::size_t max_title = 60;

  std::FILE* file = nullptr;
  std::string path;
  int32_t page = 1;              // page number
  int32_t line_count = 0;        // lines accounted on the current page
  bool forced_break = false;     // a break is pending for the next line
  bool eject_requested = false;  // set by $EJECT
  bool new_title_requested = false;
  bool statement_is_eject = false;  // the statement in hand is $EJECT
  bool first_page_written = false;
  std::string title;
};

// Accounts for one more listing line: page break, form feed and page header.
void account_line(Assembly& a);

// Lines left on the current page before a break.
int32_t lines_left_on_page(const Assembly& a);

// True when nothing but the page header has been written on the current page.
bool listing_at_page_top(const Assembly& a);

// Writes raw bytes to the listing (fatal 23 when the file does not take them).
void listing_write(Assembly& a, const char* text, std::size_t length);
void listing_write(Assembly& a, const std::string& text);

// The block that opens the first page: notice, date, header, runtime options,
// diagnostics without source position and the column headings.
void write_first_page(Assembly& a);

// The final pass lists the statement in hand (or, with the listing switched
// off, skips its source line), after its code has been generated.
void list_statement(Assembly& a);

// The page header line "KORAL Relocatable Assembler (32) V1.0b  [Page n]  title".
void write_page_header(Assembly& a);

}  // namespace koral
