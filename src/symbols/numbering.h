// Walks over the user symbols after the passes: object numbering and the
// removal of symbols that end up neither defined nor used.
#pragma once

namespace koral {

struct Assembly;

// After pass 1: public symbols (kinds 2, 3, 5, 306) get object indices from
// 34 up and externals (kind 307) from 12 up, in bucket order 2000..2999 and
// head to tail within a chain.  Also notes whether any symbol is defined.
void number_symbols(Assembly& a);

// After pass 2: every symbol still only declared PUBLIC is deleted.
void drop_undefined_publics(Assembly& a);

// At END in the first pass-2 iteration: every external without a recorded
// reference is deleted and counted for the listing.
void drop_unreferenced_externals(Assembly& a);

}  // namespace koral
