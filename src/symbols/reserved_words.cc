#include "symbols/reserved_words.h"

#include "source/tokens.h"
#include "symbols/hash.h"

namespace koral {

namespace {

constexpr ReservedWord word(std::string_view name, int32_t token_class, int32_t value) {
  return ReservedWord{name, token_class == MNEMONIC ? 0xFFFFFFFFu : 0u, token_class, value,
                      static_cast<uint16_t>(hash_name(name))};
}

constexpr ReservedWord table[] = {
    word("$INCLUDE", CTL_INCLUDE, 0),
    word("INCLUDE", RESERVED_CONTROL, 0),
    word("SMALL", MODEL, 8),
    word("MEDIUM", MODEL, 16),
    word("LARGE", MODEL, 24),
    word("STARTOF", STARTOF, 0),
    word("SIZEOF", SIZEOF, 0),
    word("CODE_ADDR", CODE_ADDR, 0),
    word("MODULE", MODULE, 0),
    word("SECTION", SECTION, 0),
    word("END", END, 0),
    word("PUBLIC", PUBLIC, 0),
    word("EXTERN", EXTERN, 0),
    word("ORG", ORG, 0),
    word("ALIGN", ALIGN, 0),
    word("ABS", ABS, 280),
    word("FIMS", FLOAT_FUNCTION, 0),
    word("FIMDH", FLOAT_FUNCTION, 1),
    word("FIMDL", FLOAT_FUNCTION, 2),
    word("FIMXH", FLOAT_FUNCTION, 3),
    word("FIMXM", FLOAT_FUNCTION, 4),
    word("FIMXL", FLOAT_FUNCTION, 5),
    word("FILE", DEBUG_DIRECTIVE, 311),
    word("LINE", DEBUG_DIRECTIVE, 312),
    word("SYMBOL_A", DEBUG_DIRECTIVE, 313),
    word("SYMBOL_B", DEBUG_DIRECTIVE, 314),
    word("SYMBOL_N", DEBUG_DIRECTIVE, 315),
    word("SYMBOL_T", DEBUG_TYPE, 316),
    word("DB", DB, 0),
    word("DW", DATA_DIRECTIVE, 318),
    word("DP", DATA_DIRECTIVE, 319),
    word("DL", DATA_DIRECTIVE, 320),
    word("DD", DATA_DIRECTIVE, 320),
    word("DSB", SPACE_DIRECTIVE, 328),
    word("DSW", SPACE_DIRECTIVE, 329),
    word("DSP", SPACE_DIRECTIVE, 330),
    word("DSL", SPACE_DIRECTIVE, 331),
    word("DSD", SPACE_DIRECTIVE, 331),
    word("DFB", FILL_BYTE_DIRECTIVE, 322),
    word("DFW", FILL_DIRECTIVE, 324),
    word("DFP", FILL_DIRECTIVE, 325),
    word("DFL", FILL_DIRECTIVE, 326),
    word("DFD", FILL_DIRECTIVE, 326),
    word("EQU", EQU, 0),
    word("FDATAS", FDATAS, 289),
    word("FDATAD", FDATAD, 290),
    word("FDATAX", FDATAX, 291),
    word("$TITLE", CTL_TITLE, 0),
    word("$TT", CTL_TITLE, 0),
    word("$EJECT", CTL_EJECT, 0),
    word("$EJ", CTL_EJECT, 0),
    word("$LIST", CTL_LIST, 0),
    word("$LI", CTL_LIST, 0),
    word("$NOLIST", CTL_NOLIST, 0),
    word("$NOLI", CTL_NOLIST, 0),
    word("$SAVE", CTL_SAVE, 0),
    word("$SA", CTL_SAVE, 0),
    word("$RESTORE", CTL_RESTORE, 0),
    word("$RS", CTL_RESTORE, 0),
    word("TITLE", RESERVED_CONTROL, 0),
    word("TT", RESERVED_CONTROL, 0),
    word("EJECT", RESERVED_CONTROL, 0),
    word("EJ", RESERVED_CONTROL, 0),
    word("LIST", RESERVED_CONTROL, 0),
    word("LI", RESERVED_CONTROL, 0),
    word("NOLIST", RESERVED_CONTROL, 0),
    word("NOLI", RESERVED_CONTROL, 0),
    word("SAVE", RESERVED_CONTROL, 0),
    word("SA", RESERVED_CONTROL, 0),
    word("RESTORE", RESERVED_CONTROL, 0),
    word("RS", RESERVED_CONTROL, 0),
    // Condition codes.
    word("T", CONDITION, 0),
    word("F", CONDITION, 1),
    word("EQ", CONDITION, 2),
    word("Z", CONDITION, 3),
    word("NE", CONDITION, 4),
    word("NZ", CONDITION, 5),
    word("CS", CONDITION, 6),
    word("LT", CONDITION, 7),
    word("CC", CONDITION, 8),
    word("GE", CONDITION, 9),
    word("LE", CONDITION, 10),
    word("GT", CONDITION, 11),
    word("M", CONDITION, 12),
    word("P", CONDITION, 13),
    word("VS", CONDITION, 14),
    word("VC", CONDITION, 15),
    word("SLT", CONDITION, 16),
    word("SGE", CONDITION, 17),
    word("SLE", CONDITION, 18),
    word("SGT", CONDITION, 19),
    // Registers.
    word("W", REGISTER, 72),
    word("A", REGISTER, 73),
    word("B", REGISTER, 74),
    word("C", REGISTER, 75),
    word("D", REGISTER, 76),
    word("E", REGISTER, 77),
    word("H", REGISTER, 78),
    word("L", REGISTER, 79),
    word("WA", REGISTER, 184),
    word("BC", REGISTER, 185),
    word("DE", REGISTER, 186),
    word("HL", REGISTER, 187),
    word("IX", REGISTER, 188),
    word("IY", REGISTER, 189),
    word("IZ", REGISTER, 190),
    word("SP", REGISTER, 191),
    word("RBS", REGISTER, 267),
    word("CF", REGISTER, 266),
    word("PSW", REGISTER, 265),
    word("PC", REGISTER, 270),
    // Mnemonics.
    word("NOP", MNEMONIC, 1000),
    word("RETI", MNEMONIC, 1001),
    word("RET", MNEMONIC, 1002),
    word("SWI", MNEMONIC, 1003),
    word("RETN", MNEMONIC, 1004),
    word("DI", MNEMONIC, 1005),
    word("EI", MNEMONIC, 1006),
    word("SWAP", MNEMONIC, 1007),
    word("DAA", MNEMONIC, 1008),
    word("DAS", MNEMONIC, 1009),
    word("SHLC", MNEMONIC, 1010),
    word("SHRC", MNEMONIC, 1011),
    word("ROLC", MNEMONIC, 1012),
    word("RORC", MNEMONIC, 1013),
    word("MUL", MNEMONIC, 1014),
    word("DIV", MNEMONIC, 1015),
    word("POP", MNEMONIC, 1016),
    word("PUSH", MNEMONIC, 1017),
    word("CLR", MNEMONIC, mnemonic_clr),
    word("SET", MNEMONIC, mnemonic_set),
    word("CPL", MNEMONIC, mnemonic_cpl),
    word("TEST", MNEMONIC, mnemonic_test),
    word("LD", MNEMONIC, mnemonic_ld),
    word("INC", MNEMONIC, 1023),
    word("DEC", MNEMONIC, 1024),
    word("LDW", MNEMONIC, 1025),
    word("ADDC", MNEMONIC, 1026),
    word("SUBB", MNEMONIC, 1027),
    word("ADD", MNEMONIC, 1028),
    word("SUB", MNEMONIC, 1029),
    word("AND", MNEMONIC, mnemonic_and),
    word("OR", MNEMONIC, mnemonic_or),
    word("XOR", MNEMONIC, mnemonic_xor),
    word("CMP", MNEMONIC, 1033),
    word("JRS", MNEMONIC, 1034),
    word("JR", MNEMONIC, 1035),
    word("CALLV", MNEMONIC, 1036),
    word("CALL", MNEMONIC, 1038),
    word("JP", MNEMONIC, 1039),
    word("ROLD", MNEMONIC, 1040),
    word("RORD", MNEMONIC, 1041),
    word("XCH", MNEMONIC, 1042),
    word("SHLCA", MNEMONIC, 1044),
    word("SHRCA", MNEMONIC, 1045),
    word("NEG", MNEMONIC, 1046),
    word("J", MNEMONIC, 1047),
    word("CAL", MNEMONIC, 1048),
    word("SLEEP", MNEMONIC, 1049),
};

static_assert(std::size(table) == reserved_word_count);

constexpr bool names_fit() {
  for (const ReservedWord& w : table)
    if (w.name.size() > longest_reserved_word) return false;
  return true;
}
static_assert(names_fit());

}  // namespace

std::span<const ReservedWord> reserved_word_table() { return table; }

int32_t float_format_of(const ReservedWord& w) {
  switch (w.token_class) {
    case FDATAS: return 32;
    case FDATAD: return 64;
    case FDATAX: return 80;
    case FLOAT_FUNCTION: return w.value == 0 ? 32 : w.value <= 2 ? 64 : 80;
    default: return 0;
  }
}

bool takes_bit_suffix(const ReservedWord& w) {
  if (w.token_class != MNEMONIC) return false;
  switch (w.value) {
    case mnemonic_clr: case mnemonic_set: case mnemonic_cpl: case mnemonic_test:
    case mnemonic_ld: case mnemonic_and: case mnemonic_or: case mnemonic_xor:
      return true;
    default:
      return false;
  }
}

}  // namespace koral
