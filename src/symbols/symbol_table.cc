#include "symbols/symbol_table.h"

#include <cstring>
#include <new>

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "symbols/hash.h"

namespace koral {

namespace {

constexpr char location_counter_name[] = "$";

// A name's first 8 characters, zero-padded, as one word.
uint64_t name_prefix(std::string_view name) {
  char padded[8] = {};
  std::memcpy(padded, name.data(), name.size() < 8 ? name.size() : 8);
  uint64_t prefix;
  std::memcpy(&prefix, padded, sizeof prefix);
  return prefix;
}

bool same_name(const char* stored, uint32_t stored_length, std::string_view name) {
  return stored_length == name.size() && std::memcmp(stored, name.data(), name.size()) == 0;
}

// The next free entry of a pool of blocks; a new block when the last is full.
template <typename Entry>
Entry* take_from_pool(Assembly& a, std::vector<std::unique_ptr<Entry[]>>& blocks, uint32_t& count,
                      std::size_t block_size) {
  std::size_t in_block = count % block_size;
  if (in_block == 0) {
    std::unique_ptr<Entry[]> block(new (std::nothrow) Entry[block_size]);
    if (!block) report_fatal(a, 160);
    blocks.push_back(std::move(block));
  }
  Entry* entry = &blocks.back()[in_block];
  ++count;
  entry->handle = count;
  return entry;
}

template <typename Entry>
Entry* from_handle(const std::vector<std::unique_ptr<Entry[]>>& blocks, uint32_t count,
                   std::size_t block_size, uint32_t handle) {
  if (handle == 0 || handle > count) return nullptr;
  uint32_t index = handle - 1;
  return &blocks[index / block_size][index % block_size];
}

}  // namespace

SymbolTable::SymbolTable() {
  std::span<const ReservedWord> words = reserved_word_table();
  for (std::size_t i = 0; i < words.size(); ++i) {
    reserved[i].word = &words[i];
    enter_reserved_word(*this, reserved[i], words[i].hash);
  }
}

void enter_reserved_word(SymbolTable& table, ReservedEntry& entry, uint32_t bucket) {
  entry.prefix = name_prefix(entry.word->name);
  entry.length = static_cast<uint32_t>(entry.word->name.size());
  entry.link = table.heads.reserved[bucket];
  table.heads.reserved[bucket] = &entry;
}

const ReservedWord* lookup_reserved(Assembly& a, std::string_view name) {
  SymbolTable& table = a.symbols;
  table.float_format = 0;
  if (name.size() > longest_reserved_word) {
    // No reserved word is this long; the walk could not find one.
    table.last_bucket = -1;
    return nullptr;
  }
  char folded[longest_reserved_word];
  for (std::size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    folded[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  std::string_view upper(folded, name.size());
  uint32_t bucket = hash_name(upper);
  // The first 8 characters and the length decide most comparisons at once.
  const uint64_t prefix = name_prefix(upper);
  const uint32_t length = static_cast<uint32_t>(name.size());
  table.last_bucket = static_cast<int32_t>(bucket);
  for (const ReservedEntry* e = table.heads.reserved[bucket]; e; e = e->link) {
    if (e->prefix != prefix || e->length != length) continue;
    if (length > 8 && std::memcmp(e->word->name.data() + 8, folded + 8, length - 8) != 0) continue;
    table.float_format = float_format_of(*e->word);
    return e->word;
  }
  return nullptr;
}

namespace {

// The first entry of a chain with the name that is not deleted: normally the
// newest entry of the name, which the index finds; when that one was deleted
// the chain is walked as recorded.
template <typename Entry>
Entry* find_in_chain(Entry* head, const NameIndex<Entry>& index, std::string_view name,
                     uint32_t full_hash) {
  Entry* newest = index.find(name, full_hash);
  if (!newest || newest->kind != kind_deleted) return newest;
  for (Entry* e = head; e; e = e->link)
    if (e->kind != kind_deleted && same_name(e->name, e->name_length, name)) return e;
  return nullptr;
}

}  // namespace

Section* lookup_section(Assembly& a, std::string_view name, uint32_t hash) {
  SymbolTable& table = a.symbols;
  table.last_bucket = SymbolTable::section_buckets + static_cast<int32_t>(hash);
  return find_in_chain(table.heads.sections[hash], table.section_index, name,
                       full_name_hash(name));
}

Symbol* lookup_symbol(Assembly& a, std::string_view name, uint32_t hash) {
  SymbolTable& table = a.symbols;
  table.last_bucket = SymbolTable::symbol_buckets + static_cast<int32_t>(hash);
  return find_in_chain(table.heads.symbols[hash], table.symbol_index, name,
                       full_name_hash(name));
}

NameLookup lookup_any(Assembly& a, std::string_view name) {
  NameLookup result;
  result.reserved = lookup_reserved(a, name);
  if (result.reserved) return result;
  uint32_t hash = hash_name(name);
  result.section = lookup_section(a, name, hash);
  if (result.section) return result;
  result.symbol = lookup_symbol(a, name, hash);
  return result;
}

const char* keep_name(Assembly& a, std::string_view name) {
  NamePool& pool = a.symbols.names;
  std::size_t need = (name.size() + 1 + 3) & ~std::size_t(3);
  if (need > pool.room) {
    std::size_t size = need > NamePool::chunk_size ? need : NamePool::chunk_size;
    std::unique_ptr<char[]> chunk(new (std::nothrow) char[size]);
    if (!chunk) report_fatal(a, 161);
    pool.free = chunk.get();
    pool.room = size;
    pool.chunks.push_back(std::move(chunk));
  }
  char* copy = pool.free;
  std::memcpy(copy, name.data(), name.size());
  copy[name.size()] = '\0';
  pool.free += need;
  pool.room -= need;
  return copy;
}

NameLookup insert_name(Assembly& a, std::string_view name, int32_t kind) {
  SymbolTable& table = a.symbols;
  uint32_t hash = hash_name(name);
  NameLookup result;
  bool as_section = table.last_bucket >= SymbolTable::section_buckets &&
                    table.last_bucket < SymbolTable::symbol_buckets;
  if (as_section) {
    Section* s = take_from_pool(a, table.section_blocks, table.section_count,
                                SymbolTable::section_block);
    s->name = keep_name(a, name);
    s->name_length = static_cast<uint32_t>(name.size());
    s->kind = kind;
    s->serial = table.section_count;
    s->link = table.heads.sections[hash];
    table.heads.sections[hash] = s;
    if (!table.section_index.put(s, full_name_hash(name))) report_fatal(a, 160);
    result.section = s;
  } else {
    Symbol* s = take_from_pool(a, table.symbol_blocks, table.symbol_count,
                               SymbolTable::symbol_block);
    s->name = keep_name(a, name);
    s->name_length = static_cast<uint32_t>(name.size());
    s->kind = name == location_counter_name ? kind_location : kind;
    s->link = table.heads.symbols[hash];
    table.heads.symbols[hash] = s;
    if (!table.symbol_index.put(s, full_name_hash(name))) report_fatal(a, 160);
    result.symbol = s;
  }
  ++table.user_defined_count;
  return result;
}

void delete_symbol(Assembly& a, Symbol& symbol) {
  if (symbol.kind == kind_deleted) return;
  symbol.kind = kind_deleted;
  --a.symbols.user_defined_count;
}

void delete_section(Assembly& a, Section& section) {
  if (section.kind == kind_deleted) return;
  section.kind = kind_deleted;
  --a.symbols.user_defined_count;
}

Symbol* symbol_from_handle(const Assembly& a, uint32_t handle) {
  const SymbolTable& t = a.symbols;
  return from_handle(t.symbol_blocks, t.symbol_count, SymbolTable::symbol_block, handle);
}

Section* section_from_handle(const Assembly& a, uint32_t handle) {
  const SymbolTable& t = a.symbols;
  return from_handle(t.section_blocks, t.section_count, SymbolTable::section_block, handle);
}

const std::vector<Symbol*>& symbols_in_chain_order(Assembly& a) {
  SymbolTable& table = a.symbols;
  if (table.chain_order_count != table.symbol_count) {
    // One walk of the chains; later visits then load the entries
    // independently of each other instead of one link after the other.
    table.chain_order.clear();
    table.chain_order.reserve(table.symbol_count);
    for (Symbol* head : table.heads.symbols)
      for (Symbol* s = head; s; s = s->link) table.chain_order.push_back(s);
    table.chain_order_count = table.symbol_count;
  }
  return table.chain_order;
}

}  // namespace koral
