#include "source/payload.h"

#include "driver/assembly.h"
#include "source/token_file.h"

namespace koral {

namespace {

uint32_t body_end(Assembly& a) {
  TokenFileState& t = a.token_file;
  if (a.run.pass == pass_one) return t.body_end - t.record;
  return record_header_size + t.header()->body_length;
}

uint32_t* word_at(Assembly& a, uint32_t offset) { return a.token_file.item<uint32_t>(offset); }

}  // namespace

uint32_t payload_start(Assembly& a) {
  bool label_slot = a.run.pass == pass_one
                        ? a.statement.label_slot
                        : (a.token_file.header()->flags & (record_has_label | record_label_diagnostic)) != 0;
  return record_header_size + (label_slot ? sizeof(LabelRecord) : 0);
}

uint32_t put_word(Assembly& a, uint32_t word) {
  uint32_t at = alloc_body(a, sizeof word);
  *word_at(a, at) = word;
  return at;
}

uint32_t payload_word(Assembly& a, uint32_t index) {
  return *word_at(a, payload_start(a) + 4 + 4 * index);
}

void set_payload_word(Assembly& a, uint32_t index, uint32_t word) {
  *word_at(a, payload_start(a) + 4 + 4 * index) = word;
}

uint32_t payload_last_word(Assembly& a, uint32_t k) { return *word_at(a, body_end(a) - 4 * k); }

uint32_t payload_first_item(Assembly& a) {
  uint32_t first = payload_start(a) + 4;
  return first < body_end(a) ? first : 0;
}

}  // namespace koral
