// The line-record file ("temporary file(bb5)"): 20-byte records of source
// files entered and left and of code lines with their locations.  Pass 1
// appends them (from the FILE and LINE statements, or automatically for
// every statement that generates code), pass 2 corrects their locations, and
// the head phase reads them back to write the BB5 block.
#pragma once

#include <cstdint>
#include <string_view>

#include "object/debug_info.h"

namespace koral {

struct Assembly;

// The five words of a record, least significant byte first.
void encode_line_record(const LineRecord& record, uint8_t bytes[line_record_size]);
LineRecord decode_line_record(const uint8_t bytes[line_record_size]);

// The row of `name` in the debug file table (names compare byte for byte);
// `added` tells whether it was entered now.  The 2002nd distinct name is
// fatal 163.
uint32_t debug_file_row(Assembly& a, std::string_view name, bool& added);

// Appends one record; the file is created with the first.
void append_line_record(Assembly& a, const LineRecord& record);

// The record of a line at the current location: kind 4 outside any section,
// else the section's index and the location less `code_length` (and less the
// base of an absolute section).
LineRecord line_at_location(Assembly& a, int32_t line, int32_t column, uint32_t code_length);

// Pass 1, FILE: a record entering a new name or returning to a known one.
void file_directive_record(Assembly& a, std::string_view name);
// Pass 1, LINE: a line record for the current location, once a FILE wrote
// a record.  It is appended when the statement's record has been written
// (note_statement_lines), so that pass 2 finds it from that statement.
void line_directive_record(Assembly& a, int32_t line, int32_t column);

// Pass 1, after the record of a statement was written (`recorded`), or at the
// end of the source: a LINE statement's record is appended; without debug directives of its own the source gets a
// file record for every include file entered or left and a line record for
// every instruction and data statement.
void note_statement_lines(Assembly& a, bool recorded);

// Pass 2, after the statement in hand advanced the location counter by
// `size`: the line record it wrote in pass 1, if any, takes the final
// location (and line) and is rewritten when they changed.
void correct_statement_lines(Assembly& a, uint32_t size);

// The head phase: from the first record, one at a time; false after the last.
void rewind_line_records(Assembly& a);
bool read_line_record(Assembly& a, LineRecord& record);

}  // namespace koral
