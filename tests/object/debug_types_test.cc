// Type numbers of the debug directives and the type groups of SYMBOL_T.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "driver/assembly.h"
#include "object/debug_types.h"

namespace koral {
namespace {

struct TypeRun {
  std::unique_ptr<Assembly> run = std::make_unique<Assembly>();
  Assembly& a = *run;
  const std::vector<TypeGroup>& groups() const { return a.debug.types.groups; }
};

// "idx letter name: fields" for every group, fields as numbers or "name".
std::string show(const std::vector<TypeGroup>& groups) {
  std::string out;
  for (const TypeGroup& g : groups) {
    out += std::to_string(g.index) + " " + std::to_string(g.letter) + " '" + std::string(g.name) + "':";
    for (const TypeField& f : g.fields)
      out += f.is_name ? " \"" + std::string(f.name) + "\"" : " " + std::to_string(f.number);
    out += "; ";
  }
  return out;
}

DebugTypeNode letter(std::string_view text) { return DebugTypeNode{294, 0, text}; }
DebugTypeNode text(std::string_view t) { return DebugTypeNode{296, 0, t}; }
DebugTypeNode number(int32_t v) { return DebugTypeNode{299, v, {}}; }

// 0..16 and 29..32 map through the fixed table.  17..28 are pointers (P) to
// number - 16, 33..44 pointers (O) to number - 32, defined by a group of
// their own on first use; other numbers take indices from 256 and keep them.
TEST(DebugTypes, TypeNumbers) {
  TypeRun fixed;
  const uint32_t low[17] = {0, 1, 19, 3, 23, 22, 16, 18, 20, 7, 10, 11, 12, 13, 14, 15, 16};
  for (int32_t n = 0; n <= 16; ++n) EXPECT_EQ(map_type(fixed.a, n), low[n]) << n;
  for (int32_t n = 29; n <= 32; ++n) EXPECT_EQ(map_type(fixed.a, n), static_cast<uint32_t>(n));
  EXPECT_TRUE(fixed.groups().empty());
  struct Case {
    std::vector<std::pair<int32_t, uint32_t>> numbers;  // number, index given
    const char* groups;
  };
  const Case cases[] = {
      {{{17, 256}, {44, 257}, {28, 258}, {17, 256}}, "256 80 '': 1; 257 79 '': 12; 258 80 '': 12; "},
      {{{1000, 256}, {-3, 257}, {45, 258}, {1000, 256}}, ""},
  };
  for (const Case& c : cases) {
    TypeRun t;
    for (const auto& [number, index] : c.numbers) EXPECT_EQ(map_type(t.a, number), index) << number;
    EXPECT_EQ(show(t.groups()), c.groups);
  }
}

TEST(DebugTypes, ProcedureLetterWords) {
  struct Case {
    const char* word;
    int32_t flags;
  };
  const Case cases[] = {
      {"xa", 256}, {"xc", 0},   {"xe", 128},   {"xi", 128},  {"xr", 512}, {"x12", 128}, {"xn", 128},
      {"xcf", 4},  {"xcn", 2},  {"xrnf", 518}, {"xnn", 130}, {"x7f", 132}, {"x", -1},   {"xq", -1},
      {"xcff", -1}, {"xcfq", -1}, {"yc", -1},   {"", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(procedure_flags(c.word), c.flags) << c.word;
}

// Each letter with well-formed operands: the groups it adds.  The declared
// number is mapped first, then the operand types, then the chained levels.
TEST(DebugTypes, GroupsOfEachLetter) {
  struct Case {
    std::vector<DebugTypeNode> list;
    const char* groups;
  };
  const std::vector<Case> cases = {
      {{letter("S"), text("pair"), number(2), text("lo"), number(1), number(0), text("hi"), number(2),
        number(1)},
       "256 83 'pair': 2 \"lo\" 1 0 \"hi\" 19 1; "},
      {{letter("U"), text("u"), number(4)}, "256 85 'u': 4; "},
      {{letter("P"), text("p"), number(1)}, "256 80 '': 1; "},
      {{letter("O"), text(""), number(3), number(3)}, "257 79 '': 3; 258 79 '': 257; 256 79 '': 258; "},
      {{letter("Z"), text(""), number(1), number(2), number(5)}, "257 90 '': 1 1; 256 90 '': 257 4; "},
      {{letter("gs"), text("i"), number(16)}, "256 103 '': 1 16; "},
      {{letter("gu"), text(""), number(8)}, "256 103 '': 0 8; "},
      {{letter("nc"), text(""), number(2)}, "256 110 '': 1 19; "},
      {{letter("nv"), text(""), number(17)}, "257 80 '': 1; 256 110 '': 2 257; "},
      {{letter("T"), text("word"), number(9)}, "256 84 'word': 7; "},
      {{letter("N"), text("color"), number(1), number(3), text("red"), number(0), text("blue"), number(2)},
       "256 78 'color': 1 3 \"red\" 0 \"blue\" 2; "},
      {{letter("xcf"), text("f"), number(5), number(-1)}, "256 120 'f': 4 5 4294967295; "},
      {{letter("S"), text("s"), number(1), text("m"), number(17), number(0)},
       "257 80 '': 1; 256 83 's': 1 \"m\" 257 0; "},
  };
  for (const Case& c : cases) {
    TypeRun t;
    EXPECT_TRUE(define_type(t.a, 500, c.list)) << c.groups;
    EXPECT_EQ(show(t.groups()), c.groups);
  }
}

TEST(DebugTypes, OperandsThatDoNotFitTheirLetter) {
  const std::vector<std::vector<DebugTypeNode>> cases = {
      {letter("Q"), text(""), number(1)},                     // no such letter
      {letter("S"), number(2)},                               // no name
      {letter("S"), text("s"), text("x")},                    // size not a number
      {letter("S"), text("s"), number(2), text("m"), number(1)},  // member without offset
      {letter("P"), text("")},                                // no base type
      {letter("P"), text(""), number(1), number(0)},          // no levels
      {letter("P"), text(""), number(1), text("x")},
      {letter("Z"), text(""), number(1)},                     // no dimension
      {letter("Z"), text(""), number(1), number(0)},
      {letter("gs"), text(""), number(1), number(2)},
      {letter("nc"), text(""), text("x")},
      {letter("T"), text("t")},
      {letter("N"), text("e"), number(3), number(0)},         // neither 1 nor 2
      {letter("N"), text("e"), number(1), number(0), text("a")},
      {letter("xc"), text("f"), text("x")},
      {letter("xz"), text("f")},
      {text("S"), text("s"), number(1)},                      // letter not a name
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    TypeRun t;
    EXPECT_FALSE(define_type(t.a, 500, cases[i])) << i;
    EXPECT_TRUE(t.groups().empty()) << i;
  }
}

}  // namespace
}  // namespace koral
