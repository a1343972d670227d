// The symbol table: hashing, the reserved words, look-ups and insertion,
// chain order, pools and handles, numbering and the dropping walks.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "driver/assembly.h"
#include "source/tokens.h"
#include "symbols/hash.h"
#include "symbols/numbering.h"
#include "symbols/symbol_table.h"

namespace koral {
namespace {

struct HashCase {
  std::string name;
  uint32_t hash;
};

class HashName : public ::testing::TestWithParam<HashCase> {};

TEST_P(HashName, FoldsFourTimesAndAddsSignedBytes) {
  EXPECT_EQ(hash_name(GetParam().name), GetParam().hash) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, HashName,
    ::testing::Values(HashCase{"NOP", 644}, HashCase{"A", 65}, HashCase{"$INCLUDE", 421},
                      HashCase{"", 0}, HashCase{"ab", 486},   // 97*4 + 98
                      HashCase{"0AF", 98},                    // 48*16 + 65*4 + 70 = 1098
                      HashCase{"\xFF", 295},                  // -1 wraps to 4294967295
                      HashCase{"\x80" "A", 849},              // -128*4 + 65 = -447 -> 4294966849
                      HashCase{"zzzzzzzzzzzzzzzzz", 490}));   // wraps past 2^32

TEST(ReservedWords, EveryWordIsFoundInLowerCase) {
  Assembly a;
  for (const ReservedWord& w : reserved_word_table()) {
    std::string lower(w.name);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(lookup_reserved(a, lower), &w) << w.name;
  }
}

struct WordCase {
  const char* written;
  int32_t token_class;
  int32_t value;
};

class ReservedLookup : public ::testing::TestWithParam<WordCase> {};

TEST_P(ReservedLookup, FindsTheWordInAnyLetterCase) {
  Assembly a;
  const ReservedWord* w = lookup_reserved(a, GetParam().written);
  if (GetParam().token_class == 0) {
    EXPECT_EQ(w, nullptr) << GetParam().written;
    return;
  }
  ASSERT_NE(w, nullptr) << GetParam().written;
  EXPECT_EQ(w->token_class, GetParam().token_class) << GetParam().written;
  EXPECT_EQ(w->value, GetParam().value) << GetParam().written;
}

INSTANTIATE_TEST_SUITE_P(
    Words, ReservedLookup,
    ::testing::Values(WordCase{"nop", MNEMONIC, 1000}, WordCase{"Nop", MNEMONIC, 1000},
                      WordCase{"NOP", MNEMONIC, 1000}, WordCase{"a", REGISTER, 73},
                      WordCase{"t", CONDITION, 0}, WordCase{"z", CONDITION, 3},
                      WordCase{"sp", REGISTER, 191}, WordCase{"Pc", REGISTER, 270},
                      WordCase{"sgt", CONDITION, 19}, WordCase{"CallV", MNEMONIC, 1036},
                      WordCase{"sleep", MNEMONIC, 1049}, WordCase{"$include", CTL_INCLUDE, 0},
                      WordCase{"$Rs", CTL_RESTORE, 0}, WordCase{"dd", DATA_DIRECTIVE, 320},
                      WordCase{"DSD", SPACE_DIRECTIVE, 331}, WordCase{"dfp", FILL_DIRECTIVE, 325},
                      WordCase{"code_addr", CODE_ADDR, 0}, WordCase{"large", MODEL, 24},
                      WordCase{"symbol_t", DEBUG_TYPE, 316}, WordCase{"FIMXL", FLOAT_FUNCTION, 5},
                      WordCase{"abs", ABS, 280}, WordCase{"rbs", REGISTER, 267},
                      WordCase{"psw", REGISTER, 265}, WordCase{"cf", REGISTER, 266},
                      // Other names are not reserved.
                      WordCase{"NOPE", 0, 0}, WordCase{"CODE", 0, 0}, WordCase{"AF", 0, 0},
                      WordCase{"LOOP", 0, 0}, WordCase{"$", 0, 0}, WordCase{"CODE_ADDRESS", 0, 0},
                      WordCase{"n\xF6p", 0, 0}, WordCase{"", 0, 0}));

struct FormatCase {
  const char* word;
  int32_t format;
};

class FloatFormatOfWords : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FloatFormatOfWords, EveryReservedLookupSetsTheFormat) {
  Assembly a;
  lookup_reserved(a, "FDATAX");
  lookup_reserved(a, GetParam().word);
  EXPECT_EQ(a.symbols.float_format, GetParam().format) << GetParam().word;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FloatFormatOfWords,
    ::testing::Values(FormatCase{"fims", 32}, FormatCase{"FDATAS", 32}, FormatCase{"FIMDH", 64},
                      FormatCase{"fimdl", 64}, FormatCase{"FDATAD", 64}, FormatCase{"FIMXH", 80},
                      FormatCase{"FIMXM", 80}, FormatCase{"FIMXL", 80}, FormatCase{"fdatax", 80},
                      FormatCase{"NOP", 0}, FormatCase{"unknown", 0},
                      FormatCase{"a_name_longer_than_any_word", 0}));

// Inserts a symbol after looking it up, as every caller does.
Symbol* new_symbol(Assembly& a, std::string_view name, int32_t kind) {
  EXPECT_FALSE(lookup_any(a, name).found()) << name;
  return insert_name(a, name, kind).symbol;
}

Section* new_section(Assembly& a, std::string_view name, int32_t kind) {
  EXPECT_EQ(lookup_section(a, name, hash_name(name)), nullptr) << name;
  return insert_name(a, name, kind).section;
}

TEST(SymbolTable, InsertedSymbolsStartAsDescribed) {
  Assembly a;
  Symbol* s = new_symbol(a, "Loop", kind_forward);
  ASSERT_NE(s, nullptr);
  EXPECT_STREQ(s->name, "Loop");
  EXPECT_EQ(s->kind, kind_forward);
  EXPECT_EQ(s->value, 0);
  EXPECT_EQ(s->section, nullptr);
  EXPECT_EQ(s->file_index, -1);
  EXPECT_EQ(s->references.count, 0);
  EXPECT_EQ(s->attributes, 0u);
  EXPECT_EQ(a.symbols.user_defined_count, 1);
  EXPECT_EQ(lookup_any(a, "Loop").symbol, s);
}

TEST(SymbolTable, SymbolsAreCaseSensitive) {
  Assembly a;
  Symbol* mixed = new_symbol(a, "Loop", kind_label);
  Symbol* upper = new_symbol(a, "LOOP", kind_label);
  EXPECT_NE(mixed, upper);
  EXPECT_EQ(lookup_any(a, "LOOP").symbol, upper);
  EXPECT_FALSE(lookup_any(a, "loop").found());
}

TEST(SymbolTable, ReservedWordsCannotBeRedefinedInAnyCase) {
  Assembly a;
  for (const char* name : {"t", "Z", "sp", "pC", "nop"}) EXPECT_NE(lookup_any(a, name).reserved, nullptr);
}

TEST(SymbolTable, ASectionNameHidesASymbolOfTheSameName) {
  Assembly a;
  Symbol* symbol = new_symbol(a, "DATA1", kind_forward);
  Section* section = new_section(a, "DATA1", 0);
  ASSERT_NE(section, nullptr);
  NameLookup found = lookup_any(a, "DATA1");
  EXPECT_EQ(found.section, section);
  EXPECT_EQ(found.symbol, nullptr);
  EXPECT_EQ(lookup_symbol(a, "DATA1", hash_name("DATA1")), symbol);
  EXPECT_EQ(a.symbols.user_defined_count, 2);
}

TEST(SymbolTable, TheInsertFollowsTheKindOfTheLastLookup) {
  Assembly a;
  // After a reserved-word lookup that failed, the insert makes a symbol,
  // chained by the name as written.
  EXPECT_EQ(lookup_reserved(a, "Vec"), nullptr);
  NameLookup made = insert_name(a, "Vec", kind_forward);
  ASSERT_NE(made.symbol, nullptr);
  EXPECT_EQ(made.section, nullptr);
  EXPECT_EQ(lookup_symbol(a, "Vec", hash_name("Vec")), made.symbol);
  // After a failed section lookup it makes a descriptor.
  lookup_section(a, "Vec", hash_name("Vec"));
  made = insert_name(a, "Vec", section_code);
  ASSERT_NE(made.section, nullptr);
  EXPECT_EQ(made.section->kind, section_code);
}

TEST(SymbolTable, DollarIsAlwaysTheLocationCounter) {
  Assembly a;
  EXPECT_EQ(new_symbol(a, "$", kind_forward)->kind, kind_location);
  EXPECT_EQ(new_symbol(a, "$$", kind_forward)->kind, kind_forward);
}

TEST(SymbolTable, DeletedEntriesAreSkipped) {
  Assembly a;
  Symbol* old = new_symbol(a, "X", kind_equ);
  delete_symbol(a, *old);
  EXPECT_EQ(a.symbols.user_defined_count, 0);
  Symbol* fresh = new_symbol(a, "X", kind_equ);
  EXPECT_NE(fresh, old);
  EXPECT_EQ(lookup_any(a, "X").symbol, fresh);
  Section* gone = new_section(a, "S", 0);
  delete_section(a, *gone);
  EXPECT_FALSE(lookup_any(a, "S").found());
  EXPECT_EQ(a.symbols.user_defined_count, 1);
}

TEST(SymbolTable, AnOlderEntryOfADeletedNameIsStillFound) {
  Assembly a;
  // Two entries of one name exist only when an insert skips its look-up.
  Symbol* older = new_symbol(a, "twice", kind_label);
  Symbol* newer = insert_name(a, "twice", kind_equ).symbol;
  EXPECT_EQ(lookup_any(a, "twice").symbol, newer);
  newer->kind = kind_deleted;
  EXPECT_EQ(lookup_any(a, "twice").symbol, older);
  older->kind = kind_deleted;
  EXPECT_FALSE(lookup_any(a, "twice").found());
}

TEST(SymbolTable, ManySymbolsInFewChainsAreAllFound) {
  Assembly a;
  std::vector<Symbol*> made;
  for (int i = 0; i < 20000; ++i) made.push_back(new_symbol(a, "n" + std::to_string(i), kind_label));
  for (int i = 0; i < 20000; i += 7) EXPECT_EQ(lookup_any(a, "n" + std::to_string(i)).symbol, made[i]);
  EXPECT_FALSE(lookup_any(a, "n20000").found());
}

TEST(SymbolTable, ChainOrderIsBucketByBucketNewestFirstAndFollowsLaterInserts) {
  Assembly a;
  // "k" hashes to 107; "PHL" and "QDL" both to 644 (1296 + 272 + 76 = 1644).
  Symbol* phl = new_symbol(a, "PHL", kind_label);
  Symbol* first = new_symbol(a, "k", kind_label);
  EXPECT_EQ(symbols_in_chain_order(a), (std::vector<Symbol*>{first, phl}));
  Symbol* qdl = new_symbol(a, "QDL", kind_label);  // after a walk: the list is gathered again
  EXPECT_EQ(symbols_in_chain_order(a), (std::vector<Symbol*>{first, qdl, phl}));
  delete_symbol(a, *qdl);
  std::vector<Symbol*> live;
  for_each_live_symbol(a, [&](Symbol& s) { live.push_back(&s); });
  EXPECT_EQ(live, (std::vector<Symbol*>{first, phl}));
}

TEST(SymbolTable, ANameCollidingWithAReservedWordIsAUserSymbol) {
  Assembly a;
  // 16*'P' + 4*'H' + 'L' = 1280 + 288 + 76 = 1644, like NOP's 644.
  const char* name = "PHL";
  ASSERT_EQ(hash_name(name), hash_name("NOP"));
  Symbol* s = new_symbol(a, name, kind_label);
  EXPECT_EQ(lookup_any(a, name).symbol, s);
  EXPECT_NE(lookup_any(a, "nop").reserved, nullptr);
}

TEST(SymbolTable, EntriesKeepTheirAddressesAndHandles) {
  Assembly a;
  std::vector<Symbol*> symbols;
  for (int i = 0; i < 250; ++i) symbols.push_back(new_symbol(a, "s" + std::to_string(i), kind_label));
  std::vector<Section*> sections;
  for (int i = 0; i < 25; ++i) sections.push_back(new_section(a, "S" + std::to_string(i), 0));
  for (int i = 0; i < 250; ++i) {
    Symbol* s = symbols[static_cast<std::size_t>(i)];
    EXPECT_EQ(lookup_any(a, "s" + std::to_string(i)).symbol, s);
    EXPECT_EQ(symbol_from_handle(a, handle_of(s)), s);
  }
  for (int i = 0; i < 25; ++i) {
    Section* s = sections[static_cast<std::size_t>(i)];
    EXPECT_EQ(s->serial, static_cast<uint32_t>(i + 1));
    EXPECT_EQ(section_from_handle(a, handle_of(s)), s);
  }
  EXPECT_EQ(handle_of(static_cast<Symbol*>(nullptr)), 0u);
  EXPECT_EQ(symbol_from_handle(a, 0), nullptr);
  EXPECT_EQ(symbol_from_handle(a, 251), nullptr);
  EXPECT_EQ(section_from_handle(a, 26), nullptr);
}

TEST(SymbolTable, NamesArePooledInChunks) {
  Assembly a;
  const char* first = keep_name(a, "abc");      // 4 bytes
  const char* second = keep_name(a, "abcd");    // 5, rounded to 8
  const char* third = keep_name(a, "x");
  EXPECT_EQ(second - first, 4);
  EXPECT_EQ(third - second, 8);
  EXPECT_EQ(a.symbols.names.chunks.size(), 1u);
  std::string long_name(2000, 'n');
  const char* big = keep_name(a, long_name);
  EXPECT_EQ(a.symbols.names.chunks.size(), 2u);
  EXPECT_EQ(std::string(big), long_name);
  // The rest of the big chunk is too small for another name: a new chunk.
  keep_name(a, "y");
  EXPECT_EQ(a.symbols.names.chunks.size(), 3u);
  EXPECT_STREQ(first, "abc");
}

TEST(Numbering, PublicsFromThirtyFourExternalsFromTwelveInBucketOrder) {
  Assembly a;
  // Buckets: "29F" and "0AF" 98 (0AF in front), "ab" 486, "ac" 487, "ba" 489,
  // "ca" 493, "x" 120, "y" 121, "Z1" 90*4 + 49 = 409.
  Symbol* b = new_symbol(a, "29F", kind_public_label);
  Symbol* af = new_symbol(a, "0AF", kind_public_variable);
  Symbol* ab = new_symbol(a, "ab", kind_external);
  Symbol* ac = new_symbol(a, "ac", kind_public_equ);
  Symbol* ba = new_symbol(a, "ba", kind_late_public);
  Symbol* ca = new_symbol(a, "ca", kind_external);
  Symbol* x = new_symbol(a, "x", kind_forward);
  Symbol* y = new_symbol(a, "y", kind_public_undefined);
  Symbol* z1 = new_symbol(a, "Z1", kind_equ);
  number_symbols(a);
  EXPECT_EQ(af->object_index, 34);
  EXPECT_EQ(b->object_index, 35);
  EXPECT_EQ(ac->object_index, 36);
  EXPECT_EQ(ba->object_index, 37);
  EXPECT_EQ(ab->object_index, 12);
  EXPECT_EQ(ca->object_index, 13);
  EXPECT_EQ(x->object_index, 0);
  EXPECT_EQ(y->object_index, 0);
  EXPECT_EQ(z1->object_index, 0);
  EXPECT_EQ(a.symbols.next_public_index, 38);
  EXPECT_EQ(a.symbols.next_external_index, 14);
  EXPECT_TRUE(a.symbols.has_defined_symbols);
}

TEST(Numbering, OnlyDefinedKindsCountAsDefinedSymbols) {
  Assembly a;
  new_symbol(a, "ext1", kind_external);
  new_symbol(a, "equ1", kind_equ);
  new_symbol(a, "fwd1", kind_forward);
  number_symbols(a);
  EXPECT_FALSE(a.symbols.has_defined_symbols);
  new_symbol(a, "label1", kind_label);
  number_symbols(a);
  EXPECT_TRUE(a.symbols.has_defined_symbols);
}

TEST(Numbering, UndefinedPublicsAreDropped) {
  Assembly a;
  Symbol* declared = new_symbol(a, "Pub", kind_public_undefined);
  Symbol* defined = new_symbol(a, "Def", kind_public_label);
  drop_undefined_publics(a);
  EXPECT_EQ(declared->kind, kind_deleted);
  EXPECT_EQ(defined->kind, kind_public_label);
  EXPECT_EQ(a.symbols.user_defined_count, 1);
  EXPECT_FALSE(lookup_any(a, "Pub").found());
}

}  // namespace
}  // namespace koral
