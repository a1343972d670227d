// The symbol table: one store of 3000 hash-chain heads holding the reserved
// words (heads 0..999), the section descriptors (1000..1999) and the user
// symbols (2000..2999).  Entries come from block pools and keep their
// address for the whole run; nothing is freed, an entry is only marked
// deleted.  Every symbol and section also has a stable 32-bit handle, which
// is what the token file stores.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "symbols/name_index.h"
#include "symbols/reserved_words.h"
#include "symbols/section.h"
#include "symbols/symbol.h"

namespace koral {

struct Assembly;

struct ReservedEntry {
  const ReservedEntry* link = nullptr;
  const ReservedWord* word = nullptr;
  uint64_t prefix = 0;   // the name's first 8 characters, zero-padded
  uint32_t length = 0;   // the name's length
};

// The 3000 chain heads, in the three name spaces side by side.
struct BucketHeads {
  const ReservedEntry* reserved[1000];
  Section* sections[1000];
  Symbol* symbols[1000];
};

// Permanent storage of symbol and section names: 1024-byte chunks, each name
// taking its length + 1 rounded up to 4 bytes.
struct NamePool {
  static constexpr std::size_t chunk_size = 1024;
  std::vector<std::unique_ptr<char[]>> chunks;
  char* free = nullptr;
  std::size_t room = 0;
};

struct SymbolTable {
  static constexpr int32_t section_buckets = 1000;
  static constexpr int32_t symbol_buckets = 2000;
  static constexpr std::size_t symbol_block = 100;   // entries per pool block
  static constexpr std::size_t section_block = 10;   // descriptors per pool block
  static constexpr int32_t first_public_index = 34;
  static constexpr int32_t first_external_index = 12;

  BucketHeads heads{};
  ReservedEntry reserved[reserved_word_count];
  int32_t last_bucket = -1;   // the bucket the last lookup walked
  int32_t float_format = 0;   // set by every reserved-word lookup

  std::vector<std::unique_ptr<Symbol[]>> symbol_blocks;
  uint32_t symbol_count = 0;
  std::vector<std::unique_ptr<Section[]>> section_blocks;
  uint32_t section_count = 0;
  NamePool names;
  NameIndex<Section> section_index;
  NameIndex<Symbol> symbol_index;

  int32_t user_defined_count = 0;    // symbols and sections, less the deleted
  int32_t next_public_index = first_public_index;
  int32_t next_external_index = first_external_index;
  bool has_defined_symbols = false;  // a symbol of kind 1, 2, 3, 5 or 306 exists
  int32_t unreferenced_externals = 0;
  int32_t next_reference_block = 0;  // position of the next cross-reference block

  // The symbols in chain order, gathered once the table stops growing; valid
  // while it holds `chain_order_count` symbols.
  std::vector<Symbol*> chain_order;
  uint32_t chain_order_count = UINT32_MAX;

  // Clears the heads and enters the reserved words in table order.
  SymbolTable();
  SymbolTable(const SymbolTable&) = delete;
  SymbolTable& operator=(const SymbolTable&) = delete;
};

// What a name is: at most one of the three is set.
struct NameLookup {
  const ReservedWord* reserved = nullptr;
  Section* section = nullptr;
  Symbol* symbol = nullptr;
  bool found() const { return reserved || section || symbol; }
};

// Pushes a reserved word onto the front of chain `bucket` (start-up only).
void enter_reserved_word(SymbolTable& table, ReservedEntry& entry, uint32_t bucket);

// Looks the name up among the reserved words, ignoring letter case, and sets
// the current floating format from the word found (0 when none).
const ReservedWord* lookup_reserved(Assembly& a, std::string_view name);

// Case-sensitive look-ups; deleted entries are skipped.  `hash` is
// hash_name(name).
Section* lookup_section(Assembly& a, std::string_view name, uint32_t hash);
Symbol* lookup_symbol(Assembly& a, std::string_view name, uint32_t hash);

// Reserved words first, then sections, then symbols; the first hit wins.
NameLookup lookup_any(Assembly& a, std::string_view name);

// Creates an entry for a name just looked up without success: a section
// descriptor when the last lookup walked a section chain, else a symbol
// entry.  The name is copied to the name pool; the user-defined count grows.
// A symbol named "$" always gets kind 309.
NameLookup insert_name(Assembly& a, std::string_view name, int32_t kind);

// Copies a name into the permanent name pool (NUL-terminated).
const char* keep_name(Assembly& a, std::string_view name);

// Marks an entry deleted and takes it off the user-defined count.
void delete_symbol(Assembly& a, Symbol& symbol);
void delete_section(Assembly& a, Section& section);

// Stable handles: 0 is "none"; others map back to the same entry all run.
Symbol* symbol_from_handle(const Assembly& a, uint32_t handle);
Section* section_from_handle(const Assembly& a, uint32_t handle);
inline uint32_t handle_of(const Symbol* symbol) { return symbol ? symbol->handle : 0; }
inline uint32_t handle_of(const Section* section) { return section ? section->handle : 0; }

inline std::string_view name_of(const Symbol& s) { return {s.name, s.name_length}; }
inline std::string_view name_of(const Section& s) { return {s.name, s.name_length}; }

// The symbols chain by chain (bucket 0 first, each chain from its head): the
// order in which the object module numbers them and the listing meets them.
const std::vector<Symbol*>& symbols_in_chain_order(Assembly& a);

// Visits the symbols that are not deleted, in chain order.
template <typename Visit>
void for_each_live_symbol(Assembly& a, Visit visit) {
  for (Symbol* s : symbols_in_chain_order(a))
    if (s->kind != kind_deleted) visit(*s);
}

}  // namespace koral
