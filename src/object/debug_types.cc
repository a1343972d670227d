#include "object/debug_types.h"

#include <string_view>

#include "driver/assembly.h"

namespace koral {

namespace {

constexpr int32_t predefined_low_end = 16;    // 0..16 map through the table
constexpr int32_t pointer_first = 17;         // 17..28: pointer (P) to number - 16
constexpr int32_t pointer_last = 28;
constexpr int32_t identity_first = 29;        // 29..32 keep their number
constexpr int32_t identity_last = 32;
constexpr int32_t other_pointer_first = 33;   // 33..44: pointer (O) to number - 32
constexpr int32_t other_pointer_last = 44;

constexpr uint32_t predefined_index[predefined_low_end + 1] = {0,  1,  19, 3,  23, 22, 16, 18, 20,
                                                               7,  10, 11, 12, 13, 14, 15, 16};

// TY letter bytes.
constexpr uint8_t letter_other_pointer = 0x4F;  // O
constexpr uint8_t letter_pointer = 0x50;        // P
constexpr uint8_t letter_generic = 0x67;        // g
constexpr uint8_t letter_qualified = 0x6E;      // n
constexpr uint8_t letter_array = 0x5A;          // Z
constexpr uint8_t letter_typedef = 0x54;        // T
constexpr uint8_t letter_structure = 0x53;      // S
constexpr uint8_t letter_union = 0x55;          // U
constexpr uint8_t letter_enumeration = 0x4E;    // N
constexpr uint8_t letter_procedure = 0x78;      // x

constexpr int32_t type_node_name = 294;
constexpr int32_t type_node_string = 296;
constexpr int32_t type_node_number = 299;

uint32_t new_index(Assembly& a) { return a.debug.types.next_index++; }

TypeField number_field(uint32_t value) { return TypeField{false, value, {}}; }
TypeField name_field(std::string_view name) { return TypeField{true, 0, name}; }

TypeGroup& add_group(Assembly& a, std::string_view name, uint32_t index, uint8_t letter) {
  std::vector<TypeGroup>& groups = a.debug.types.groups;
  groups.push_back(TypeGroup{name, index, letter, {}});
  return groups.back();
}

// The operands after the type name.
struct Operands {
  const DebugTypeNode* first;
  std::size_t count;

