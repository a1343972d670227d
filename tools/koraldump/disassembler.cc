#include "disassembler.h"

#include <map>

#include "isa/instruction_table.h"
#include "isa/relative.h"
#include "operand_shapes.h"
#include "source/tokens.h"
#include "symbols/reserved_words.h"

namespace koraldump {

namespace {

// Register, condition and mnemonic names by code, from the reserved words.
struct Names {
  std::string reg8[8], reg16[8], cond_short[8], cond_ext[8];
  std::map<int32_t, std::string> mnemonics;
};

const Names& names() {
  static const Names table = [] {
    Names n;
    for (const koral::ReservedWord& w : koral::reserved_word_table()) {
      std::string name(w.name);
      if (w.token_class == koral::REGISTER && koral::is_register8(w.value)) {
        n.reg8[koral::register8_code(w.value)] = name;
      } else if (w.token_class == koral::REGISTER && koral::is_register16(w.value)) {
        n.reg16[koral::register16_code(w.value)] = name;
      } else if (w.token_class == koral::CONDITION && koral::is_condition(w.value)) {
        std::string& slot = koral::is_short_condition(w.value) ? n.cond_short[koral::condition_code(w.value)]
                                                               : n.cond_ext[koral::condition_code(w.value)];
        if (slot.empty()) slot = name;
      } else if (w.token_class == koral::MNEMONIC) {
        n.mnemonics[w.value] = name;
      }
    }
    return n;
  }();
  return table;
}

bool is_index_code(int32_t code) { return code >= 4; }  // IX IY SP IZ

std::string wrap_signed(const std::string& text) {
  return !text.empty() && (text[0] == '-' || text[0] == '+') ? "(" + text + ")" : text;
}

std::string signed_text(int32_t value) {
  return value < 0 ? "-" + number_text(static_cast<uint32_t>(-static_cast<int64_t>(value)))
                   : "+" + number_text(static_cast<uint32_t>(value));
}

std::string address_text(uint32_t value, int bytes) { return "0x" + hex(value, 2 * bytes); }

// What one operand field decoded to.
struct OperandValue {
  int32_t code = -1;       // register or condition code
  int32_t mode = -1;       // memory addressing mode
  uint32_t value = 0;      // immediate, address, displacement bits
  int item = -1;           // relocated item standing for the field
  uint32_t item_offset = 0;
  uint32_t bit = 0;
  int bit_item = -1;
  uint32_t bit_offset = 0;
};

class FormDecoder {
 public:
  FormDecoder(const CodeView& v, std::size_t at, std::size_t limit, int32_t mnemonic, int32_t form_index,
              const koral::Form& form, const FormShape& shape)
      : v_(v), at_(at), limit_(limit), mnemonic_(mnemonic), form_index_(form_index), form_(form),
        shape_(shape), p_(at) {}

  bool run() {
    if (!layout()) return false;
    for (int i = 0; i < slot_count_; ++i) {
      const Slot& s = slots_[i];
      if (s.prefix) continue;
      if ((s.value & ~s.mask) != s.fixed) return false;
      if (s.item >= 0 && !s.item_used) return false;
    }
    return true;
  }

  DecodedInstruction result() const {
    DecodedInstruction d;
    d.mnemonic = mnemonic_;
    d.form = form_index_;
    d.length = static_cast<uint32_t>(p_ - at_);
    d.text = mnemonic_name(mnemonic_);
    for (int i = 0; i < 2; ++i) {
      if (shape_.operand[i].shape == Shape::none) continue;
      d.text += i == 0 ? (d.text.size() < 8 ? std::string(8 - d.text.size(), ' ') : " ") : ",";
      d.text += operand_text(i);
    }
    d.canonical = canonical();
    return d;
  }

 private:
  struct Slot {
    uint8_t value = 0, fixed = 0, mask = 0;
    int item = -1;
    bool item_used = false;
    bool prefix = false;
  };

