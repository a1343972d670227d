// Handlers of directive and control statements.  Each runs in every pass and
// branches on the pass number: in pass 1 it reads the statement descriptor
// and writes its payload into the record; later it reads the payload back.
#pragma once

namespace koral {

struct Assembly;

// Sections and location counters.
void section_handler(Assembly& a);
void org_handler(Assembly& a);
void align_handler(Assembly& a);
void module_handler(Assembly& a);
void end_handler(Assembly& a);

// $INCLUDE.
void include_handler(Assembly& a);

// Debug directives.
void file_handler(Assembly& a);
void line_handler(Assembly& a);
void symbol_a_handler(Assembly& a);
void symbol_b_handler(Assembly& a);
void symbol_n_handler(Assembly& a);
void symbol_t_handler(Assembly& a);

// Listing controls.
void title_handler(Assembly& a);    // $TITLE
void eject_handler(Assembly& a);    // $EJECT
void list_handler(Assembly& a);     // $LIST
void nolist_handler(Assembly& a);   // $NOLIST
void save_handler(Assembly& a);     // $SAVE
void restore_handler(Assembly& a);  // $RESTORE

// Data, fill and storage directives.
void db_handler(Assembly& a);
void data_words_handler(Assembly& a);  // DW, DP, DL (DD)
void fill_handler(Assembly& a);        // DFB, DFW, DFP, DFL (DFD)
void storage_handler(Assembly& a);     // DSB, DSW, DSP, DSL (DSD)
void float_data_handler(Assembly& a);  // FDATAS, FDATAD, FDATAX

// Symbol directives.
void equ_handler(Assembly& a);
void public_handler(Assembly& a);
void extern_handler(Assembly& a);

}  // namespace koral
