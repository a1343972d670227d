// The $INCLUDE statement: in pass 1 the named file becomes the source of the
// next lines; its file index is kept in the record, from which the later
// passes repeat the switch.
#include <string_view>

#include "directives/directives.h"
#include "driver/assembly.h"
#include "source/includes.h"
#include "source/payload.h"

namespace koral {

void include_handler(Assembly& a) {
  if (a.run.pass != pass_one) return;
  const StatementDescriptor& d = a.statement.d;
  a.statement.size_final = true;
  std::string_view name(a.arena.at<char>(d.text), static_cast<std::size_t>(d.text_length));
  int32_t index = push_include(a, name, d.first_value == 1);
  put_word(a, index < 0 ? 0u : static_cast<uint32_t>(index));
}

}  // namespace koral