  const CodeItem& item(int i) const { return v_.items[i]; }
  uint32_t offset_here() const { return static_cast<uint32_t>(p_ - at_); }

  bool opcode(uint8_t fixed) {
    if (p_ >= limit_ || slot_count_ == max_slots) return false;
    const CodeCell& c = v_.cells[p_];
    Slot s;
    s.value = c.byte;
    s.fixed = fixed;
    if (c.item >= 0) {
      const CodeItem& it = item(c.item);
      if (it.first_cell != p_ || it.size != 1) return false;
      switch (it.shape.kind) {
        case ItemKind::bit_number: case ItemKind::short_jump: s.value = static_cast<uint8_t>(it.shape.base); break;
        case ItemKind::vector: s.value = 0x70; break;
        default: return false;
      }
      s.item = c.item;
      item_offset_ = offset_here();
    }
    slots_[slot_count_++] = s;
    ++p_;
    return true;
  }

  // Bits of the byte emitted last; a relocated opcode byte of kind `kind`
  // gives its item instead.
  bool merge(uint8_t mask, ItemKind kind, uint32_t& bits, int& item_index, uint32_t& item_offset) {
    if (slot_count_ == 0) return false;
    Slot& s = slots_[slot_count_ - 1];
    if (s.prefix || (s.mask & mask)) return false;
    s.mask |= mask;
    if (s.item >= 0) {
      if (item(s.item).shape.kind != kind || s.item_used) return false;
      s.item_used = true;
      item_index = s.item;
      item_offset = item_offset_;
      bits = 0;
      return true;
    }
    bits = s.value & mask;
    return true;
  }

  // `n` field bytes, low first, or one relocated item of exactly that size.
  bool field_bytes(int n, bool relative, OperandValue& v) {
    if (p_ + static_cast<std::size_t>(n) > limit_) return false;
    const int first = v_.cells[p_].item;
    if (first >= 0) {
      const CodeItem& it = item(first);
      if (it.first_cell != p_ || it.size != static_cast<uint32_t>(n)) return false;
      const ItemKind k = it.shape.kind;
      if (relative ? (k != ItemKind::jump && k != ItemKind::relative) : k != ItemKind::plain) return false;
      v.item = first;
      v.item_offset = offset_here();
      p_ += static_cast<std::size_t>(n);
      return true;
    }
    uint32_t value = 0;
    for (int i = 0; i < n; ++i) {
      const CodeCell& c = v_.cells[p_ + static_cast<std::size_t>(i)];
      if (c.item >= 0) return false;
      value |= static_cast<uint32_t>(c.byte) << (8 * i);
    }
    v.value = value;
    p_ += static_cast<std::size_t>(n);
    return true;
  }

  bool memory(bool destination, OperandValue& v) {
    if (slot_count_ == 0) return false;
    Slot& s = slots_[slot_count_ - 1];
    if (s.item >= 0 || s.fixed != 0 || s.mask != 0) return false;
    int mode = -1;
    for (int m = 0; m < koral::mode_count; ++m)
      if (koral::memory_prefix[m] == s.value && m != 25) mode = m;
    if (mode < 0 || (destination ? (mode & 1) == 0 : (mode & 1) == 1)) return false;
    s.prefix = true;
    v.mode = mode;
    int n = koral::mode_operand_bytes(mode);
    return n == 0 || field_bytes(n, false, v);
  }

  bool register_code(uint8_t mask, OperandValue& v) {
    uint32_t bits = 0;
    int unused = -1;
    uint32_t unused_offset = 0;
    if (!merge(mask, ItemKind::plain, bits, unused, unused_offset) || unused >= 0) return false;
    v.code = static_cast<int32_t>(mask == 0x38 ? bits >> 3 : bits);
    return true;
  }

