// Object modules for the koraldump tests, written out byte by byte.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "dump.h"
#include "module.h"

namespace koraldump::test {

// Bytes from hexadecimal text; blanks are ignored.
inline std::vector<uint8_t> bytes_of(const std::string& text) {
  std::vector<uint8_t> out;
  std::string digits;
  for (char c : text)
    if (c != ' ' && c != '\n') digits += c;
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
    out.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
  return out;
}

inline std::vector<uint8_t> text_bytes(const std::string& text) { return {text.begin(), text.end()}; }

inline void append(std::vector<uint8_t>& to, const std::vector<uint8_t>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

// The module of the object writer's worked example: source demo.asm, module
// demo, command line "asmKORAL demo.asm", time stamp 2026-12-04 15:30:00,
// one relocatable CODE section prog (LARGE, alignment 1) with the public
// label start at offset 0 and the code bytes 12 34 56.
inline std::vector<uint8_t> worked_example() {
  std::vector<uint8_t> m = bytes_of(
      "E0 05 4B4F52414C 04 64656D6F"
      "EC 08 03 CC"
      "E2D7 00 84 00000050  E2D7 01 84 00000066  E2D7 02 84 000000A4  E2D7 03 84 000000B4"
      "E2D7 04 84 000000C9  E2D7 05 84 000000F1  E2D7 06 84 000000FD  E2D7 07 84 000000FD"
      "F0 20 00"
      "F1CE 20 00 25 04 00"
      "F1CE 20 00 26 02"
      "F1CE 20 00 27 02"
      "F0 21 00"
      "F1CE 21 00 32 82 07EA 0C 04 0F 1E 00"
      "F1CE 21 00 33 11");
  append(m, text_bytes("asmKORAL demo.asm"));
  append(m, bytes_of(
      "F1CE 21 00 34 00"
      "F1CE 21 00 35 02"
      "F1CE 21 00 36 82 019C 01 00 C2"
      "E6 01 C3 D0 04 70726F67"
      "E7 01 01"
      "E2D3 01 03"
      "E8 22 05 7374617274"
      "F1C9 22 0F 13 00"
      "E2C9 22 D2 01 00 A5"
      "F8 0A 00 08 64656D6F2E61736D 00 82 019C 04 312E3062 82 07EA 0C 04 0F 1E 00"
      "F8 0B 00 00 01 01 D2 01 F9 03"
      "F9"
      "E5 01"
      "E2D0 01 D2 01"
      "E4 03 12 34 56"
      "E1"));
  return m;
}

inline std::string dump_records(const std::vector<uint8_t>& bytes) {
  Module m = load_module(bytes.data(), bytes.size());
  std::ostringstream out;
  print_records(m, out);
  return out.str();
}

}  // namespace koraldump::test

namespace koraldump::test {

// Builds a module record by record; the part offsets W0..W7 are noted where
// each part starts and written into the table after MB and AD at the end.
class ModuleBytes {
 public:
  explicit ModuleBytes(const std::string& head) {
    append(bytes_, bytes_of(head));
    table_ = bytes_.size();
    bytes_.resize(bytes_.size() + 64, 0);
  }
  ModuleBytes& part(int k) {
    parts_[k] = static_cast<uint32_t>(bytes_.size());
    return *this;
  }
  ModuleBytes& add(const std::string& hex_bytes) {
    append(bytes_, bytes_of(hex_bytes));
    return *this;
  }
  ModuleBytes& text(const std::string& t) {
    append(bytes_, text_bytes(t));
    return *this;
  }
  std::size_t size() const { return bytes_.size(); }
  std::vector<uint8_t> finish() {
    std::vector<uint8_t> out = bytes_;
    for (int k = 0; k < 8; ++k) {
      uint8_t* p = out.data() + table_ + 8 * k;
      const uint8_t asw[] = {0xE2, 0xD7, static_cast<uint8_t>(k), 0x84, static_cast<uint8_t>(parts_[k] >> 24),
                             static_cast<uint8_t>(parts_[k] >> 16), static_cast<uint8_t>(parts_[k] >> 8),
                             static_cast<uint8_t>(parts_[k])};
      std::copy(asw, asw + 8, p);
    }
    return out;
  }

 private:
  std::vector<uint8_t> bytes_;
  std::size_t table_ = 0;
  uint32_t parts_[8] = {};
};

// A module with two sections (a relocatable MEDIUM CODE section "code" and
// an absolute DATA section "vars" at 0x8000), a public label and a public
// number, a SMALL external, a local label described with -g, relocated
// items of the instruction templates, a filled gap and repeated data.
// `vars_data` is the data part of "vars", from its SB record on.
inline std::vector<uint8_t> relocation_example(
    const char* vars_data = "E5 02  E2D0 02 82 8000  ED 02 01 80  F7 02  ED 01 EE") {
  ModuleBytes m("E0 05 4B4F52414C 06 72656C6F6373  EC 08 03 CC");
  m.part(0).add("F0 20 00  F1CE 20 00 25 04 00");
  m.part(1).add("F0 21 00  F1CE 21 00 32 82 07EA 0C 04 0F 1E 00  F1CE 21 00 34 01");
  m.part(2)
      .add("E6 01 D9 C3 D0 04").text("code").add("E7 01 02  E2D3 01 20")
      .add("E6 02 C1 D3 C4 04").text("vars").add("E2D3 02 04  E2CC 02 82 8000");
  m.part(3)
      .add("E8 22 05").text("entry").add("F1C9 22 0F 13 00  E2C9 22 D2 01 00 A5")
      .add("E8 23 05").text("limit").add("F1C9 23 0F 13 00  E2C9 23 81 C8")
      .add("E9 0C 03").text("ext").add("F1D8 0C 0F 80 02");
  m.part(4)
      .add("F8 0A 00 05").text("r.asm").add("00 82 019C 04").text("1.0b").add("82 07EA 0C 04 0F 1E 00")
      .add("F0 24 04").text("loop").add("F1CE 24 0F 13 01 00  E2CE 24 D2 01 0C A5")
      .add("F9");
  m.part(5)
      .add("E5 01  E2D0 01 D2 01")
      // entry: JR ext (FC and a JR item, field offset 1)
      .add("E4 01 FC  E4 BA D8 0C D0 01 01 A6 A6 02 A6 81 80 A5 00 82 01 00 04 B9 81 80 A6 01 BB")
      // JRS T,ext: the whole opcode byte
      .add("E4 BC D8 0C D0 01 A6 02 A6 10 A5 00 20 04 B9 10 A6 1F B0 81 80 A5 01 BD")
      // CALLV ext at model level 1
      .add("E4 BC 70 D8 0C 82 FF A0 A6 02 A7 00 10 04 B9 A5 01 BD")
      // SET [0x20].ext
      .add("E4 BC 81 C0 D8 0C 00 08 04 B9 A5 01 BD  E4 01 20")
      // LD A,[0x02]
      .add("E4 02 0C 02")
      // CALL loop: the local label by its N index
      .add("E4 01 FD  E4 BC CE 24 03 BD")
      // loop: LD HL,$ (the field one byte into the instruction)
      .add("E4 01 4B  E4 BC D0 01 01 A6 02 BD")
      // JR loop as a plain displacement (12 - 15 - 2), then a gap of 11 filled bytes
      .add("E4 02 FC FB")
      .add("F7 0B  E4 01 00  E2D0 01 D2 01 1F A5")
      // the last byte of the section
      .add("E4 01 FA")
      // by default the bytes 01 80, then DFB 2,0xEE
      .add(vars_data);
  m.part(6).part(7).add("E1");
  return m.finish();
}

}  // namespace koraldump::test
