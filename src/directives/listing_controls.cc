// $TITLE, $EJECT, $LIST, $NOLIST, $SAVE and $RESTORE: the controls that
// steer the listing from inside the source.  Pass 1 only records them (and
// rejects $TITLE and $EJECT that can have no effect); they act in the final
// pass, when the listing is written.
#include "diag/diagnostics.h"
#include "directives/directives.h"
#include "driver/assembly.h"
#include "source/payload.h"
#include "source/statement_record.h"

namespace koral {

namespace {

constexpr uint32_t any_listing_option = opt_listing | opt_page_length | opt_no_symbol_table |
                                        opt_page_width | opt_cross_reference |
                                        opt_default_listing;

bool listing_options_given(const Assembly& a) { return (a.run.options & any_listing_option) != 0; }

bool has_mark(const Assembly& a) { return a.diag.error_mark || a.diag.warning_mark; }

// Payload of $TITLE: the text in the node arena (0 when rejected) and its length.
constexpr uint32_t title_text_word = 0;
constexpr uint32_t title_length_word = 1;

void take_title(Assembly& a) {
  ListingState& l = a.listing;
  ArenaRef text = payload_word(a, title_text_word);
  uint32_t length = payload_word(a, title_length_word);
  if (length > ListingState::max_title) {
    report_warning(a, 502);
    length = ListingState::max_title;
  }
  if (text && length)
    l.title.assign(a.arena.at<const char>(text), length);
  else
    l.title.clear();
  l.new_title_requested = true;
}

}  // namespace

void title_handler(Assembly& a) {
  if (a.run.pass == pass_one) {
    if (!listing_options_given(a)) {
      report_warning(a, 510);
      set_payload_word(a, title_text_word, 0);
    }
    return;
  }
  if (a.run.pass != pass_final || has_mark(a) || !listing_options_given(a) ||
      a.option(opt_no_titles))
    return;
  if (a.listing.listing_on)
    take_title(a);
  else
    report_warning(a, 510);
}

void eject_handler(Assembly& a) {
  if (a.run.pass == pass_one) {
    if (!a.option(opt_listing) || !a.option(opt_page_length)) {
      report_warning(a, 511);
      // Replayed as a statement with nothing to do.
      *a.token_file.item<uint8_t>(payload_start(a)) = nothing_to_do;
    }
    return;
  }
  if (a.run.pass != pass_final || has_mark(a)) return;
  if (a.listing.listing_on)
    a.listing.eject_requested = true;
  else
    report_warning(a, 511);
}

void list_handler(Assembly& a) {
  if (a.run.pass == pass_final) a.listing.listing_on = true;
}

void nolist_handler(Assembly& a) {
  if (a.run.pass == pass_final) a.listing.listing_on = false;
}

void save_handler(Assembly& a) {
  if (a.run.pass != pass_final) return;
  ListingState& l = a.listing;
  if (l.saved_count >= ListingState::max_saved) {
    report_warning(a, 512);
    return;
  }
  l.saved[static_cast<std::size_t>(l.saved_count++)] = l.listing_on;
}

void restore_handler(Assembly& a) {
  if (a.run.pass != pass_final) return;
  ListingState& l = a.listing;
  if (l.saved_count == 0) {
    report_warning(a, 512);
    return;
  }
  l.listing_on = l.saved[static_cast<std::size_t>(--l.saved_count)];
}

}  // namespace koral
