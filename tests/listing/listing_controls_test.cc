// $TITLE, $EJECT, $LIST, $NOLIST, $SAVE and $RESTORE in whole runs, with
// their warnings 510, 511 and 512 and the -T option: one row per run, the
// diagnostics it prints and the parts of the listing it must hold.
#include <gtest/gtest.h>

#include "listing/listing_test_support.h"

namespace koral {
namespace {

using listing_test::fields;
using listing_test::headings;
using listing_test::ListingRun;
using listing_test::no_location;

std::string header(int page, std::string_view title) {
  char text[64];
  std::snprintf(text, sizeof text, "[Page %5d]  ", page);
  return "\fKORAL Relocatable Assembler (32) V1.0b  " + std::string(text) + std::string(title) + "\r\n\r\n";
}

// "{t}" in a diagnostic or listing part stands for the source's full name.
std::string with_name(std::string text, const std::string& name) {
  for (std::size_t at = text.find("{t}"); at != std::string::npos; at = text.find("{t}", at))
    text.replace(at, 3, name);
  return text;
}

struct ControlCase {
  const char* what;
  std::string source;
  std::vector<std::string> options;
  std::string diagnostics;          // standard error
  std::vector<std::string> listed;  // parts the listing holds
};

std::vector<ControlCase> control_cases() {
  const std::string warn512 = "ASMKORAL-Warning-512 : Save stack overflow\n";
  return {
      {"save stack underflow and overflow",
       "$RESTORE\n$SAVE\n$SAVE\n$SAVE\n$SAVE\n$SAVE\n$SAVE\n$SAVE\n$SAVE\n$SAVE\n  END\n",
       {"-l", "-Xt"},
       "{t} 1 : " + warn512 + "{t} 10 : " + warn512,
       {}},
      {"save and restore without a listing", "$RESTORE\n  END\n", {"-Xt"}, "{t} 1 : " + warn512, {}},
      {"title without listing options", "$TITLE \"MAIN LOOP\"\n  END\n", {"-Xt"},
       "{t} 1 : ASMKORAL-Warning-510 : Ignored this TITLE\n", {}},
      // The title line follows the headings on page 1; the only page break is
      // the one before the symbol table, whose header has no title.
      {"title under -T", "$TITLE \"MAIN LOOP\"\n  END\n", {"-l", "-T", "-Xt"}, "",
       {std::string(headings) + fields(no_location, "", "  ", 0, 1, 1) + "$TITLE \"MAIN LOOP\"\n",
        header(2, "")}},
      {"first line a title keeps the first-page diagnostics", "$TITLE \"T\"\n  END\n",
       {"-l", "-Xt", "-Fa", "-Fc"}, "ASMKORAL-Warning-519 : Ignored option '-Fc'\n",
       {"ASMKORAL-Warning-519 : Ignored option '-Fc'\r\n\r\n" + std::string(headings) + header(2, "T") +
        fields(no_location, "", "  ", 0, 1, 1) + "$TITLE \"T\"\n"}},
      // The $EJECT line is written without being counted; the diagnostic of an
      // $EJECT statement begins a page of its own.
      {"eject with the listing switched off", "$NOLIST\n$EJECT\n$LIST\n  END\n", {"-lp33", "-Xt"},
       "{t} 2 : ASMKORAL-Warning-511 : Ignored this EJECT\n",
       {std::string(headings) + fields(no_location, "", "  ", 0, 2, 2) + "$EJECT\n" + header(2, "") +
        "{t} 2 : ASMKORAL-Warning-511 : Ignored this EJECT\r\n" + fields(no_location, "", "  ", 0, 3, 3) +
        "$LIST\n" + fields(no_location, "", "  ", 0, 4, 4) + "  END\n\r\nAssembly complete,"}},
  };
}

TEST(ListingControls, DiagnosticsAndListingOfEachRun) {
  for (const ControlCase& c : control_cases()) {
    ListingRun run;
    run.assemble(c.source, c.options);
    const std::string name = run.path("t.asm");
    EXPECT_EQ(run.stderr_text, with_name(c.diagnostics, name)) << c.what;
    for (const std::string& part : c.listed)
      EXPECT_NE(run.listing.find(with_name(part, name)), std::string::npos) << c.what << "\n" << run.listing;
  }
}

}  // namespace
}  // namespace koral
