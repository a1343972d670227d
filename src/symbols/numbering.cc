#include "symbols/numbering.h"

#include "driver/assembly.h"
#include "symbols/symbol_table.h"

namespace koral {

void number_symbols(Assembly& a) {
  SymbolTable& table = a.symbols;
  for_each_live_symbol(a, [&](Symbol& s) {
    switch (s.kind) {
      case kind_public_label:
      case kind_public_variable:
      case kind_public_equ:
      case kind_late_public:
        s.object_index = table.next_public_index++;
        table.has_defined_symbols = true;
        break;
      case kind_external:
        s.object_index = table.next_external_index++;
        break;
      case kind_label:
        table.has_defined_symbols = true;
        break;
      default:
        break;
    }
  });
}

void drop_undefined_publics(Assembly& a) {
  for_each_live_symbol(a, [&](Symbol& s) {
    if (s.kind == kind_public_undefined) delete_symbol(a, s);
  });
}

void drop_unreferenced_externals(Assembly& a) {
  for_each_live_symbol(a, [&](Symbol& s) {
    if (s.kind == kind_external && s.references.count == 0) {
      delete_symbol(a, s);
      ++a.symbols.unreferenced_externals;
    }
  });
}

}  // namespace koral
