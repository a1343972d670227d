// The symbol table and cross-reference listing: sort order, the columns of
// section, symbol and module lines, long names, references across refsym
// blocks, section names wrapped under a page width, the unsorted form and
// the totals.
#include <gtest/gtest.h>

#include <cstdio>

#include "listing/listing_test_support.h"
#include "listing/symbol_listing.h"
#include "symbols/hash.h"
#include "symbols/symbol_table.h"

namespace koral {
namespace {

using listing_test::ListingRun;

constexpr char plain_headings[] =
    "Symbol table listing\r\n"
    "--------------------\r\n"
    "\r\n"
    "Symbol           Category         Value     Attribute\r\n"
    "\r\n";
constexpr char xref_headings[] =
    "Cross reference & Symbol table listing\r\n"
    "--------------------------------------\r\n"
    "\r\n"
    "Symbol           Category         Value     Attribute   Cross_reference\r\n"
    "\r\n";

std::string blanks(std::size_t n) { return std::string(n, ' '); }

struct TableCase {
  const char* what;
  std::string source;
  std::vector<std::string> options;
  std::string table;  // from the first line of the symbol table on
};

std::vector<TableCase> table_cases() {
  const std::string totals = "\r\n\r\nTOTAL\r\n";
  std::string label = std::string("C ") + "M " + "    " + "LAB" + "      " + "00000000  " + "R " + "          ";
  return {
      {"columns of every kind of name",
       "  MODULE demo\n"
       "  PUBLIC PL, PV, PE\n"
       "  EXTERN EX, UNUSED\n"
       "CODE1 SECTION CODE\n"
       "START:\n"
       "TAB DB 1,2\n"
       "PL:\n"
       "PV DW 5\n"
       "PE EQU 0x10\n"
       "NUM EQU -1\n"
       "DATA1 SECTION DATA\n"
       "BUF DSB 4\n"
       "ABS1 SECTION CODE ABS=0x100\n"
       "HERE:\n"
       "  DW EX\n"
       "  END\n",
       {"-l", "-Xt"},
       std::string(plain_headings) +
           "ABS1            " " C " "  " "    SEC      " "00000100  " "A " "2         " "\r\n"
           "BUF              " "D " "M " "    " "VAR" "      " "00000000  " "R " "          " "DATA1" "\r\n"
           "CODE1           " " C " "M " "    SEC      " "00000000  " "R " "4         " "\r\n"
           "DATA1           " " D " "M " "    SEC      " "00000000  " "R " "4         " "\r\n"
           "EX               " "  " "  " "    " "   " "      " "00000000  " "R " "EXT       " "\r\n"
           "HERE             " "C " "  " "    " "LAB" "      " "00000100  " "A " "          " "\r\n"
           "NUM              " "  " "  " "    " "NUM" "      " "FFFFFFFF  " "A " "          " "\r\n"
           "PE               " "  " "  " "    " "NUM" "      " "00000010  " "A " "PUB       " "\r\n"
           "PL               " "C " "M " "    " "LAB" "      " "00000002  " "R " "PUB       " "CODE1" "\r\n"
           "PV               " "C " "M " "    " "VAR" "      " "00000002  " "R " "PUB       " "CODE1" "\r\n"
           "START            " "C " "M " "    " "LAB" "      " "00000000  " "R " "          " "CODE1" "\r\n"
           "TAB              " "C " "M " "    " "VAR" "      " "00000000  " "R " "          " "CODE1" "\r\n"
           "demo                     MOD\r\n" +
           totals + "   13 user defined symbol(s)\r\n" + "    1 unreferenced external symbol(s)\r\n"},
      {"names sort byte-wise with references and definitions",
       "CODE1 SECTION CODE\nB1:\nA10:\nA2:\n  DW A2, B1\n  DW A2\n  END\n", {"-lx", "-Xt"},
       std::string(xref_headings) + "A10              " + label + "CODE1" + "\t    3#\r\n" +
           "A2               " + label + "CODE1" + "\t    5\t    6\t    4#\r\n" +
           "B1               " + label + "CODE1" + "\t    5\t    2#\r\n" +
           "CODE1           " " C " "M " "    SEC      " "00000000  " "R " "6         " + "    1#\r\n" +
           "t                        MOD\r\n" + totals + "    5 user defined symbol(s)\r\n"},
      {"long names move the rest of their line",
       "  MODULE MODULENAME17CHARS\nSECTIONNAME16CHR SECTION CODE\nLABELNAME16CHARS:\nLABEL15CHARACTR:\n  END\n",
       {"-l", "-Xt"},
       std::string(plain_headings) + "LABEL15CHARACTR  " + label + "SECTIONNAME16CHR" + "\r\n" +
           "LABELNAME16CHARS\r\n" + blanks(17) + label + "SECTIONNAME16CHR" + "\r\n" + "MODULENAME17CHARS\r\n" +
           blanks(25) + "MOD\r\n" + "SECTIONNAME16CHR\r\n" + blanks(16) +
           " C " "M " "    SEC      " "00000000  " "R " "0         " "\r\n" + totals + "    4 user defined symbol(s)\r\n"},
      {"module name of sixteen characters stays on its line", "  MODULE MODULENAME16CHRS\n  END\n", {"-lx", "-Xt"},
       std::string(xref_headings) + "MODULENAME16CHRS" + blanks(9) + "MOD" + blanks(28) + "    1#\r\n" + totals +
           "    1 user defined symbol(s)\r\n"},
      // The section name starts in column 56; its first 16 characters fill the
      // line up to the width of 72.
      {"section name of a symbol wraps at the page width", "ABCDEFGHIJKLMNOPQRST SECTION CODE\nX:\n  END\n",
       {"-lw72", "-Xt"},
       std::string(plain_headings) + "ABCDEFGHIJKLMNOPQRST\r\n" + blanks(16) +
           " C " "M " "    SEC      " "00000000  " "R " "0         " "\r\n" +
           "X                C M     LAB      00000000  R           ABCDEFGHIJKLMNOP\r\n" + blanks(56) + "QRST\r\n" +
           "t                        MOD\r\n" + totals + "    3 user defined symbol(s)\r\n"},
      {"no symbol table under s", "X:\n  END\n", {"-ls", "-Xt"}, "(no symbol table)"},
  };
}

TEST(SymbolListing, TableOfEachSource) {
  for (const TableCase& c : table_cases()) {
    ListingRun run;
    run.assemble(c.source, c.options);
    EXPECT_EQ(run.symbol_table(), c.table) << c.what;
  }
}

TEST(SymbolListing, ReferencesOverThreeBlocksWithoutAPageWidth) {
  ListingRun run;
  std::string source = "CODE1 SECTION CODE\nX:\n";
  for (int i = 0; i < 25; ++i) source += "  DW X\n";
  run.assemble(source + "  END\n", {"-lx", "-Xt"});
  std::string x = "X                C M     LAB      00000000  R           CODE1";
  char number[16];
  for (int line = 3; line <= 27; ++line) {
    std::snprintf(number, sizeof number, "\t%5d", line);
    x += number;
  }
  x += "\t    2#\r\n";
  std::string table = run.symbol_table();
  EXPECT_NE(table.find(x), std::string::npos) << table;
}

// The unsorted form, as listed when no sort table could be had: sections in
// the order they were made, then the user symbols in table order (bucket by
// bucket), the forward-referenced ones included, then the module name.
TEST(SymbolListing, UnsortedFormFollowsTableOrder) {
  auto run = std::make_unique<Assembly>();
  Assembly& a = *run;
  std::FILE* file = std::tmpfile();
  a.listing.file = file;
  a.listing.first_page_written = true;
  a.listing.line_count = 10;
  a.run.options |= opt_listing;
  a.run.module_name = "m";

  auto section = [&](std::string_view name, int32_t kind) -> Section& {
    lookup_section(a, name, hash_name(name));
    return *insert_name(a, name, kind).section;
  };
  auto symbol = [&](std::string_view name, int32_t kind) -> Symbol& {
    lookup_symbol(a, name, hash_name(name));
    return *insert_name(a, name, kind).symbol;
  };
  Section& z = section("ZSEC", section_code);
  z.size_attribute = 16;
  Section& s = section("ASEC", section_data | section_absolute);
  s.start = 0x200;
  s.size = 0x10;
  Symbol& b = symbol("B", kind_label);
  b.section = &z;
  b.value = 3;
  symbol("$", kind_label);
  symbol("F", kind_forward);
  symbol("A", kind_equ).value = 5;

  a.listing.symbol_order = SymbolOrder::unsorted;
  list_symbol_table(a);
  std::fflush(file);
  std::rewind(file);
  std::string text;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
  a.listing.file = nullptr;
  std::fclose(file);

  std::string expected =
      "\fKORAL Relocatable Assembler (32) V1.0b  [Page     2]  \r\n\r\n" + std::string(plain_headings) +
      "ZSEC            " " C " "M " "    SEC      " "00000000  " "R " "0         " "\r\n"
      "ASEC            " " D " "  " "    SEC      " "00000200  " "A " "10        " "\r\n"
      "A                " "  " "  " "    " "NUM" "      " "00000005  " "A " "          " "\r\n"
      "B                " "C " "M " "    " "LAB" "      " "00000003  " "R " "          " "ZSEC" "\r\n"
      "F                " "  " "  " "    " "   " "      " "00000000  " "R " "          " "\r\n"
      "m                        MOD\r\n"
      "\r\n\r\nTOTAL\r\n"
      "    6 user defined symbol(s)\r\n";
  EXPECT_EQ(text, expected);
}

}  // namespace
}  // namespace koral
