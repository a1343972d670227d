// The symbol table listing at the end of the listing: one line per section,
// per listable user symbol and for the module name, sorted by name, with the
// listing lines of every reference and of the definition in the
// cross-reference form, and the totals.
#pragma once

namespace koral {

struct Assembly;

// After the last statement of the final pass: collects the listable names
// and sorts them byte-wise; when the table cannot be had, warning 550 and the
// listing will be unsorted.
void build_sort_table(Assembly& a);

// After the object module is finished: appends the symbol table (or the
// cross reference) to the listing.
void list_symbol_table(Assembly& a);

}  // namespace koral
