// The source reader: delivers the text of the current source or include file
// line by line from a block buffer cut at line boundaries, and keeps the line
// counters of the file table.
#pragma once

#include <string_view>

namespace koral {

struct Assembly;

// Starts the next line of pass 1: makes sure a whole line is in the buffer,
// leaving include files whose text has ended, records the line start and
// counts the line.  False at the end of the main source.
bool begin_source_line(Assembly& a);

// The next line of the current file, its line end included, without
// counting it: the final pass reads the source this way for the listing,
// the include switches being replayed from the token file.  Empty at the end
// of the file.
std::string_view read_listing_line(Assembly& a);

// Character access within the current line.  next_char drops a carriage
// return (the character after it is returned) and gives 301 at the end of
// the text; unread_char steps back over the last character read (fatal 152
// when there is nothing before the read position); skip_to_end_of_line
// moves to the line feed, consumes it and returns it.
int next_char(Assembly& a);
void unread_char(Assembly& a);
int skip_to_end_of_line(Assembly& a);

// Ends the text of the current file where it is read (a Ctrl-Z or a byte
// 0xFF): the next line comes from the including file, or the input ends.
void end_file_text(Assembly& a);

// Refills the buffer of the current file once the read position reached the
// end of its valid text; false when the file has no more text.
bool fill_source_buffer(Assembly& a);

}  // namespace koral
