#include "isa/relative.h"

#include "driver/assembly.h"
#include "symbols/section.h"

namespace koral {

int32_t relative_adjustment(int32_t mnemonic, int32_t form) {
  if (mnemonic == mn_jr && form == 1) return 3;
  if (mnemonic == mn_j && (form == 4 || form == 8)) return 3;
  return 2;
}

bool relative_field_relocated(const Assembly& a, const OperandRecord& target) {
  uint32_t kind = target.value_kind;
  if (kind == V_INVALID) return false;  // an error was reported: the displacement is unused
  bool absolute_section = a.run.section && (a.run.section->kind & section_absolute);
  if (absolute_section) return kind == V_EXPR;
  return kind != V_HERE && kind != V_LOCAL;
}

void prepare_relative_fields(Assembly& a, Instruction& ins) {
  int32_t location = a.run.section ? static_cast<int32_t>(a.run.section->location) : 0;
  int32_t adjustment = relative_adjustment(ins.mnemonic(), ins.form());
  for (int i = 0; i < ins.count; ++i) {
    OperandRecord& op = *ins.operand[i];
    if (op.field_type != field_relative5 && op.field_type != field_relative8) continue;
    if (relative_field_relocated(a, op)) continue;
    op.value = static_cast<int32_t>(static_cast<uint32_t>(op.value) - static_cast<uint32_t>(location) -
                                    static_cast<uint32_t>(adjustment));
  }
}

}  // namespace koral
