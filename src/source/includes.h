// The include stack and the source-file table: switching files at $INCLUDE
// and at the end of an include file in pass 1, and replaying those switches
// from the token file in passes 2 and 3.
#pragma once

#include <cstdint>
#include <string_view>

namespace koral {

struct Assembly;

// Pass 1, from the $INCLUDE statement handler: checks the nesting level
// (error 234), the device name (error 236), locates the file in the include
// directories (the bracket form skips the source directory; fatal 20 when no
// directory has it) and refuses a file already on the include stack (error
// 200).  Then the file becomes the innermost level: its line counters start
// again and the next statement is read from it.  Returns its file index, or
// -1 when the include was rejected.
int32_t push_include(Assembly& a, std::string_view name, bool bracket_form);

// Pass 1, at the end of an include file's text: saves its line count, drops
// the level and goes on reading the including file where it stopped.
void pop_include(Assembly& a);

// Passes 2 and 3, after a $INCLUDE record without the error flag has been
// processed: enters the file of `file_index` as pass 1 did.  The source is
// reopened only in the final pass with a listing, which prints its lines.
void replay_include(Assembly& a, uint32_t file_index);

// Passes 2 and 3, after each statement: leaves the include levels whose
// files have replayed as many lines as pass 1 read from them.
void leave_finished_includes(Assembly& a);

// Passes 2 and 3: one statement record of the current file was read.
void count_replayed_line(Assembly& a);

// Start of every pass: back to the start of the main source, include levels
// closed, buffer emptied.
void reset_source_input(Assembly& a);

}  // namespace koral
