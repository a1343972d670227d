#include "listing/listing.h"

#include <cstring>
#include <ctime>

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "driver/banner.h"
#include "source/statement_kinds.h"

namespace koral {

namespace {

constexpr int runtime_indent = 17;  // width of "Runtime option : "
constexpr int max_title_room = 203;

bool eject_statement(const Assembly& a) { return a.run.statement_kind == statement_eject; }

}  // namespace

void listing_write(Assembly& a, const char* text, std::size_t length) {
  if (!a.listing.file) return;
  if (std::fwrite(text, 1, length, a.listing.file) != length)
    report_fatal(a, 23, a.settings.listing_name);
}

void listing_write(Assembly& a, const std::string& text) { listing_write(a, text.data(), text.size()); }

int32_t lines_left_on_page(const Assembly& a) {
  return a.settings.page_length - 1 - a.listing.line_count;
}

bool listing_at_page_top(const Assembly& a) {
  return a.listing.line_count == 0 || a.listing.page_empty;
}

void write_page_header(Assembly& a) {
  char head[96];
  int length = std::snprintf(head, sizeof head, "%s V%s  [Page %5d]  ", product_name,
                             product_version, a.listing.page);
  std::string line(head, static_cast<std::size_t>(length));
  std::string_view title(a.listing.title);
  if (a.option(opt_page_width)) {
    int room = a.settings.page_width - length;
    if (room < 0) room = 0;
    if (room > max_title_room) room = max_title_room;
    if (title.size() > static_cast<std::size_t>(room)) title = title.substr(0, room);
  }
  line.append(title);
  line += "\r\n";
  listing_write(a, line);
}

void write_first_page(Assembly& a) {
  ListingState& l = a.listing;
  l.first_page_written = true;
  char date[64];
  std::strftime(date, sizeof date, "%a %b %e %H:%M:%S %Y", &a.run.time_stamp);
  listing_write(a, std::string(notice_line) + "\r\n" + date + "\r\n");
  write_page_header(a);
  std::string options = "Runtime option : ";
  const std::string& command = a.run.command_line;
  if (a.option(opt_page_width)) {
    std::size_t piece = static_cast<std::size_t>(a.settings.page_width - runtime_indent);
    for (std::size_t at = 0; at < command.size(); at += piece) {
      if (at) options += "\r\n" + std::string(runtime_indent, ' ');
      options.append(command, at, piece);
    }
  } else {
    options += command;
  }
  listing_write(a, options + "\r\n");
  l.line_count += 3;
  // The diagnostics stay on the first page even when the statement that
  // opens the listing asks for a new one: the request waits for its line.
  bool title_request = l.new_title_requested;
  int32_t kind = a.run.statement_kind;
  l.new_title_requested = false;
  a.run.statement_kind = 0;
  print_command_line_diagnostics(a);
  l.new_title_requested = title_request;
  a.run.statement_kind = kind;
  // The empty line and the headings are counted here, not accounted: a page
  // break between them would put the headings on a page of their own.
  listing_write(a, "\r\n");
  l.line_count += 1;
  char headings[96];
  std::snprintf(headings, sizeof headings, "%-10s%-27s", "Location", "Object");
  listing_write(a, std::string(headings) + "      Ins        Line Source Statement\r\n\r\n");
  l.line_count += 3;
}

void account_line(Assembly& a) {
  ListingState& l = a.listing;
  if (!l.file) return;
  if (!l.first_page_written) write_first_page(a);
  l.page_empty = false;
  if (l.line_count >= a.settings.page_length - 1 || l.forced_break || eject_statement(a)) {
    l.line_count = 0;
    l.forced_break = false;
    ++l.page;
  }
  if (l.new_title_requested && !a.option(opt_no_titles)) {
    ++l.page;
    l.line_count = 0;
  }
  if (l.eject_requested) {
    l.forced_break = true;
    l.eject_requested = false;
  }
  ++l.line_count;
  if (l.line_count == 1) {
    listing_write(a, "\f", 1);
    l.new_title_requested = false;
    write_page_header(a);
    listing_write(a, "\r\n", 2);
    if (!eject_statement(a)) ++l.line_count;
  }
}

}  // namespace koral
