// The texts koraldump prints for a module: every record with its decoded
// fields, the summary of sections and symbols, the contents of the sections
// in hexadecimal, and the disassembly of the code as assembler source.
#pragma once

#include <ostream>
#include <string>

#include "expression_tree.h"
#include "module.h"

namespace koraldump {

void print_records(const Module& m, std::ostream& out);
void print_headers(const Module& m, std::ostream& out);
void print_contents(const Module& m, std::ostream& out);
void print_disassembly(const Module& m, std::ostream& out);

// Names variables as the dump shows them: letter and index, and the name of
// the section or symbol when the module has one (R1(prog), X12(ext)).
class DumpNamer : public Namer {
 public:
  explicit DumpNamer(const Module& m) : m_(m) {}
  std::string variable(uint8_t letter, uint32_t index) override;

 private:
  const Module& m_;
};

// An expression in the dump's infix form, or its items in order when they
// form no tree.
std::string expression_text(const Module& m, const Expression& e);

// A number in decimal, with its hexadecimal form beside it from 10 on.
std::string decimal_hex(uint64_t value);

// A name between double quotes, other than printable characters escaped.
std::string quoted(const std::string& text);

}  // namespace koraldump
