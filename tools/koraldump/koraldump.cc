#include "koraldump.h"

#include <fstream>
#include <iterator>

#include "dump.h"

namespace koraldump {

namespace {

constexpr const char* usage_text =
    "usage: koraldump [ -h | -s | -d ] file.rel\n";

constexpr const char* help_text =
    "usage: koraldump [ -h | -s | -d ] file.rel\n"
    "\n"
    "Shows an object module of the KORAL assembler.\n"
    "\n"
    "  (no option)  every record in file order: offset, record name and fields\n"
    "  -h           summary: sections, public, external and local symbols,\n"
    "               the time stamp, command line, status and part offsets\n"
    "  -s           contents of the sections in hexadecimal (rr: relocated byte)\n"
    "  -d           disassembly as assembler source that assembles again\n"
    "  --help       this text\n"
    "\n"
    "Exit status: 0 done, 1 the module is not well formed or cannot be read,\n"
    "2 wrong command line.\n";

enum class Mode { records, headers, contents, disassembly };

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Mode mode = Mode::records;
  std::string file;
  bool mode_given = false;
  for (const std::string& a : args) {
    if (a == "--help") {
      out << help_text;
      return 0;
    }
    Mode m;
    if (a == "-h") m = Mode::headers;
    else if (a == "-s") m = Mode::contents;
    else if (a == "-d") m = Mode::disassembly;
    else if (!a.empty() && a[0] == '-') {
      err << "koraldump: unknown option " << a << "\n" << usage_text;
      return 2;
    } else {
      if (!file.empty()) {
        err << "koraldump: more than one file\n" << usage_text;
        return 2;
      }
      file = a;
      continue;
    }
    if (mode_given && m != mode) {
      err << "koraldump: -h, -s and -d exclude each other\n" << usage_text;
      return 2;
    }
    mode = m;
    mode_given = true;
  }
  if (file.empty()) {
    err << usage_text;
    return 2;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    err << "koraldump: " << file << ": cannot open\n";
    return 1;
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    err << "koraldump: " << file << ": cannot read\n";
    return 1;
  }
  Module m = load_module(bytes.data(), bytes.size());
  if (mode == Mode::records) {
    out << file << ": " << bytes.size() << " bytes, ";
    print_records(m, out);
  } else if (!m.list.error) {
    switch (mode) {
      case Mode::headers: print_headers(m, out); break;
      case Mode::contents: print_contents(m, out); break;
      default: print_disassembly(m, out); break;
    }
  }
  if (m.list.error) {
    out.flush();
    err << "koraldump: " << file << ": offset " << m.list.error->offset << " (0x" << hex(m.list.error->offset)
        << "): " << m.list.error->message << "\n";
    return 1;
  }
  return 0;
}

}  // namespace koraldump
