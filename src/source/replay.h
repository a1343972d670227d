// Passes 2 and 3: one statement record read back from the token file is
// executed again for the pass in hand.
#pragma once

#include "source/statement_record.h"

namespace koral {

struct Assembly;

void replay_statement(Assembly& a, RecordHeader& header);

}  // namespace koral
