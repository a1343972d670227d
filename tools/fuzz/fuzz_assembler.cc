// Fuzzing entry: one whole assembly run in process per input.  The first
// byte chooses one of a few option sets; the rest is the source file.  Every
// output goes to a private scratch folder; the fuzzer runs with its
// -close_fd_mask option so that only crashes, hangs, leaks and sanitizer
// reports surface.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver/run.h"

namespace {

const std::vector<std::vector<std::string>> option_sets = {
    {},
    {"-l"},
    {"-lx", "-g"},
    {"-H", "-J", "-Xt"},
    {"-zd", "-lsp40w80", "-e", "errors.txt"},
    {"-Nc3", "-XE", "-g1", "-O"},
    {"-Nc0", "-zc", "-w", "-lf", "out.lst"},
    {"-Fa", "-l", "-T"},
};

void prepare_once() {
  static bool ready = false;
  if (ready) return;
  ready = true;
  char folder[] = "/tmp/koral-fuzz-XXXXXX";
  if (!mkdtemp(folder) || chdir(folder) != 0) std::abort();
  setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
  unsetenv("TMP");
  unsetenv("HOMEKORAL");
  unsetenv("THOME");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  prepare_once();
  if (size == 0) return 0;
  const std::vector<std::string>& options = option_sets[data[0] % option_sets.size()];
  if (FILE* source = std::fopen("in.asm", "wb")) {
    std::fwrite(data + 1, 1, size - 1, source);
    std::fclose(source);
  }
  // The source may include itself or a second file, which is the same input.
  if (FILE* include = std::fopen("in.inc", "wb")) {
    std::fwrite(data + 1, 1, size - 1, include);
    std::fclose(include);
  }
  std::vector<std::string> words = {"asmKORAL", "-$"};
  words.insert(words.end(), options.begin(), options.end());
  words.push_back("in.asm");
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  koral::run_assembler(static_cast<int>(words.size()), argv.data());
  return 0;
}
