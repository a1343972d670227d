#include "platform/host.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace koral::host {
namespace {

TEST(Names, FullPathNormalisesBothSeparatorsWithoutTouchingDisk) {
  std::string out;
  ASSERT_TRUE(full_path("/a/b\\c/../d/./e.asm", out));
  EXPECT_EQ(out, "/a/b/d/e.asm");
  ASSERT_TRUE(full_path("\\top\\x.rel", out));
  EXPECT_EQ(out, "/top/x.rel");
  ASSERT_TRUE(full_path("/a/../../b", out));
  EXPECT_EQ(out, "/b");
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_TRUE(full_path("sub/never-created.asm", out));
  EXPECT_EQ(out, std::string(cwd) + "/sub/never-created.asm");
  EXPECT_FALSE(full_path("", out));
}

TEST(Names, DeviceStems) {
  for (const char* device : {"AUX", "con", "Nul", "PRN", "COM1", "com9", "LPT1", "lpt9", "CLOCK$",
                             "config$", "CONFIG$X"})
    EXPECT_TRUE(is_device_stem(device)) << device;
  for (const char* name : {"CONSOLE", "COM", "COM10", "LPT", "prog", "", "AUX1", "CLOCK"})
    EXPECT_FALSE(is_device_stem(name)) << name;
}

TEST(Names, CaseAndDirectories) {
  EXPECT_TRUE(equal_ignoring_case("/Work/PROG.asm", "/work/prog.ASM"));
  EXPECT_FALSE(equal_ignoring_case("a.rel", "a.re"));
  EXPECT_EQ(directory_part("/x/y\\z.asm"), "/x/y\\");
  EXPECT_EQ(directory_part("z.asm"), "");
}

TEST(TimeStamp, SourceDateEpochIsReadAsUtc) {
  setenv("SOURCE_DATE_EPOCH", "1700000000", 1);  // 2023-11-14 22:13:20 UTC
  std::tm t = run_time_stamp();
  unsetenv("SOURCE_DATE_EPOCH");
  EXPECT_EQ(t.tm_year, 123);
  EXPECT_EQ(t.tm_mon, 10);
  EXPECT_EQ(t.tm_mday, 14);
  EXPECT_EQ(t.tm_hour, 22);
  EXPECT_EQ(t.tm_min, 13);
  EXPECT_EQ(t.tm_sec, 20);
  EXPECT_EQ(t.tm_wday, 2);  // Tuesday
}

// The interrupt removes every registered file and ends the process with the
// status given, whatever the process was doing.
TEST(Interrupt, RemovesRegisteredFilesAndExits) {
  char dir[] = "/tmp/koral-int-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string token = std::string(dir) + "/TPabcdef";
  std::string object = std::string(dir) + "/prog.rel";
  std::ofstream(token) << "records";
  std::ofstream(object) << "partial";
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGINT, SIG_DFL);
    set_cleanup_path(cleanup_token, token);
    set_cleanup_path(cleanup_object, object);
    install_interrupt_handler(192);
    raise(SIGINT);
    _exit(0);  // not reached
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 192);
  EXPECT_EQ(file_type(token), FileType::missing);
  EXPECT_EQ(file_type(object), FileType::missing);
  rmdir(dir);
}

// An interrupt while a file is being created and registered waits until
// both steps are done, so the file is removed too.
TEST(Interrupt, HeldBackWhileAFileIsCreatedAndRegistered) {
  char dir[] = "/tmp/koral-int-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string made = std::string(dir) + "/made";
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGINT, SIG_DFL);
    install_interrupt_handler(192);
    {
      InterruptsHeld held;
      std::ofstream(made) << "partial";
      raise(SIGINT);  // arrives between the creation and the registration
      set_cleanup_path(cleanup_object, made);
    }
    _exit(0);  // not reached: the held signal is taken at the scope's end
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 192);
  EXPECT_EQ(file_type(made), FileType::missing);
  rmdir(dir);
}

TEST(Interrupt, StaysIgnoredWhenInheritedIgnored) {
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGINT, SIG_IGN);
    bool routed = install_interrupt_handler(192);
    raise(SIGINT);
    _exit(routed ? 1 : 7);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 7);
}

}  // namespace
}  // namespace koral::host