  bool field(int i) {
    const OperandShape& o = shape_.operand[i];
    OperandValue& v = ops_[i];
    switch (o.shape) {
      case Shape::none: case Shape::fixed: return true;
      case Shape::reg8: case Shape::reg16: case Shape::cond_short: case Shape::cond_ext:
        return register_code(0x07, v);
      case Shape::reg8_x8: case Shape::reg16_x8: return register_code(0x38, v);
      case Shape::reg16_pair: return register_code(0x07, v) && v.code <= 3;
      case Shape::reg16_index: return register_code(0x07, v) && (v.code == 4 || v.code == 5 || v.code == 7);
      case Shape::reg16_div: return register_code(0x07, v) && (v.code == 0 || v.code == 2 || v.code == 3);
      case Shape::rel5: return merge(0x1F, ItemKind::short_jump, v.value, v.item, v.item_offset);
      case Shape::vector4: return merge(0x0F, ItemKind::vector, v.value, v.item, v.item_offset);
      case Shape::rel8: return field_bytes(1, true, v);
      case Shape::imm8: case Shape::direct8: case Shape::sp_plus: case Shape::sp_minus:
        return field_bytes(1, false, v);
      case Shape::imm16: return field_bytes(2, false, v);
      case Shape::imm24: return field_bytes(3, false, v);
      case Shape::imm_mnx: return field_bytes(is_index_code(ops_[0].code) ? 3 : 2, false, v);
      case Shape::mem_src: return memory(false, v);
      case Shape::mem_dst: return memory(true, v);
      case Shape::sp_relocated: {
        if (p_ + 2 > limit_) return false;
        const int k = v_.cells[p_].item;
        if (k < 0 || item(k).first_cell != p_ || item(k).size != 2 ||
            item(k).shape.kind != ItemKind::stack_displacement)
          return false;
        v.item = k;
        v.item_offset = offset_here();
        p_ += 2;
        return true;
      }
    }
    return false;
  }

  bool bit_mark(int i) {
    if (shape_.operand[i].suffix != Suffix::bit) return false;
    return merge(0x07, ItemKind::bit_number, ops_[i].bit, ops_[i].bit_item, ops_[i].bit_offset);
  }

  bool opcode1() { return opcode(form_.opcode1); }
  bool opcode2() { return form_.opcode_bytes != 2 || opcode(form_.opcode2); }

  // The steps of each encoder, as the assembler lays them out.
  bool layout() {
    const bool has_bit0 = shape_.operand[0].suffix == Suffix::bit;
    switch (form_.encoder) {
      case 0: case 5: case 11: case 12: return opcode1() && opcode2();
      case 1: return opcode1() && field(0) && opcode2();
      case 2: return opcode1() && opcode2() && field(0);
      case 3: return opcode1() && bit_mark(0) && opcode2() && field(0);
      case 4: return opcode1() && field(0) && opcode2() && bit_mark(0);
      case 6: return opcode1() && field(0) && opcode2() && (!has_bit0 || bit_mark(0));
      case 7: return opcode1() && field(0) && opcode2() && field(1);
      case 8: return opcode1() && field(1) && opcode2() && field(0);
      case 9: return opcode1() && field(0) && opcode2() && (shape_.count() < 2 || field(1));
      case 10: return opcode1() && bit_mark(1) && opcode2() && field(1);
      case 13: return opcode1() && field(0) && opcode2() && bit_mark(0) && field(1);
      case 14: return opcode1() && field(1) && opcode2() && bit_mark(1) && field(0);
      case 15: return opcode1() && opcode2() && field(1);
      case 17: return opcode1() && opcode2() && field(0) && field(1);
      case 18: return field(1);
      case 19: return opcode1() && field(1);
      default: return false;  // 16: the far form of J only
    }
  }

  std::string item_text(int k, uint32_t offset) const { return v_.item_text ? v_.item_text(k, offset) : "?"; }

