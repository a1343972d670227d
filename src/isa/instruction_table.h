// The KORAL instruction set as data: one row per encoding (form) of every
// mnemonic, the mnemonic table with its family numbers, the register and
// condition codes, and the prefix bytes of the memory addressing modes.
#pragma once

#include <array>
#include <cstdint>

namespace koral {

// Mnemonic values (their reserved-word values).
enum Mnemonic : int32_t {
  mn_nop = 1000, mn_reti = 1001, mn_ret = 1002, mn_swi = 1003, mn_retn = 1004, mn_di = 1005,
  mn_ei = 1006, mn_swap = 1007, mn_daa = 1008, mn_das = 1009, mn_shlc = 1010, mn_shrc = 1011,
  mn_rolc = 1012, mn_rorc = 1013, mn_mul = 1014, mn_div = 1015, mn_pop = 1016, mn_push = 1017,
  mn_clr = 1018, mn_set = 1019, mn_cpl = 1020, mn_test = 1021, mn_ld = 1022, mn_inc = 1023,
  mn_dec = 1024, mn_ldw = 1025, mn_addc = 1026, mn_subb = 1027, mn_add = 1028, mn_sub = 1029,
  mn_and = 1030, mn_or = 1031, mn_xor = 1032, mn_cmp = 1033, mn_jrs = 1034, mn_jr = 1035,
  mn_callv = 1036, mn_call = 1038, mn_jp = 1039, mn_rold = 1040, mn_rord = 1041, mn_xch = 1042,
  mn_shlca = 1044, mn_shrca = 1045, mn_neg = 1046, mn_j = 1047, mn_cal = 1048, mn_sleep = 1049,
};
constexpr int32_t first_mnemonic = 1000;
constexpr int32_t last_mnemonic = 1049;

// Register values (reserved-word values of the register names).
enum RegisterName : int32_t {
  reg_w = 72, reg_a = 73, reg_b = 74, reg_c = 75, reg_d = 76, reg_e = 77, reg_h = 78, reg_l = 79,
  reg_wa = 184, reg_bc = 185, reg_de = 186, reg_hl = 187, reg_ix = 188, reg_iy = 189,
  reg_iz = 190, reg_sp = 191,
  reg_psw = 265, reg_cf = 266, reg_rbs = 267, reg_pc = 270,
};

// Condition values (reserved-word values of the condition names).  The
// short group runs from T to GT, the extended group from M to SGT.
enum ConditionName : int32_t {
  cond_t = 0, cond_f = 1, cond_eq = 2, cond_z = 3, cond_ne = 4, cond_nz = 5, cond_cs = 6,
  cond_lt = 7, cond_cc = 8, cond_ge = 9, cond_le = 10, cond_gt = 11, cond_m = 12, cond_p = 13,
  cond_vs = 14, cond_vc = 15, cond_slt = 16, cond_sge = 17, cond_sle = 18, cond_sgt = 19,
};

constexpr bool is_register8(int32_t reg) { return reg >= reg_w && reg <= reg_l; }
constexpr bool is_register16(int32_t reg) { return reg >= reg_wa && reg <= reg_sp; }
constexpr bool is_index_register(int32_t reg) { return reg >= reg_ix && reg <= reg_sp; }
constexpr bool is_condition(int32_t cond) { return cond >= cond_t && cond <= cond_sgt; }
constexpr bool is_short_condition(int32_t cond) { return cond >= cond_t && cond <= cond_gt; }

// Codes added into opcode bytes.
constexpr int32_t register8_code(int32_t reg) {
  constexpr int32_t codes[] = {1, 0, 3, 2, 5, 4, 7, 6};  // W A B C D E H L
  return codes[reg - reg_w];
}
constexpr int32_t register16_code(int32_t reg) {
  constexpr int32_t codes[] = {0, 1, 2, 3, 4, 5, 7, 6};  // WA BC DE HL IX IY IZ SP
  return codes[reg - reg_wa];
}
constexpr int32_t condition_code(int32_t cond) {
  // T F EQ Z NE NZ CS LT CC GE LE GT | M P VS VC SLT SGE SLE SGT
  constexpr int32_t codes[] = {6, 7, 0, 0, 1, 1, 2, 2, 3, 3, 4, 5, 0, 1, 6, 7, 2, 3, 4, 5};
  return codes[cond];
}

// Memory addressing modes: the source code is even, the destination code is
// the source code plus one ([SP-] is 13 and [+SP] 12 either way, [PC+A] 24).
enum AddressingMode : int32_t {
  mode_short_direct = 0, mode_direct16 = 2, mode_de = 4, mode_hl = 6, mode_ix = 8,
  mode_iy = 10, mode_pop = 12, mode_push = 13, mode_hl_c = 14, mode_ix_d = 16, mode_iy_d = 18,
  mode_sp_d = 20, mode_hl_d = 22, mode_pc_a = 24, mode_iz_c = 26, mode_iz_d = 28,
  mode_direct24 = 30,
};
constexpr int32_t mode_count = 32;

// The prefix byte of each mode code, merged into a zero opcode byte.
inline constexpr std::array<uint8_t, mode_count> memory_prefix = {
    0xE0, 0xF0, 0xE1, 0xF1, 0xE2, 0xF2, 0xE3, 0xF3, 0xE4, 0xF4, 0xE5, 0xF5, 0xE6, 0xF6, 0xE7, 0xF7,
    0xD4, 0x54, 0xD5, 0x55, 0xD6, 0x56, 0xD7, 0x57, 0x6F, 0x00, 0x6B, 0x69, 0x6A, 0x68, 0x6D, 0x6C,
};

// Bytes that follow the prefix of a mode: an address or a displacement.
constexpr int32_t mode_operand_bytes(int32_t mode) {
  switch (mode & ~1) {
    case mode_short_direct: return 1;
    case mode_direct16: return 2;
    case mode_direct24: return 3;
    case mode_ix_d: case mode_iy_d: case mode_sp_d: case mode_hl_d: case mode_iz_d: return 1;
    default: return 0;
  }
}
constexpr bool is_direct_mode(int32_t mode) {
  int32_t m = mode & ~1;
  return m == mode_short_direct || m == mode_direct16 || m == mode_direct24;
}

// One encoding of a mnemonic.  A zero first opcode byte in a memory form
// receives the prefix of the operand's addressing mode.
struct Form {
  uint8_t opcode1;
  uint8_t opcode2;        // emitted only by two-byte forms
  int32_t encoder;        // 0..19: order of opcode bytes and operand fields
  int32_t opcode_bytes;   // 1 or 2
};

struct MnemonicEntry {
  const Form* forms = nullptr;  // none for the values that name no mnemonic
  int32_t form_count = 0;
  int32_t family = -1;          // selects the classification rule
};

namespace forms {

constexpr Form f(uint8_t op1, uint8_t op2, int32_t encoder, int32_t bytes) {
  return Form{op1, op2, encoder, bytes};
}

inline constexpr Form nop[] = {f(0x00, 0x00, 0, 1)};
inline constexpr Form reti[] = {f(0xFB, 0x00, 0, 1)};
inline constexpr Form ret[] = {f(0xFA, 0x00, 0, 1)};
inline constexpr Form swi[] = {f(0xFF, 0x00, 0, 1)};
inline constexpr Form retn[] = {f(0xE8, 0xFB, 0, 2)};
inline constexpr Form di[] = {f(0xC8, 0x3A, 0, 2)};
inline constexpr Form ei[] = {f(0xC0, 0x3A, 0, 2)};
inline constexpr Form sleep[] = {f(0x01, 0x00, 0, 1)};
inline constexpr Form swap[] = {f(0xE8, 0xFF, 1, 2)};
inline constexpr Form daa[] = {f(0xE8, 0xDA, 1, 2)};
inline constexpr Form das[] = {f(0xE8, 0xDB, 1, 2)};
inline constexpr Form rolc[] = {f(0xE8, 0xF6, 1, 2)};
inline constexpr Form rorc[] = {f(0xE8, 0xF7, 1, 2)};
inline constexpr Form shlc[] = {f(0xE8, 0xF4, 7, 2)};
inline constexpr Form shrc[] = {f(0xE8, 0xF5, 7, 2)};
inline constexpr Form shlca[] = {f(0xE8, 0xF0, 7, 2)};
inline constexpr Form shrca[] = {f(0xE8, 0xF1, 7, 2)};
inline constexpr Form mul[] = {f(0xE8, 0xF2, 0, 2), f(0xE9, 0xF2, 0, 2), f(0xEA, 0xF2, 0, 2),
                               f(0xEB, 0xF2, 0, 2)};
inline constexpr Form div[] = {f(0xE8, 0xF3, 1, 2)};
inline constexpr Form pop[] = {f(0xD0, 0x00, 1, 1), f(0xE8, 0xD9, 1, 2), f(0xE8, 0xDD, 0, 2)};
inline constexpr Form push[] = {f(0x50, 0x00, 1, 1), f(0xE8, 0xD8, 1, 2), f(0xE8, 0xDC, 0, 2)};
inline constexpr Form clr[] = {f(0x04, 0x00, 0, 1), f(0xC8, 0x00, 3, 1), f(0xE8, 0xC8, 4, 2),
                               f(0x00, 0xC8, 6, 2), f(0x00, 0xFA, 1, 2)};
inline constexpr Form set[] = {f(0x05, 0x00, 0, 1), f(0xC0, 0x00, 3, 1), f(0xE8, 0xC0, 4, 2),
                               f(0x00, 0xC0, 6, 2), f(0x00, 0xF2, 1, 2)};
inline constexpr Form cpl[] = {f(0x06, 0x00, 0, 1), f(0xE8, 0xE0, 4, 2), f(0x00, 0xE0, 6, 2),
                               f(0x00, 0xFB, 1, 2)};
inline constexpr Form test[] = {f(0x58, 0x00, 3, 1), f(0xE8, 0x58, 4, 2), f(0x00, 0x58, 6, 2),
                                f(0x00, 0xFC, 1, 2)};
inline constexpr Form ld[] = {
    f(0x0A, 0x00, 7, 1),   // 0  [x],n
    f(0x0B, 0x00, 7, 1),   // 1  [HL],n
    f(0x0C, 0x00, 7, 1),   // 2  A,[x]
    f(0x0D, 0x00, 0, 1),   // 3  A,[HL]
    f(0x0E, 0x00, 8, 1),   // 4  [x],A
    f(0x0F, 0x00, 0, 1),   // 5  [HL],A
    f(0x10, 0x00, 15, 1),  // 6  A,r
    f(0x18, 0x00, 7, 1),   // 7  r,n
    f(0x02, 0x00, 19, 1),  // 8  SP,SP+d  d >= 0
    f(0x03, 0x00, 19, 1),  // 9  SP,SP+d  d < 0
    f(0x40, 0x00, 7, 1),   // 10 r,A
    f(0x48, 0x00, 7, 1),   // 11 rr,mnx
    f(0x58, 0x00, 10, 1),  // 12 CF,[x].b
    f(0xE8, 0x40, 8, 2),   // 13 r,r'
    f(0xE8, 0x48, 8, 2),   // 14 rr,rr'
    f(0xE8, 0x58, 14, 2),  // 15 CF,r.b
    f(0xE8, 0xDE, 7, 2),   // 16 PSW,n
    f(0xE8, 0xE8, 13, 2),  // 17 r.b,CF
    f(0x00, 0x40, 8, 2),   // 18 r,[src]
    f(0x00, 0x48, 8, 2),   // 19 rr,[src]
    f(0x00, 0x58, 14, 2),  // 20 CF,[src].b
    f(0x00, 0x68, 7, 2),   // 21 [dst],rr
    f(0x00, 0x78, 7, 2),   // 22 [dst],r
    f(0x00, 0xE8, 13, 2),  // 23 [src].b,CF
    f(0x00, 0xF9, 7, 2),   // 24 [dst],n
    f(0x00, 0xFC, 8, 2),   // 25 CF,[src].A
    f(0x00, 0xF3, 7, 2),   // 26 [src].A,CF
    f(0x02, 0x00, 18, 1),  // 27 SP,SP+d with a relocatable d: both bytes come from the linker
    f(0xF9, 0x00, 0, 2),   // 28 RBS,0
    f(0xF9, 0x02, 0, 2),   // 29 RBS,1
};
inline constexpr Form inc[] = {f(0x20, 0x00, 1, 1), f(0x30, 0x00, 1, 1), f(0x00, 0xF0, 6, 2)};
inline constexpr Form dec[] = {f(0x28, 0x00, 1, 1), f(0x38, 0x00, 1, 1), f(0x00, 0xF8, 6, 2)};
inline constexpr Form ldw[] = {f(0x08, 0x00, 7, 1), f(0x09, 0x00, 7, 1)};

// The eight arithmetic and logic mnemonics share one layout; `op` is the
// operation number merged into the opcodes.
constexpr std::array<Form, 10> alu(uint8_t op) {
  return {f(0x60 + op, 0x00, 7, 1),  // 0 A,n
          f(0xE8, op, 8, 2),         // 1 r,r'
          f(0xE8, 0x60 + op, 7, 2),  // 2 r,n
          f(0xE8, 0x68 + op, 7, 2),  // 3 rr,mnx
          f(0xE8, 0x80 + op, 8, 2),  // 4 rr,rr'
          f(0x00, op, 8, 2),         // 5 r,[src]
          f(0x00, 0x60 + op, 7, 2),  // 6 [src],n
          f(0x00, 0x80 + op, 8, 2),  // 7 rr,[src]
          f(0xE8, 0x50, 14, 2),      // 8 XOR CF,r.b
          f(0x00, 0x50, 14, 2)};     // 9 XOR CF,[src].b
}
constexpr std::array<Form, 9> cmp_forms() {
  std::array<Form, 10> a = alu(7);
  return {a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], f(0x07, 0x00, 7, 1)};  // 8 [x],n
}
inline constexpr std::array<Form, 10> addc = alu(0);
inline constexpr std::array<Form, 10> add = alu(1);
inline constexpr std::array<Form, 10> subb = alu(2);
inline constexpr std::array<Form, 10> sub = alu(3);
inline constexpr std::array<Form, 10> and_ = alu(4);
inline constexpr std::array<Form, 10> xor_ = alu(5);
inline constexpr std::array<Form, 10> or_ = alu(6);
inline constexpr std::array<Form, 9> cmp = cmp_forms();

inline constexpr Form jrs[] = {f(0x80, 0x00, 9, 1), f(0xA0, 0x00, 9, 1)};
inline constexpr Form jr[] = {f(0xD8, 0x00, 9, 1), f(0xE8, 0xD0, 17, 2), f(0xFC, 0x00, 2, 1)};
inline constexpr Form callv[] = {f(0x70, 0x00, 1, 1)};
inline constexpr Form call[] = {f(0xFD, 0x00, 1, 1), f(0xE8, 0xFD, 1, 2), f(0x00, 0xFD, 6, 2)};
inline constexpr Form jp[] = {f(0xFE, 0x00, 1, 1), f(0xE8, 0xFE, 1, 2), f(0x00, 0xFE, 6, 2)};
inline constexpr Form rold[] = {f(0x00, 0xF6, 8, 2)};
inline constexpr Form rord[] = {f(0x00, 0xF7, 8, 2)};
inline constexpr Form xch[] = {f(0xE8, 0x70, 8, 2), f(0xE8, 0x78, 8, 2), f(0x00, 0x70, 8, 2),
                               f(0x00, 0xD8, 8, 2)};
inline constexpr Form neg[] = {f(0xE8, 0xFA, 8, 2)};
// The generic jump: its form is chosen by the jump optimisation.
inline constexpr Form j[] = {
    f(0x80, 0x00, 9, 1),   // 0 JRS T
    f(0xA0, 0x00, 9, 1),   // 1 JRS F
    f(0xD8, 0x00, 9, 1),   // 2 JR cc, short group
    f(0xFC, 0x00, 2, 1),   // 3 JR without condition
    f(0xE8, 0xD0, 17, 2),  // 4 JR cc, extended group
    f(0x83, 0xFE, 15, 2),  // 5 never-jump far form
    f(0xA3, 0xFE, 15, 2),  // 6 always-jump far form
    f(0xD8, 0xFE, 16, 2),  // 7 far form, short group
    f(0xE8, 0xD0, 17, 2),  // 8 far form, extended group
    f(0xFE, 0x00, 9, 1),   // 9 JP without condition
};

template <typename T>
constexpr MnemonicEntry entry(const T& list, int32_t family) {
  return MnemonicEntry{std::data(list), static_cast<int32_t>(std::size(list)), family};
}

}  // namespace forms

