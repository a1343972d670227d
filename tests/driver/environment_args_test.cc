// With "-z@" as its only argument the program takes its arguments from the
// environment block, from the eighth string on, and THOME and TMP from the
// sixth and seventh strings.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Outcome {
  int status;
  std::vector<std::string> files;
};

Outcome run_with_environment(std::vector<std::string> environment) {
  char folder[] = "/tmp/koral-zat-XXXXXX";
  if (!mkdtemp(folder)) return {-1, {}};
  std::ofstream(std::string(folder) + "/e.asm") << "code SECTION CODE\n END\n";
  pid_t child = fork();
  if (child == 0) {
    if (chdir(folder) != 0) _exit(99);
    int null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, STDOUT_FILENO);
    dup2(null_fd, STDERR_FILENO);
    std::vector<char*> envp;
    for (std::string& s : environment) envp.push_back(s.data());
    envp.push_back(nullptr);
    char name[] = "asmKORAL";
    char flag[] = "-z@";
    char* argv[] = {name, flag, nullptr};
    execve(KORAL_BINARY, argv, envp.data());
    _exit(98);
  }
  int status = 0;
  waitpid(child, &status, 0);
  Outcome outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1, {}};
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    outcome.files.push_back(entry.path().filename().string());
  std::sort(outcome.files.begin(), outcome.files.end());
  std::filesystem::remove_all(folder);
  return outcome;
}

TEST(EnvironmentArguments, ArgumentsFromTheEighthString) {
  Outcome o = run_with_environment({"A=1", "B=2", "C=3", "D=4", "E=5", " ", " ", "-$", "e.asm"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.files, (std::vector<std::string>{"e.asm", "e.rel"}));
  o = run_with_environment({"A=1", "B=2", "C=3", "D=4", "E=5", " ", " ", "-$", "-Xt", "e.asm"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.files, (std::vector<std::string>{"e.asm"}));
}

TEST(EnvironmentArguments, TemporaryFolderFromTheSeventhString) {
  // Temporary files on disk in a folder that does not exist: the token file
  // cannot be created.
  Outcome o = run_with_environment(
      {"A=1", "B=2", "C=3", "D=4", "E=5", " ", "/nonexistent/folder", "-$", "-zd", "e.asm"});
  EXPECT_EQ(o.status, 176);
  // A blank seventh string falls back to the process environment's TMP.
  o = run_with_environment({"A=1", "B=2", "C=3", "D=4", "E=5", " ", " ", "-$", "-zd", "-Xt", "e.asm"});
  EXPECT_EQ(o.status, 0);
}

}  // namespace