  bool number_at(std::size_t i) const { return i < count && first[i].kind == type_node_number; }
  bool string_at(std::size_t i) const { return i < count && first[i].kind == type_node_string; }
  int32_t value(std::size_t i) const { return first[i].value; }
  std::string_view text(std::size_t i) const { return first[i].text; }
  bool all_numbers_from(std::size_t i) const {
    for (; i < count; ++i)
      if (first[i].kind != type_node_number) return false;
    return true;
  }
};

// Groups chained from the innermost level outwards: the first refers to
// `base`, each later one to the previous group; all but the last take new
// indices, the last defines `own`.  `extra` gives a group's second number.
template <typename Extra>
void chain_groups(Assembly& a, uint8_t letter, uint32_t base, uint32_t own, std::size_t levels,
                  Extra extra) {
  uint32_t previous = base;
  for (std::size_t level = 0; level < levels; ++level) {
    const uint32_t index = level + 1 == levels ? own : new_index(a);
    TypeGroup& group = add_group(a, {}, index, letter);
    group.fields.push_back(number_field(previous));
    extra(group, level);
    previous = index;
  }
}

bool pointer_type(Assembly& a, uint8_t letter, uint32_t own, const Operands& ops) {
  if (!ops.number_at(0) || ops.count > 2 || (ops.count == 2 && !ops.number_at(1))) return false;
  const int32_t levels = ops.count == 2 ? ops.value(1) : 1;
  if (levels < 1) return false;
  const uint32_t base = map_type(a, ops.value(0));
  chain_groups(a, letter, base, own, static_cast<std::size_t>(levels), [](TypeGroup&, std::size_t) {});
  return true;
}

bool array_type(Assembly& a, uint32_t own, const Operands& ops) {
  if (ops.count < 2 || !ops.all_numbers_from(0)) return false;
  for (std::size_t i = 1; i < ops.count; ++i)
    if (ops.value(i) < 1) return false;
  const uint32_t element = map_type(a, ops.value(0));
  chain_groups(a, letter_array, element, own, ops.count - 1, [&](TypeGroup& group, std::size_t level) {
    group.fields.push_back(number_field(static_cast<uint32_t>(ops.value(level + 1) - 1)));
  });
  return true;
}

bool members_type(Assembly& a, uint8_t letter, std::string_view name, uint32_t own, const Operands& ops) {
  if (!ops.number_at(0) || (ops.count - 1) % 3 != 0) return false;
  for (std::size_t i = 1; i < ops.count; i += 3)
    if (!ops.string_at(i) || !ops.number_at(i + 1) || !ops.number_at(i + 2)) return false;
  TypeGroup group{name, own, letter, {number_field(static_cast<uint32_t>(ops.value(0)))}};
  for (std::size_t i = 1; i < ops.count; i += 3) {
    group.fields.push_back(name_field(ops.text(i)));
    group.fields.push_back(number_field(map_type(a, ops.value(i + 1))));
    group.fields.push_back(number_field(static_cast<uint32_t>(ops.value(i + 2))));
  }
  a.debug.types.groups.push_back(std::move(group));
  return true;
}

bool enumeration_type(Assembly& a, std::string_view name, uint32_t own, const Operands& ops) {
  if (!ops.number_at(0) || !ops.number_at(1) || (ops.count - 2) % 2 != 0) return false;
  if (ops.value(0) != 1 && ops.value(0) != 2) return false;
  for (std::size_t i = 2; i < ops.count; i += 2)
    if (!ops.string_at(i) || !ops.number_at(i + 1)) return false;
  TypeGroup& group = add_group(a, name, own, letter_enumeration);
  group.fields.push_back(number_field(static_cast<uint32_t>(ops.value(0))));
  group.fields.push_back(number_field(static_cast<uint32_t>(ops.value(1))));
  for (std::size_t i = 2; i < ops.count; i += 2) {
    group.fields.push_back(name_field(ops.text(i)));
    group.fields.push_back(number_field(static_cast<uint32_t>(ops.value(i + 1))));
  }
  return true;
}

// One number operand written after a selector number.
bool selector_type(Assembly& a, uint8_t letter, uint32_t selector, bool maps, uint32_t own,
                   const Operands& ops) {
  if (ops.count != 1 || !ops.number_at(0)) return false;
  const uint32_t second = maps ? map_type(a, ops.value(0)) : static_cast<uint32_t>(ops.value(0));
  TypeGroup& group = add_group(a, {}, own, letter);
  group.fields.push_back(number_field(selector));
  group.fields.push_back(number_field(second));
  return true;
}

bool procedure_type(Assembly& a, int32_t flags, std::string_view name, uint32_t own, const Operands& ops) {
  if (!ops.all_numbers_from(0)) return false;
  TypeGroup& group = add_group(a, name, own, letter_procedure);
  group.fields.push_back(number_field(static_cast<uint32_t>(flags)));
  for (std::size_t i = 0; i < ops.count; ++i) group.fields.push_back(number_field(static_cast<uint32_t>(ops.value(i))));
  return true;
}

}  // namespace

uint32_t map_type(Assembly& a, int32_t number) {
  if (number >= 0 && number <= predefined_low_end) return predefined_index[number];
  if (number >= identity_first && number <= identity_last) return static_cast<uint32_t>(number);
  DebugTypes& types = a.debug.types;
  auto found = types.mapped.find(number);
  if (found != types.mapped.end()) return found->second;
  const bool pointer = number >= pointer_first && number <= pointer_last;
  const bool other_pointer = number >= other_pointer_first && number <= other_pointer_last;
  const uint32_t index = new_index(a);
  types.mapped.emplace(number, index);
  if (pointer || other_pointer) {
    const int32_t target = pointer ? number - 16 : number - 32;
    TypeGroup& group = add_group(a, {}, index, pointer ? letter_pointer : letter_other_pointer);
    group.fields.push_back(number_field(map_type(a, target)));
  }
  return index;
}

int32_t procedure_flags(std::string_view word) {
  if (word.size() < 2 || word[0] != 'x') return -1;
  std::size_t at = 1;
  int32_t flags;
  switch (word[at]) {
    case 'a': flags = 256; ++at; break;
    case 'c': flags = 0; ++at; break;
    case 'e': case 'i': case 'n': flags = 128; ++at; break;
    case 'r': flags = 512; ++at; break;
    default:
      if (word[at] < '0' || word[at] > '9') return -1;
      while (at < word.size() && word[at] >= '0' && word[at] <= '9') ++at;
      flags = 128;
      break;
  }
  bool f_seen = false, n_seen = false;
  for (; at < word.size(); ++at) {
    if (word[at] == 'f' && !f_seen) {
      flags += 4;
      f_seen = true;
    } else if (word[at] == 'n' && !n_seen) {
      flags += 2;
      n_seen = true;
    } else {
      return -1;
    }
  }
  return flags;
}

bool define_type(Assembly& a, int32_t number, const std::vector<DebugTypeNode>& list) {
  if (list.size() < 2 || list[0].kind != type_node_name || list[1].kind != type_node_string) return false;
  const std::string_view letter = list[0].text;
  const std::string_view name = list[1].text;
  const Operands ops{list.data() + 2, list.size() - 2};
  const uint32_t own = map_type(a, number);
  if (letter == "O" || letter == "P")
    return pointer_type(a, letter == "O" ? letter_other_pointer : letter_pointer, own, ops);
  if (letter == "gs" || letter == "gu")
    return selector_type(a, letter_generic, letter == "gs" ? 1 : 0, false, own, ops);
  if (letter == "nc" || letter == "nv")
    return selector_type(a, letter_qualified, letter == "nc" ? 1 : 2, true, own, ops);
  if (letter == "Z") return array_type(a, own, ops);
  if (letter == "T") {
    if (ops.count != 1 || !ops.number_at(0)) return false;
    const uint32_t named = map_type(a, ops.value(0));
    add_group(a, name, own, letter_typedef).fields.push_back(number_field(named));
    return true;
  }
  if (letter == "S" || letter == "U")
    return members_type(a, letter == "S" ? letter_structure : letter_union, name, own, ops);
  if (letter == "N") return enumeration_type(a, name, own, ops);
  const int32_t flags = procedure_flags(letter);
  if (flags >= 0) return procedure_type(a, flags, name, own, ops);
  return false;
}

}  // namespace koral
