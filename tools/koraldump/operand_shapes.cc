#include "operand_shapes.h"

#include "isa/instruction_table.h"

namespace koraldump {

namespace {

constexpr OperandShape op(Shape s, Suffix x = Suffix::none) { return {s, nullptr, x}; }
constexpr OperandShape fixed(const char* text) { return {Shape::fixed, text}; }
constexpr OperandShape bit(Shape s) { return op(s, Suffix::bit); }
constexpr OperandShape dot_a(Shape s) { return op(s, Suffix::register_a); }
constexpr FormShape S(OperandShape a = {}, OperandShape b = {}) { return {{a, b}}; }


constexpr FormShape no_operands[] = {S()};
constexpr FormShape one_register[] = {S(op(Shape::reg8))};
constexpr FormShape shift8[] = {S(op(Shape::reg8), op(Shape::imm8))};
constexpr FormShape shift16[] = {S(op(Shape::reg16), op(Shape::imm8))};
constexpr FormShape mul[] = {S(fixed("W"), fixed("A")), S(fixed("B"), fixed("C")), S(fixed("D"), fixed("E")),
                             S(fixed("H"), fixed("L"))};
constexpr FormShape div[] = {S(op(Shape::reg16_div), fixed("C"))};
constexpr FormShape stack[] = {S(op(Shape::reg16_pair)), S(op(Shape::reg16_index)), S(fixed("PSW"))};
constexpr FormShape clr_set[] = {S(fixed("CF")), S(bit(Shape::direct8)), S(bit(Shape::reg8)), S(bit(Shape::mem_src)),
                                 S(dot_a(Shape::mem_src))};
constexpr FormShape cpl[] = {S(fixed("CF")), S(bit(Shape::reg8)), S(bit(Shape::mem_src)), S(dot_a(Shape::mem_src))};
constexpr FormShape test[] = {S(bit(Shape::direct8)), S(bit(Shape::reg8)), S(bit(Shape::mem_src)), S(dot_a(Shape::mem_src))};
constexpr FormShape ld[] = {
    S(op(Shape::direct8), op(Shape::imm8)),             // 0
    S(fixed("[HL]"), op(Shape::imm8)),           // 1
    S(fixed("A"), op(Shape::direct8)),           // 2
    S(fixed("A"), fixed("[HL]")),         // 3
    S(op(Shape::direct8), fixed("A")),           // 4
    S(fixed("[HL]"), fixed("A")),         // 5
    S(fixed("A"), op(Shape::reg8)),              // 6
    S(op(Shape::reg8), op(Shape::imm8)),                // 7
    S(fixed("SP"), op(Shape::sp_plus)),          // 8
    S(fixed("SP"), op(Shape::sp_minus)),         // 9
    S(op(Shape::reg8), fixed("A")),              // 10
    S(op(Shape::reg16), op(Shape::imm_mnx)),            // 11
    S(fixed("CF"), bit(Shape::direct8)),         // 12
    S(op(Shape::reg8), op(Shape::reg8)),                // 13
    S(op(Shape::reg16), op(Shape::reg16)),              // 14
    S(fixed("CF"), bit(Shape::reg8)),            // 15
    S(fixed("PSW"), op(Shape::imm8)),            // 16
    S(bit(Shape::reg8), fixed("CF")),            // 17
    S(op(Shape::reg8), op(Shape::mem_src)),             // 18
    S(op(Shape::reg16), op(Shape::mem_src)),            // 19
    S(fixed("CF"), bit(Shape::mem_src)),         // 20
    S(op(Shape::mem_dst), op(Shape::reg16)),            // 21
    S(op(Shape::mem_dst), op(Shape::reg8)),             // 22
    S(bit(Shape::mem_src), fixed("CF")),         // 23
    S(op(Shape::mem_dst), op(Shape::imm8)),             // 24
    S(fixed("CF"), dot_a(Shape::mem_src)),       // 25
    S(dot_a(Shape::mem_src), fixed("CF")),       // 26
    S(fixed("SP"), op(Shape::sp_relocated)),     // 27
    S(fixed("RBS"), fixed("0")),          // 28
    S(fixed("RBS"), fixed("1")),          // 29
};
constexpr FormShape inc_dec[] = {S(op(Shape::reg8)), S(op(Shape::reg16)), S(op(Shape::mem_src))};
constexpr FormShape ldw[] = {S(op(Shape::direct8), op(Shape::imm16)), S(fixed("[HL]"), op(Shape::imm16))};
constexpr FormShape alu[] = {
    S(fixed("A"), op(Shape::imm8)),           // 0
    S(op(Shape::reg8_x8), op(Shape::reg8)),          // 1
    S(op(Shape::reg8), op(Shape::imm8)),             // 2
    S(op(Shape::reg16), op(Shape::imm_mnx)),         // 3
    S(op(Shape::reg16_x8), op(Shape::reg16)),        // 4
    S(op(Shape::reg8_x8), op(Shape::mem_src)),       // 5
    S(op(Shape::mem_src), op(Shape::imm8)),          // 6
    S(op(Shape::reg16_x8), op(Shape::mem_src)),      // 7
    S(fixed("CF"), bit(Shape::reg8)),         // 8  XOR only
    S(fixed("CF"), bit(Shape::mem_src)),      // 9  XOR only
};
constexpr FormShape cmp[] = {alu[0], alu[1], alu[2], alu[3], alu[4], alu[5], alu[6], alu[7],
                             S(op(Shape::direct8), op(Shape::imm8))};
constexpr FormShape jrs[] = {S(fixed("T"), op(Shape::rel5)), S(fixed("F"), op(Shape::rel5))};
constexpr FormShape jr[] = {S(op(Shape::cond_short), op(Shape::rel8)), S(op(Shape::cond_ext), op(Shape::rel8)), S(op(Shape::rel8))};
constexpr FormShape callv[] = {S(op(Shape::vector4))};
constexpr FormShape call_jump[] = {S(op(Shape::imm24)), S(op(Shape::reg16)), S(op(Shape::mem_src))};
constexpr FormShape rotate_digit[] = {S(fixed("A"), op(Shape::mem_src))};
constexpr FormShape xch[] = {S(op(Shape::reg8), op(Shape::reg8)), S(op(Shape::reg16), op(Shape::reg16)), S(op(Shape::reg8), op(Shape::mem_src)),
                             S(op(Shape::reg16), op(Shape::mem_src))};
constexpr FormShape neg[] = {S(fixed("CS"), op(Shape::reg16))};

}  // namespace

std::span<const FormShape> form_shapes(int32_t mnemonic) {
  using namespace koral;
  const MnemonicEntry* entry = find_mnemonic(mnemonic);
  if (!entry) return {};
  switch (entry->family) {
    case family_no_operand: return no_operands;
    case family_one_register: return one_register;
    case family_mul: return mul;
    case family_div: return div;
    case family_stack: return stack;
    case family_bit:
      if (mnemonic == mn_cpl) return cpl;
      if (mnemonic == mn_test) return test;
      return clr_set;
    case family_ld: return ld;
    case family_inc_dec: return inc_dec;
    case family_ldw: return ldw;
    case family_alu:
      if (mnemonic == mn_cmp) return cmp;
      return std::span<const FormShape>(alu, static_cast<std::size_t>(entry->form_count));
    case family_relative_jump: return mnemonic == mn_jrs ? std::span<const FormShape>(jrs) : jr;
    case family_callv: return callv;
    case family_call_jump: return call_jump;
    case family_rotate_digit: return rotate_digit;
    case family_xch: return xch;
    case family_shift: return mnemonic == mn_shlca || mnemonic == mn_shrca ? shift16 : shift8;
    case family_neg: return neg;
    default: return {};  // J and CAL
  }
}

}  // namespace koraldump