  std::string memory_text(const OperandValue& v) const {
    auto payload = [&](int bytes) { return v.item >= 0 ? item_text(v.item, v.item_offset) : address_text(v.value, bytes); };
    auto indexed = [&](const char* reg) {
      std::string d = v.item >= 0 ? "+" + wrap_signed(item_text(v.item, v.item_offset))
                                  : signed_text(static_cast<int8_t>(v.value));
      return "[" + std::string(reg) + d + "]";
    };
    switch (v.mode & ~1) {
      case koral::mode_short_direct: return "[" + payload(1) + "]";
      case koral::mode_direct16: return "[" + payload(2) + "]";
      case koral::mode_direct24: return "[" + payload(3) + "]";
      case koral::mode_de: return "[DE]";
      case koral::mode_hl: return "[HL]";
      case koral::mode_ix: return "[IX]";
      case koral::mode_iy: return "[IY]";
      case koral::mode_pop: return v.mode == koral::mode_push ? "[SP-]" : "[+SP]";
      case koral::mode_hl_c: return "[HL+C]";
      case koral::mode_ix_d: return indexed("IX");
      case koral::mode_iy_d: return indexed("IY");
      case koral::mode_sp_d: return indexed("SP");
      case koral::mode_hl_d: return indexed("HL");
      case koral::mode_pc_a: return "[PC+A]";
      case koral::mode_iz_c: return "[IZ+C]";
      case koral::mode_iz_d: return indexed("IZ");
      default: return "[?]";
    }
  }

  std::string target(const OperandValue& v, int bits) const {
    if (v.item >= 0) return item_text(v.item, v.item_offset);
    int32_t displacement = bits == 5 ? static_cast<int32_t>((v.value ^ 0x10) & 0x1F) - 0x10
                                     : static_cast<int8_t>(v.value);
    int64_t delta = displacement + koral::relative_adjustment(mnemonic_, form_index_);
    if (v_.target_text) return v_.target_text(delta);
    return delta == 0 ? "$" : "$" + signed_text(static_cast<int32_t>(delta));
  }

  std::string operand_text(int i) const {
    const OperandShape& o = shape_.operand[i];
    const OperandValue& v = ops_[i];
    const Names& n = names();
    std::string s;
    switch (o.shape) {
      case Shape::none: break;
      case Shape::fixed: s = o.text; break;
      case Shape::reg8: case Shape::reg8_x8: s = n.reg8[v.code & 7]; break;
      case Shape::reg16: case Shape::reg16_x8: case Shape::reg16_pair: case Shape::reg16_index:
      case Shape::reg16_div:
        s = n.reg16[v.code & 7];
        break;
      case Shape::cond_short: s = n.cond_short[v.code & 7]; break;
      case Shape::cond_ext: s = n.cond_ext[v.code & 7]; break;
      case Shape::rel5: s = target(v, 5); break;
      case Shape::rel8: s = target(v, 8); break;
      case Shape::vector4: s = v.item >= 0 ? item_text(v.item, v.item_offset) : std::to_string(v.value); break;
      case Shape::imm8: case Shape::imm16: case Shape::imm24: case Shape::imm_mnx:
        s = v.item >= 0 ? item_text(v.item, v.item_offset) : number_text(v.value);
        break;
      case Shape::direct8:
        s = "[" + (v.item >= 0 ? item_text(v.item, v.item_offset) : address_text(v.value, 1)) + "]";
        break;
      case Shape::mem_src: case Shape::mem_dst: s = memory_text(v); break;
      case Shape::sp_plus: s = "SP+" + number_text(v.value); break;
      case Shape::sp_minus: s = "SP-" + number_text(v.value); break;
      case Shape::sp_relocated: s = "SP+" + wrap_signed(item_text(v.item, v.item_offset)); break;
    }
    if (o.suffix == Suffix::bit)
      s += "." + (v.bit_item >= 0 ? item_text(v.bit_item, v.bit_offset) : std::to_string(v.bit));
    else if (o.suffix == Suffix::register_a)
      s += ".A";
    return s;
  }

