#include "diag/messages.h"

#include <array>

namespace koral {

namespace {

struct CatalogueEntry {
  int code;
  const char* text;
};

// Entries marked "not issued" are in the catalogue though nothing reports them.
constexpr CatalogueEntry catalogue[] = {
    {20, "Can't open"},
    {21, "Can't close"},
    {22, "Can't read"},
    {23, "Can't write"},
    {24, "Can't seek"},
    {100, "No source file found in invocation"},
    {101, "Illegal file specification"},
    {102, "File must be a disk"},
    {103, "files are the same"},
    {104, "Duplicated source file name"},  // not issued
    {105, "Bad parameter syntax"},
    {106, "Missing parameter"},
    {107, "Illegal sub option in '-l'"},
    {108, "Not parameter allowed"},  // not issued
    {109, "Unrecognized option"},
    {110, "Numeric constant out of range"},
    {111, "Can't nest a command file"},
    {150, "Internal (system) error"},
    {151, "Illegal temporary file format"},  // not issued
    {152, "Illegal source file format"},
    {153, "Unbalanced symbol table entries (missing scope)"},  // not issued
    {154, "Internal object file error"},
    {155, "Too many expressions"},
    {156, "Optimization table overflow"},
    {157, "Symbol not in symbol table"},  // not issued
    {158, "String table overflow"},
    {159, "Hash table overflow"},  // not issued
    {160, "Symbol table overflow"},
    {161, "Out of memory"},
    {162, "Command line too long"},
    {163, "Too many \"file\" instructions"},
    {200, "Syntax error"},
    {201, "Attempt to divide by zero"},
    {202, "Illegal numeric constant"},
    {203, "Multi-defined symbol \"%s\""},
    {204, "Invalid relocatable expression"},
    {205, "Unbalanced parentheses"},
    {206, "Invalid expression"},
    {207, "Expecting identifier"},  // not issued
    {208, "Illegal label or variable"},
    {209, "Illegal character string"},
    {210, "Not allowed public attribute"},
    {211, "Too many SECTIONS defined"},  // not issued
    {212, "Illegal SECTION directive"},
    {213, "Absolute section address expected"},  // not issued
    {215, "No section definition"},
    {216, "Invalid section attribute"},
    {217, "Absolute section error"},
    {218, "Illegal control"},
    {220, "Reference to multi-defined symbol"},
    {221, "Undefined symbol"},
    {222, "Absolute expression expected"},
    {223, "Not allowed forward reference"},
    {224, "Not allowed external reference"},  // not issued
    {225, "Not allowed section reference"},
    {226, "Illegal symbol reference"},
    {227, "Out of range for relative reference"},
    {228, "Overflow in location counter"},
    {229, "Location counter can't point lower address"},
    {230, "Operand type mismatch"},
    {231, "Too few or many operands"},
    {232, "Section \"%s\" does not exist"},
    {234, "The nesting level is exceeded"},
    {235, "Can't open include file \"%s\""},  // not issued
    {236, "File must be a disk"},
    {290, "Illegal operand value for shift instruction"},
    {300, "Illegal operand value for CALLV"},
    {500, "Illegal string constant"},
    {501, "Operand value is out of range"},
    {502, "Too long title"},
    {503, "Some optimizations lost"},
    {504, "Invalid instruction in this section"},
    {505, "Invalid directive in this section"},
    {506, "No END directive"},
    {507, "Text found after END statement"},
    {508, "Invalid value in ALIGN directive"},
    {509, "Duplicated MODULE directive"},
    {510, "Ignored this TITLE"},
    {511, "Ignored this EJECT"},
    {512, "Save stack overflow"},
    {513, "\"%s\" ignored extern symbol(s)"},  // not issued
    {514, "Source file empty"},
    {515, "Illegal parameter"},
    {516, "Illegal escape sequence"},
    {517, "This section already has a different attribute"},
    {518, "The floating-point type is not correct"},
    {519, "Ignored option '%s'"},
    {550, "Can't create a sort table, display symbols at randam"},
    {600, "Invalid instruction or register reference in MINIMUM mode"},  // not issued
    {601, "Invalid instruction or register reference in MAXIMUM mode"},  // not issued
};

constexpr int highest_code = 601;

constexpr std::array<const char*, highest_code + 1> build_index() {
  std::array<const char*, highest_code + 1> index{};
  for (const CatalogueEntry& entry : catalogue) index[entry.code] = entry.text;
  return index;
}

constexpr auto index_by_code = build_index();

}  // namespace

Severity severity_of(int code) {
  if (code < 200) return Severity::fatal;
  if (code < 500) return Severity::error;
  return Severity::warning;
}

std::string_view message_text(int code) {
  if (code < 0 || code > highest_code || !index_by_code[code]) return {};
  return index_by_code[code];
}

std::string format_message(int code, std::string_view arg) {
  std::string_view text = message_text(code);
  std::string out;
  std::size_t at = text.find("%s");
  if (at == std::string_view::npos) return std::string(text);
  out.reserve(text.size() + arg.size());
  out.append(text.substr(0, at));
  out.append(arg);
  out.append(text.substr(at + 2));
  return out;
}

}  // namespace koral
