// Test helpers for whole runs of the assembler in process: a scratch folder
// of their own, and one run inside it with its printed output captured.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>
#include <unistd.h>

#include "driver/assembly.h"
#include "driver/run.h"

namespace koral::test {

// A folder of its own under the test's temporary directory, removed with
// the object.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = ::testing::TempDir() + "koral_XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data())) path_ = name.data();
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

struct RunOutput {
  int status = -1;  // -1: the run could not be started in the folder
  std::string out;
  std::string err;
};

// Runs the assembler on `a` with the command-line words `args` (the program
// name is added) in `folder`, and returns its status and printed output.
inline RunOutput run_in_folder(Assembly& a, const std::string& folder, std::vector<std::string> args) {
  RunOutput result;
  args.insert(args.begin(), "asmKORAL");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  char previous[4096];
  if (!::getcwd(previous, sizeof previous) || ::chdir(folder.c_str()) != 0) return result;
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  result.status = run_assembler(a, static_cast<int>(argv.size()), argv.data());
  result.err = ::testing::internal::GetCapturedStderr();
  result.out = ::testing::internal::GetCapturedStdout();
  if (::chdir(previous) != 0) result.status = -1;
  return result;
}

}  // namespace koral::test