  // Whether the assembler, given this text, chooses this very form: where
  // two encodings mean the same, its classification prefers the shorter
  // (LD A,[HL] is 0D, never E3 40) and picks direct modes by the address.
  bool canonical() const {
    using namespace koral;
    const OperandValue& a = ops_[0];
    const OperandValue& b = ops_[1];
    const int32_t reg_a = 0;
    auto short_or_hl = [](int32_t mode) { return (mode & ~1) == mode_short_direct || (mode & ~1) == mode_hl; };
    for (const OperandValue* v : {&a, &b}) {
      if (v->mode < 0 || v->item >= 0) continue;
      if ((v->mode & ~1) == mode_direct16 && v->value <= 0xFF) return false;
      if ((v->mode & ~1) == mode_direct24 && v->value <= 0xFFFF) return false;
    }
    switch (mnemonic_) {
      case mn_ld:
        switch (form_index_) {
          case 9: return b.value != 0;
          case 10: return a.code != reg_a;
          case 13: return a.code != reg_a && b.code != reg_a;
          case 18: return !(a.code == reg_a && short_or_hl(b.mode));
          case 20: return (b.mode & ~1) != mode_short_direct;
          case 22: return !(b.code == reg_a && short_or_hl(a.mode));
          case 24: return !short_or_hl(a.mode);
          default: return true;
        }
      case mn_clr: case mn_set: return !(form_index_ == 3 && (a.mode & ~1) == mode_short_direct);
      case mn_test: return !(form_index_ == 2 && (a.mode & ~1) == mode_short_direct);
      case mn_cmp: if (form_index_ == 6 && (a.mode & ~1) == mode_short_direct) return false; [[fallthrough]];
      case mn_addc: case mn_add: case mn_subb: case mn_sub: case mn_and: case mn_or: case mn_xor:
        return !(form_index_ == 2 && a.code == reg_a);
      case mn_shlc: case mn_shrc: return b.item >= 0 || b.value <= 7;
      case mn_shlca: case mn_shrca: return b.item >= 0 || b.value <= (is_index_code(a.code) ? 23u : 15u);
      default: return true;
    }
  }

  static constexpr int max_slots = 6;
  const CodeView& v_;
  std::size_t at_, limit_;
  int32_t mnemonic_, form_index_;
  const koral::Form& form_;
  const FormShape& shape_;
  std::size_t p_;
  Slot slots_[max_slots];
  int slot_count_ = 0;
  uint32_t item_offset_ = 0;
  OperandValue ops_[2];
};

}  // namespace

std::string mnemonic_name(int32_t mnemonic) {
  auto it = names().mnemonics.find(mnemonic);
  return it == names().mnemonics.end() ? "?" : it->second;
}

std::optional<DecodedInstruction> decode_instruction(const CodeView& view, std::size_t at, std::size_t limit) {
  if (limit > view.count) limit = view.count;
  if (at >= limit) return std::nullopt;
  std::optional<DecodedInstruction> fallback;
  for (int32_t m = koral::first_mnemonic; m <= koral::last_mnemonic; ++m) {
    const koral::MnemonicEntry* entry = koral::find_mnemonic(m);
    std::span<const FormShape> shapes = form_shapes(m);
    if (!entry || shapes.size() != static_cast<std::size_t>(entry->form_count)) continue;
    for (int32_t f = 0; f < entry->form_count; ++f) {
      FormDecoder d(view, at, limit, m, f, entry->forms[f], shapes[static_cast<std::size_t>(f)]);
      if (!d.run()) continue;
      DecodedInstruction result = d.result();
      if (result.canonical) return result;
      if (!fallback) fallback = result;
    }
  }
  return fallback;
}

std::optional<DecodedInstruction> decode_bytes(const std::vector<uint8_t>& bytes) {
  std::vector<CodeCell> cells(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) cells[i].byte = bytes[i];
  CodeView view;
  view.cells = cells.data();
  view.count = cells.size();
  return decode_instruction(view, 0, cells.size());
}

}  // namespace koraldump
