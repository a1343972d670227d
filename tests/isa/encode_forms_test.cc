// Every form of every mnemonic, classified and encoded from hand-made operand
// records; the expected bytes are worked out from the instruction table.
// Register codes: A 0, W 1, C 2, B 3, E 4, D 5, L 6, H 7; WA 0, BC 1, DE 2,
// HL 3, IX 4, IY 5, SP 6, IZ 7.  The section's location is 0x100.
#include <gtest/gtest.h>

#include "isa_test_support.h"

namespace koral::isa_test {
namespace {

struct Case {
  const char* source;
  int32_t mnemonic;
  std::vector<Op> ops;
  int32_t form;
  std::vector<uint8_t> bytes;
};

// A jump target in the current relocatable section.
Op Target(int32_t address) { return N(address).of_kind(V_LOCAL); }

void PrintTo(const Case& c, std::ostream* os) { *os << c.source; }

class EncodeForm : public ::testing::TestWithParam<Case> {};

TEST_P(EncodeForm, GivesTheTableBytes) {
  const Case& c = GetParam();
  auto run = fresh_run();
  Outcome out = run->assemble(c.mnemonic, c.ops);
  EXPECT_TRUE(out.classified) << c.source;
  EXPECT_TRUE(out.codes.empty()) << c.source << " reported " << out.codes[0];
  EXPECT_EQ(out.form, c.form) << c.source;
  EXPECT_EQ(out.bytes, c.bytes) << c.source;
}

INSTANTIATE_TEST_SUITE_P(NoOperands, EncodeForm, ::testing::Values(
    Case{"NOP", mn_nop, {}, 0, {0x00}},
    Case{"RETI", mn_reti, {}, 0, {0xFB}},
    Case{"RET", mn_ret, {}, 0, {0xFA}},
    Case{"SWI", mn_swi, {}, 0, {0xFF}},
    Case{"RETN", mn_retn, {}, 0, {0xE8, 0xFB}},
    Case{"DI", mn_di, {}, 0, {0xC8, 0x3A}},
    Case{"EI", mn_ei, {}, 0, {0xC0, 0x3A}},
    Case{"SLEEP", mn_sleep, {}, 0, {0x01}}));

INSTANTIATE_TEST_SUITE_P(OneRegister, EncodeForm, ::testing::Values(
    Case{"SWAP A", mn_swap, {R(reg_a)}, 0, {0xE8, 0xFF}},
    Case{"SWAP H", mn_swap, {R(reg_h)}, 0, {0xEF, 0xFF}},
    Case{"DAA W", mn_daa, {R(reg_w)}, 0, {0xE9, 0xDA}},
    Case{"DAS L", mn_das, {R(reg_l)}, 0, {0xEE, 0xDB}},
    Case{"ROLC B", mn_rolc, {R(reg_b)}, 0, {0xEB, 0xF6}},
    Case{"RORC C", mn_rorc, {R(reg_c)}, 0, {0xEA, 0xF7}},
    Case{"MUL W,A", mn_mul, {R(reg_w), R(reg_a)}, 0, {0xE8, 0xF2}},
    Case{"MUL B,C", mn_mul, {R(reg_b), R(reg_c)}, 1, {0xE9, 0xF2}},
    Case{"MUL D,E", mn_mul, {R(reg_d), R(reg_e)}, 2, {0xEA, 0xF2}},
    Case{"MUL H,L", mn_mul, {R(reg_h), R(reg_l)}, 3, {0xEB, 0xF2}},
    Case{"DIV WA,C", mn_div, {R(reg_wa), R(reg_c)}, 0, {0xE8, 0xF3}},
    Case{"DIV DE,C", mn_div, {R(reg_de), R(reg_c)}, 0, {0xEA, 0xF3}},
    Case{"DIV HL,C", mn_div, {R(reg_hl), R(reg_c)}, 0, {0xEB, 0xF3}}));

INSTANTIATE_TEST_SUITE_P(Shifts, EncodeForm, ::testing::Values(
    Case{"SHLC E,3", mn_shlc, {R(reg_e), N(3)}, 0, {0xEC, 0xF4, 0x03}},
    Case{"SHRC D,7", mn_shrc, {R(reg_d), N(7)}, 0, {0xED, 0xF5, 0x07}},
    Case{"SHLC A,0", mn_shlc, {R(reg_a), N(0)}, 0, {0xE8, 0xF4, 0x00}},
    Case{"SHLCA IX,23", mn_shlca, {R(reg_ix), N(23)}, 0, {0xEC, 0xF0, 0x17}},
    Case{"SHRCA HL,15", mn_shrca, {R(reg_hl), N(15)}, 0, {0xEB, 0xF1, 0x0F}},
    Case{"SHLCA SP,0", mn_shlca, {R(reg_sp), N(0)}, 0, {0xEE, 0xF0, 0x00}},
    Case{"SHRCA IZ,20", mn_shrca, {R(reg_iz), N(20)}, 0, {0xEF, 0xF1, 0x14}}));

INSTANTIATE_TEST_SUITE_P(Stack, EncodeForm, ::testing::Values(
    Case{"POP WA", mn_pop, {R(reg_wa)}, 0, {0xD0}},
    Case{"POP HL", mn_pop, {R(reg_hl)}, 0, {0xD3}},
    Case{"POP IX", mn_pop, {R(reg_ix)}, 1, {0xEC, 0xD9}},
    Case{"POP IZ", mn_pop, {R(reg_iz)}, 1, {0xEF, 0xD9}},
    Case{"POP PSW", mn_pop, {R(reg_psw)}, 2, {0xE8, 0xDD}},
    Case{"PUSH BC", mn_push, {R(reg_bc)}, 0, {0x51}},
    Case{"PUSH DE", mn_push, {R(reg_de)}, 0, {0x52}},
    Case{"PUSH IY", mn_push, {R(reg_iy)}, 1, {0xED, 0xD8}},
    Case{"PUSH PSW", mn_push, {R(reg_psw)}, 2, {0xE8, 0xDC}},
    // An 8-bit register goes through LD [SP-],r and LD r,[+SP].
    Case{"PUSH A", mn_push, {R(reg_a)}, 22, {0xF6, 0x78}},
    Case{"PUSH L", mn_push, {R(reg_l)}, 22, {0xF6, 0x7E}},
    Case{"POP A", mn_pop, {R(reg_a)}, 18, {0xE6, 0x40}},
    Case{"POP H", mn_pop, {R(reg_h)}, 18, {0xE6, 0x47}}));

INSTANTIATE_TEST_SUITE_P(BitInstructions, EncodeForm, ::testing::Values(
    Case{"CLR CF", mn_clr, {R(reg_cf)}, 0, {0x04}},
    Case{"CLR [20h].3", mn_clr, {Mem(0x20).b(3)}, 1, {0xCB, 0x20}},
    Case{"CLR B.5", mn_clr, {R(reg_b).b(5)}, 2, {0xEB, 0xCD}},
    Case{"CLR [HL].2", mn_clr, {Ind(reg_hl).b(2)}, 3, {0xE3, 0xCA}},
    Case{"CLR [IX+5].7", mn_clr, {Idx(reg_ix, 5).b(7)}, 3, {0xD4, 0x05, 0xCF}},
    Case{"CLR [1234h].1", mn_clr, {Mem(0x1234).b(1)}, 3, {0xE1, 0x34, 0x12, 0xC9}},
    Case{"CLR [DE].A", mn_clr, {Ind(reg_de).bit_a()}, 4, {0xE2, 0xFA}},
    Case{"SET CF", mn_set, {R(reg_cf)}, 0, {0x05}},
    Case{"SET [20h].0", mn_set, {Mem(0x20).b(0)}, 1, {0xC0, 0x20}},
    Case{"SET A.7", mn_set, {R(reg_a).b(7)}, 2, {0xE8, 0xC7}},
    Case{"SET [IY].4", mn_set, {Ind(reg_iy).b(4)}, 3, {0xE5, 0xC4}},
    Case{"SET [HL+C].A", mn_set, {Pair(reg_hl, reg_c).bit_a()}, 4, {0xE7, 0xF2}},
    Case{"CPL CF", mn_cpl, {R(reg_cf)}, 0, {0x06}},
    Case{"CPL H.1", mn_cpl, {R(reg_h).b(1)}, 1, {0xEF, 0xE1}},
    Case{"CPL [30h].6", mn_cpl, {Mem(0x30).b(6)}, 2, {0xE0, 0x30, 0xE6}},
    Case{"CPL [DE].A", mn_cpl, {Ind(reg_de).bit_a()}, 3, {0xE2, 0xFB}},
    Case{"TEST [40h].5", mn_test, {Mem(0x40).b(5)}, 0, {0x5D, 0x40}},
    Case{"TEST W.0", mn_test, {R(reg_w).b(0)}, 1, {0xE9, 0x58}},
    Case{"TEST [HL].7", mn_test, {Ind(reg_hl).b(7)}, 2, {0xE3, 0x5F}},
    Case{"TEST [IY+2].A", mn_test, {Idx(reg_iy, 2).bit_a()}, 3, {0xD5, 0x02, 0xFC}}));

INSTANTIATE_TEST_SUITE_P(Load, EncodeForm, ::testing::Values(
    Case{"LD [20h],55h", mn_ld, {Mem(0x20), N(0x55)}, 0, {0x0A, 0x20, 0x55}},
    Case{"LD [HL],12h", mn_ld, {Ind(reg_hl), N(0x12)}, 1, {0x0B, 0x12}},
    Case{"LD A,[80h]", mn_ld, {R(reg_a), Mem(0x80)}, 2, {0x0C, 0x80}},
    Case{"LD A,[HL]", mn_ld, {R(reg_a), Ind(reg_hl)}, 3, {0x0D}},
    Case{"LD [20h],A", mn_ld, {Mem(0x20), R(reg_a)}, 4, {0x0E, 0x20}},
    Case{"LD [HL],A", mn_ld, {Ind(reg_hl), R(reg_a)}, 5, {0x0F}},
    Case{"LD A,B", mn_ld, {R(reg_a), R(reg_b)}, 6, {0x13}},
    Case{"LD A,A", mn_ld, {R(reg_a), R(reg_a)}, 6, {0x10}},
    Case{"LD C,7Fh", mn_ld, {R(reg_c), N(0x7F)}, 7, {0x1A, 0x7F}},
    Case{"LD A,5", mn_ld, {R(reg_a), N(5)}, 7, {0x18, 0x05}},
    Case{"LD SP,SP+5", mn_ld, {R(reg_sp), SpPlus(5)}, 8, {0x02, 0x05}},
    Case{"LD SP,SP+0", mn_ld, {R(reg_sp), SpPlus(0)}, 8, {0x02, 0x00}},
    Case{"LD SP,SP-3", mn_ld, {R(reg_sp), SpPlus(-3)}, 9, {0x03, 0x03}},
    Case{"LD SP,SP+255", mn_ld, {R(reg_sp), SpPlus(255)}, 8, {0x02, 0xFF}},
    Case{"LD SP,SP-255", mn_ld, {R(reg_sp), SpPlus(-255)}, 9, {0x03, 0xFF}},
    Case{"LD D,A", mn_ld, {R(reg_d), R(reg_a)}, 10, {0x45}},
    Case{"LD HL,1234h", mn_ld, {R(reg_hl), N(0x1234)}, 11, {0x4B, 0x34, 0x12}},
    Case{"LD WA,0BEEFh", mn_ld, {R(reg_wa), N(0xBEEF)}, 11, {0x48, 0xEF, 0xBE}},
    Case{"LD IX,123456h", mn_ld, {R(reg_ix), N(0x123456)}, 11, {0x4C, 0x56, 0x34, 0x12}},
    Case{"LD SP,10000h", mn_ld, {R(reg_sp), N(0x10000)}, 11, {0x4E, 0x00, 0x00, 0x01}},
    Case{"LD IZ,5", mn_ld, {R(reg_iz), N(5)}, 11, {0x4F, 0x05, 0x00, 0x00}},
    Case{"LD CF,[20h].3", mn_ld, {R(reg_cf), Mem(0x20).b(3)}, 12, {0x5B, 0x20}},
    Case{"LD B,C", mn_ld, {R(reg_b), R(reg_c)}, 13, {0xEA, 0x43}},
    Case{"LD H,L", mn_ld, {R(reg_h), R(reg_l)}, 13, {0xEE, 0x47}},
    Case{"LD HL,DE", mn_ld, {R(reg_hl), R(reg_de)}, 14, {0xEA, 0x4B}},
    Case{"LD IX,SP", mn_ld, {R(reg_ix), R(reg_sp)}, 14, {0xEE, 0x4C}},
    Case{"LD CF,B.4", mn_ld, {R(reg_cf), R(reg_b).b(4)}, 15, {0xEB, 0x5C}},
    Case{"LD PSW,44h", mn_ld, {R(reg_psw), N(0x44)}, 16, {0xE8, 0xDE, 0x44}},
    Case{"LD B.2,CF", mn_ld, {R(reg_b).b(2), R(reg_cf)}, 17, {0xEB, 0xEA}},
    Case{"LD C,[DE]", mn_ld, {R(reg_c), Ind(reg_de)}, 18, {0xE2, 0x42}},
    Case{"LD A,[DE]", mn_ld, {R(reg_a), Ind(reg_de)}, 18, {0xE2, 0x40}},
    Case{"LD A,[SP]", mn_ld, {R(reg_a), Idx(reg_sp, 0)}, 18, {0xD6, 0x00, 0x40}},
    Case{"LD B,[IX+10h]", mn_ld, {R(reg_b), Idx(reg_ix, 0x10)}, 18, {0xD4, 0x10, 0x43}},
    Case{"LD A,[HL-128]", mn_ld, {R(reg_a), Idx(reg_hl, -128)}, 18, {0xD7, 0x80, 0x40}},
    Case{"LD H,[IZ-2]", mn_ld, {R(reg_h), Idx(reg_iz, -2)}, 18, {0x6A, 0xFE, 0x47}},
    Case{"LD A,[1234h]", mn_ld, {R(reg_a), Mem(0x1234)}, 18, {0xE1, 0x34, 0x12, 0x40}},
    Case{"LD A,[12345h]", mn_ld, {R(reg_a), Mem(0x12345)}, 18, {0x6D, 0x45, 0x23, 0x01, 0x40}},
    Case{"LD A,[80h:16]", mn_ld, {R(reg_a), Mem(0x80).wide(16)}, 18, {0xE1, 0x80, 0x00, 0x40}},
    Case{"LD E,[HL+C]", mn_ld, {R(reg_e), Pair(reg_hl, reg_c)}, 18, {0xE7, 0x44}},
    Case{"LD L,[PC+A]", mn_ld, {R(reg_l), Pair(reg_pc, reg_a)}, 18, {0x6F, 0x46}},
    Case{"LD D,[IZ+C]", mn_ld, {R(reg_d), Pair(reg_iz, reg_c)}, 18, {0x6B, 0x45}},
    Case{"LD A,[+SP]", mn_ld, {R(reg_a), PopForm()}, 18, {0xE6, 0x40}},
    Case{"LD HL,[IX]", mn_ld, {R(reg_hl), Ind(reg_ix)}, 19, {0xE4, 0x4B}},
    Case{"LD BC,[1234h]", mn_ld, {R(reg_bc), Mem(0x1234)}, 19, {0xE1, 0x34, 0x12, 0x49}},
    Case{"LD CF,[HL].5", mn_ld, {R(reg_cf), Ind(reg_hl).b(5)}, 20, {0xE3, 0x5D}},
    Case{"LD [DE],HL", mn_ld, {Ind(reg_de), R(reg_hl)}, 21, {0xF2, 0x6B}},
    Case{"LD [IZ+3],IX", mn_ld, {Idx(reg_iz, 3), R(reg_ix)}, 21, {0x68, 0x03, 0x6C}},
    Case{"LD [DE],A", mn_ld, {Ind(reg_de), R(reg_a)}, 22, {0xF2, 0x78}},
    Case{"LD [1234h],B", mn_ld, {Mem(0x1234), R(reg_b)}, 22, {0xF1, 0x34, 0x12, 0x7B}},
    Case{"LD [SP-],C", mn_ld, {PushForm(), R(reg_c)}, 22, {0xF6, 0x7A}},
    Case{"LD [IY+1],L", mn_ld, {Idx(reg_iy, 1), R(reg_l)}, 22, {0x55, 0x01, 0x7E}},
    Case{"LD [HL].6,CF", mn_ld, {Ind(reg_hl).b(6), R(reg_cf)}, 23, {0xE3, 0xEE}},
    Case{"LD [IX],99h", mn_ld, {Ind(reg_ix), N(0x99)}, 24, {0xF4, 0xF9, 0x99}},
    Case{"LD [300h],7", mn_ld, {Mem(0x300), N(7)}, 24, {0xF1, 0x00, 0x03, 0xF9, 0x07}},
    Case{"LD CF,[DE].A", mn_ld, {R(reg_cf), Ind(reg_de).bit_a()}, 25, {0xE2, 0xFC}},
    Case{"LD [HL].A,CF", mn_ld, {Ind(reg_hl).bit_a(), R(reg_cf)}, 26, {0xE3, 0xF3}},
    Case{"LD RBS,0", mn_ld, {R(reg_rbs), N(0)}, 28, {0xF9, 0x00}},
    Case{"LD RBS,1", mn_ld, {R(reg_rbs), N(1)}, 29, {0xF9, 0x02}}));

INSTANTIATE_TEST_SUITE_P(IncDecLdw, EncodeForm, ::testing::Values(
    Case{"INC A", mn_inc, {R(reg_a)}, 0, {0x20}},
    Case{"INC H", mn_inc, {R(reg_h)}, 0, {0x27}},
    Case{"INC BC", mn_inc, {R(reg_bc)}, 1, {0x31}},
    Case{"INC SP", mn_inc, {R(reg_sp)}, 1, {0x36}},
    Case{"INC [HL]", mn_inc, {Ind(reg_hl)}, 2, {0xE3, 0xF0}},
    Case{"INC [20h]", mn_inc, {Mem(0x20)}, 2, {0xE0, 0x20, 0xF0}},
    Case{"DEC W", mn_dec, {R(reg_w)}, 0, {0x29}},
    Case{"DEC IX", mn_dec, {R(reg_ix)}, 1, {0x3C}},
    Case{"DEC [IY+4]", mn_dec, {Idx(reg_iy, 4)}, 2, {0xD5, 0x04, 0xF8}},
    Case{"LDW [20h],1234h", mn_ldw, {Mem(0x20), N(0x1234)}, 0, {0x08, 0x20, 0x34, 0x12}},
    Case{"LDW [HL],0ABCDh", mn_ldw, {Ind(reg_hl), N(0xABCD)}, 1, {0x09, 0xCD, 0xAB}}));

INSTANTIATE_TEST_SUITE_P(Arithmetic, EncodeForm, ::testing::Values(
    Case{"ADDC A,0", mn_addc, {R(reg_a), N(0)}, 0, {0x60, 0x00}},
    Case{"ADD A,5", mn_add, {R(reg_a), N(5)}, 0, {0x61, 0x05}},
    Case{"CMP A,-1", mn_cmp, {R(reg_a), N(-1)}, 0, {0x67, 0xFF}},
    Case{"ADD B,5", mn_add, {R(reg_b), N(5)}, 2, {0xEB, 0x61, 0x05}},
    Case{"OR B,0FFh", mn_or, {R(reg_b), N(0xFF)}, 2, {0xEB, 0x66, 0xFF}},
    Case{"ADD B,C", mn_add, {R(reg_b), R(reg_c)}, 1, {0xEA, 0x19}},
    Case{"CMP W,A", mn_cmp, {R(reg_w), R(reg_a)}, 1, {0xE8, 0x0F}},
    Case{"SUB A,A", mn_sub, {R(reg_a), R(reg_a)}, 1, {0xE8, 0x03}},
    Case{"SUB HL,1234h", mn_sub, {R(reg_hl), N(0x1234)}, 3, {0xEB, 0x6B, 0x34, 0x12}},
    Case{"ADDC IX,10h", mn_addc, {R(reg_ix), N(0x10)}, 3, {0xEC, 0x68, 0x10, 0x00, 0x00}},
    Case{"AND DE,BC", mn_and, {R(reg_de), R(reg_bc)}, 4, {0xE9, 0x94}},
    Case{"XOR SP,IZ", mn_xor, {R(reg_sp), R(reg_iz)}, 4, {0xEF, 0xB5}},
    Case{"OR A,[HL]", mn_or, {R(reg_a), Ind(reg_hl)}, 5, {0xE3, 0x06}},
    Case{"XOR C,[DE]", mn_xor, {R(reg_c), Ind(reg_de)}, 5, {0xE2, 0x15}},
    Case{"ADD [20h],5", mn_add, {Mem(0x20), N(5)}, 6, {0xE0, 0x20, 0x61, 0x05}},
    Case{"CMP [HL],10h", mn_cmp, {Ind(reg_hl), N(0x10)}, 6, {0xE3, 0x67, 0x10}},
    Case{"CMP [1234h],5", mn_cmp, {Mem(0x1234), N(5)}, 6, {0xE1, 0x34, 0x12, 0x67, 0x05}},
    Case{"SUBB WA,[IX+3]", mn_subb, {R(reg_wa), Idx(reg_ix, 3)}, 7, {0xD4, 0x03, 0x82}},
    Case{"AND HL,[DE]", mn_and, {R(reg_hl), Ind(reg_de)}, 7, {0xE2, 0x9C}},
    Case{"XOR CF,B.3", mn_xor, {R(reg_cf), R(reg_b).b(3)}, 8, {0xEB, 0x53}},
    Case{"XOR CF,[HL].1", mn_xor, {R(reg_cf), Ind(reg_hl).b(1)}, 9, {0xE3, 0x51}},
    Case{"CMP [20h],5", mn_cmp, {Mem(0x20), N(5)}, 8, {0x07, 0x20, 0x05}}));

INSTANTIATE_TEST_SUITE_P(Jumps, EncodeForm, ::testing::Values(
    // Displacement = target − 0x100 − 2 (− 3 for JR form 1).
    Case{"JRS T,105h", mn_jrs, {Cond(cond_t), Target(0x105)}, 0, {0x83}},
    Case{"JRS F,105h", mn_jrs, {Cond(cond_f), Target(0x105)}, 1, {0xA3}},
    Case{"JRS T,0F2h", mn_jrs, {Cond(cond_t), Target(0xF2)}, 0, {0x90}},
    Case{"JRS F,111h", mn_jrs, {Cond(cond_f), Target(0x111)}, 1, {0xAF}},
    Case{"JR NZ,180h", mn_jr, {Cond(cond_nz), Target(0x180)}, 0, {0xD9, 0x7E}},
    Case{"JR EQ,102h", mn_jr, {Cond(cond_eq), Target(0x102)}, 0, {0xD8, 0x00}},
    Case{"JR T,100h", mn_jr, {Cond(cond_t), Target(0x100)}, 0, {0xDE, 0xFE}},
    Case{"JR GT,100h", mn_jr, {Cond(cond_gt), Target(0x100)}, 0, {0xDD, 0xFE}},
    Case{"JR M,150h", mn_jr, {Cond(cond_m), Target(0x150)}, 1, {0xE8, 0xD0, 0x4D}},
    Case{"JR SGT,150h", mn_jr, {Cond(cond_sgt), Target(0x150)}, 1, {0xE8, 0xD5, 0x4D}},
    Case{"JR VC,150h", mn_jr, {Cond(cond_vc), Target(0x150)}, 1, {0xE8, 0xD7, 0x4D}},
    Case{"JR 100h", mn_jr, {Target(0x100)}, 2, {0xFC, 0xFE}},
    Case{"JR 82h", mn_jr, {Target(0x82)}, 2, {0xFC, 0x80}},
    Case{"JR 181h", mn_jr, {Target(0x181)}, 2, {0xFC, 0x7F}},
    Case{"CALL 1234h", mn_call, {N(0x1234)}, 0, {0xFD, 0x34, 0x12, 0x00}},
    Case{"CALL HL", mn_call, {R(reg_hl)}, 1, {0xEB, 0xFD}},
    Case{"CALL [IX]", mn_call, {Ind(reg_ix)}, 2, {0xE4, 0xFD}},
    Case{"JP 123456h", mn_jp, {N(0x123456)}, 0, {0xFE, 0x56, 0x34, 0x12}},
    Case{"JP 5", mn_jp, {N(5)}, 0, {0xFE, 0x05, 0x00, 0x00}},
    Case{"JP IZ", mn_jp, {R(reg_iz)}, 1, {0xEF, 0xFE}},
    Case{"JP [HL+C]", mn_jp, {Pair(reg_hl, reg_c)}, 2, {0xE7, 0xFE}}));

INSTANTIATE_TEST_SUITE_P(Others, EncodeForm, ::testing::Values(
    Case{"ROLD A,[HL]", mn_rold, {R(reg_a), Ind(reg_hl)}, 0, {0xE3, 0xF6}},
    Case{"RORD A,[20h]", mn_rord, {R(reg_a), Mem(0x20)}, 0, {0xE0, 0x20, 0xF7}},
    Case{"XCH B,C", mn_xch, {R(reg_b), R(reg_c)}, 0, {0xEA, 0x73}},
    Case{"XCH HL,DE", mn_xch, {R(reg_hl), R(reg_de)}, 1, {0xEA, 0x7B}},
    Case{"XCH A,[HL]", mn_xch, {R(reg_a), Ind(reg_hl)}, 2, {0xE3, 0x70}},
    Case{"XCH BC,[DE]", mn_xch, {R(reg_bc), Ind(reg_de)}, 3, {0xE2, 0xD9}},
    Case{"NEG CS,HL", mn_neg, {Cond(cond_cs), R(reg_hl)}, 0, {0xEB, 0xFA}}));

// The vector number replaces a vector address by the model level's table.
struct VectorCase {
  int32_t level;
  int32_t address;
  uint8_t byte;
};

class CallvVector : public ::testing::TestWithParam<VectorCase> {};

TEST_P(CallvVector, BecomesTheVectorNumber) {
  const VectorCase& c = GetParam();
  auto run = fresh_run();
  run->a.settings.model_level = c.level;
  Outcome out = run->assemble(mn_callv, {N(c.address)});
  EXPECT_TRUE(out.codes.empty());
  EXPECT_EQ(out.bytes, std::vector<uint8_t>{c.byte}) << std::hex << c.address;
}

INSTANTIATE_TEST_SUITE_P(Levels, CallvVector, ::testing::Values(
    VectorCase{0, 0xFFC2, 0x71}, VectorCase{0, 0xFFC0, 0x70}, VectorCase{0, 0xFFDE, 0x7F},
    VectorCase{1, 0xFFA0, 0x70}, VectorCase{1, 0xFFBE, 0x7F}, VectorCase{1, 0xFFA8, 0x74},
    VectorCase{2, 0x1FFA2, 0x71}, VectorCase{3, 0x1FFBE, 0x7F},
    VectorCase{0, 0xC4, 0x72}, VectorCase{2, 0xDE, 0x7F}, VectorCase{1, 0xC0, 0x70},
    VectorCase{1, 5, 0x75}, VectorCase{3, 0, 0x70}, VectorCase{0, 15, 0x7F}));

// J's ten forms, with the form and field types the jump optimisation sets.
TEST(GenericJumpForms, EncodeWithTheirEncoders) {
  struct JCase {
    const char* source;
    std::vector<Op> ops;
    int32_t form;
    int32_t types[2];
    std::vector<uint8_t> bytes;
  };
  const JCase cases[] = {
      {"J T,105h (JRS T)", {Cond(cond_t), Target(0x105)}, 0, {field_implied, field_relative5}, {0x83}},
      {"J 105h (JRS T)", {Target(0x105)}, 0, {field_relative5, field_implied}, {0x83}},
      {"J F,105h (JRS F)", {Cond(cond_f), Target(0x105)}, 1, {field_implied, field_relative5}, {0xA3}},
      {"J NZ,120h (JR)", {Cond(cond_nz), Target(0x120)}, 2, {field_condition, field_relative8}, {0xD9, 0x1E}},
      {"J 120h (JR)", {Target(0x120)}, 3, {field_relative8, field_implied}, {0xFC, 0x1E}},
      {"J SLT,120h (JR)", {Cond(cond_slt), Target(0x120)}, 4, {field_condition, field_relative8},
       {0xE8, 0xD2, 0x1D}},
      {"J F,far", {Cond(cond_f), N(0x12345)}, 5, {field_implied, field_long}, {0x83, 0xFE, 0x45, 0x23, 0x01}},
      {"J T,far", {Cond(cond_t), N(0x12345)}, 6, {field_implied, field_long}, {0xA3, 0xFE, 0x45, 0x23, 0x01}},
      // The condition of the far forms arrives inverted (NZ became Z, M became P).
      {"J NZ,far", {Cond(cond_z), N(0x12345)}, 7, {field_condition, field_long},
       {0xD8, 0x04, 0xFE, 0x45, 0x23, 0x01}},
      {"J M,far", {Cond(cond_p), N(0x12345)}, 8, {field_condition, field_long},
       {0xE8, 0xD1, 0x04, 0xFE, 0x45, 0x23, 0x01}},
      {"J far", {N(0x12345)}, 9, {field_long, field_implied}, {0xFE, 0x45, 0x23, 0x01}},
  };
  for (const JCase& c : cases) {
    auto run = fresh_run();
    Instruction ins = run->build(mn_j, c.ops);
    ins.record->form = c.form;
    for (int i = 0; i < ins.count; ++i) ins.operand[i]->field_type = c.types[i];
    Outcome out = run->encode_final();
    EXPECT_EQ(out.bytes, c.bytes) << c.source;
    EXPECT_TRUE(out.codes.empty()) << c.source;
  }
}

}  // namespace
}  // namespace koral::isa_test