// Family numbers of the classification rules.
enum Family : int32_t {
  family_no_operand = 0, family_one_register = 1, family_mul = 2, family_div = 3, family_stack = 4,
  family_bit = 5, family_ld = 6, family_inc_dec = 7, family_ldw = 8, family_alu = 9,
  family_relative_jump = 11, family_callv = 12, family_call_jump = 13, family_rotate_digit = 14,
  family_xch = 15, family_shift = 17, family_neg = 19, family_generic = 20,
};

// Indexed by mnemonic value − 1000.
inline constexpr std::array<MnemonicEntry, last_mnemonic - first_mnemonic + 1> mnemonic_table = {
    forms::entry(forms::nop, family_no_operand),          // 1000 NOP
    forms::entry(forms::reti, family_no_operand),         // 1001 RETI
    forms::entry(forms::ret, family_no_operand),          // 1002 RET
    forms::entry(forms::swi, family_no_operand),          // 1003 SWI
    forms::entry(forms::retn, family_no_operand),         // 1004 RETN
    forms::entry(forms::di, family_no_operand),           // 1005 DI
    forms::entry(forms::ei, family_no_operand),           // 1006 EI
    forms::entry(forms::swap, family_one_register), // 1007 SWAP
    forms::entry(forms::daa, family_one_register),  // 1008 DAA
    forms::entry(forms::das, family_one_register),  // 1009 DAS
    forms::entry(forms::shlc, family_shift),        // 1010 SHLC
    forms::entry(forms::shrc, family_shift),        // 1011 SHRC
    forms::entry(forms::rolc, family_one_register), // 1012 ROLC
    forms::entry(forms::rorc, family_one_register), // 1013 RORC
    forms::entry(forms::mul, family_mul),           // 1014 MUL
    forms::entry(forms::div, family_div),           // 1015 DIV
    forms::entry(forms::pop, family_stack),         // 1016 POP
    forms::entry(forms::push, family_stack),        // 1017 PUSH
    forms::entry(forms::clr, family_bit),           // 1018 CLR
    forms::entry(forms::set, family_bit),           // 1019 SET
    forms::entry(forms::cpl, family_bit),           // 1020 CPL
    forms::entry(forms::test, family_bit),          // 1021 TEST
    forms::entry(forms::ld, family_ld),             // 1022 LD
    forms::entry(forms::inc, family_inc_dec),       // 1023 INC
    forms::entry(forms::dec, family_inc_dec),       // 1024 DEC
    forms::entry(forms::ldw, family_ldw),           // 1025 LDW
    MnemonicEntry{forms::addc.data(), 8, family_alu},  // 1026 ADDC
    MnemonicEntry{forms::subb.data(), 8, family_alu},  // 1027 SUBB
    MnemonicEntry{forms::add.data(), 8, family_alu},   // 1028 ADD
    MnemonicEntry{forms::sub.data(), 8, family_alu},   // 1029 SUB
    MnemonicEntry{forms::and_.data(), 8, family_alu},  // 1030 AND
    MnemonicEntry{forms::or_.data(), 8, family_alu},   // 1031 OR
    MnemonicEntry{forms::xor_.data(), 10, family_alu}, // 1032 XOR
    MnemonicEntry{forms::cmp.data(), 9, family_alu},   // 1033 CMP
    forms::entry(forms::jrs, family_relative_jump), // 1034 JRS
    forms::entry(forms::jr, family_relative_jump),  // 1035 JR
    forms::entry(forms::callv, family_callv),       // 1036 CALLV
    MnemonicEntry{},                                // 1037
    forms::entry(forms::call, family_call_jump),    // 1038 CALL
    forms::entry(forms::jp, family_call_jump),      // 1039 JP
    forms::entry(forms::rold, family_rotate_digit), // 1040 ROLD
    forms::entry(forms::rord, family_rotate_digit), // 1041 RORD
    forms::entry(forms::xch, family_xch),           // 1042 XCH
    MnemonicEntry{},                                // 1043
    forms::entry(forms::shlca, family_shift),       // 1044 SHLCA
    forms::entry(forms::shrca, family_shift),       // 1045 SHRCA
    forms::entry(forms::neg, family_neg),           // 1046 NEG
    forms::entry(forms::j, family_generic),         // 1047 J
    forms::entry(forms::call, family_generic),      // 1048 CAL
    forms::entry(forms::sleep, family_no_operand),        // 1049 SLEEP
};

// The entry of a mnemonic value, or nullptr for a value that names none.
constexpr const MnemonicEntry* find_mnemonic(int32_t mnemonic) {
  if (mnemonic < first_mnemonic || mnemonic > last_mnemonic) return nullptr;
  const MnemonicEntry& e = mnemonic_table[mnemonic - first_mnemonic];
  return e.forms ? &e : nullptr;
}

// The form of a mnemonic, or nullptr when the index is out of its list.
constexpr const Form* find_form(int32_t mnemonic, int32_t form) {
  const MnemonicEntry* e = find_mnemonic(mnemonic);
  if (!e || form < 0 || form >= e->form_count) return nullptr;
  return &e->forms[form];
}

// Start of the CALLV vector table at a model level.
constexpr int32_t callv_vector_table(int32_t model_level) {
  return model_level == 0 ? 0xFFC0 : model_level == 1 ? 0xFFA0 : 0x1FFA0;
}

// The ALU operation number of ADDC..CMP.
constexpr int32_t alu_operation(int32_t mnemonic) {
  constexpr int32_t ops[] = {0, 2, 1, 3, 4, 6, 5, 7};  // ADDC SUBB ADD SUB AND OR XOR CMP
  return ops[mnemonic - mn_addc];
}

}  // namespace koral
