#include "platform/host.h"

#include <cerrno>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace koral::host {

namespace {
char upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
constexpr std::size_t max_host_path = 4095;
}  // namespace

bool equal_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upper(a[i]) != upper(b[i])) return false;
  return true;
}

std::string with_slashes(std::string_view name) {
  std::string out(name);
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

bool is_absolute(std::string_view name) { return !name.empty() && is_separator(name[0]); }

bool full_path(std::string_view name, std::string& out) {
  if (name.empty()) return false;
  std::string joined;
  if (!is_absolute(name)) {
    char cwd[max_host_path + 1];
    if (!getcwd(cwd, sizeof cwd)) return false;
    joined = cwd;
    joined += '/';
  }
  joined += with_slashes(name);

  // Lexical normalisation: drop empty and "." components, fold "..".
  std::vector<std::string_view> parts;
  std::string_view rest(joined);
  while (!rest.empty()) {
    std::size_t cut = rest.find('/');
    std::string_view part = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string result;
  for (std::string_view part : parts) {
    result += '/';
    result += part;
  }
  if (result.empty()) result.push_back('/');
  // A trailing separator in the name names a directory; keep it visible.
  if (is_separator(name.back()) && result != "/") result += '/';
  if (result.size() > max_host_path) return false;
  out = std::move(result);
  return true;
}

std::string directory_part(std::string_view path) {
  std::size_t cut = path.find_last_of("/\\");
  return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

bool is_device_stem(std::string_view stem) {
  static constexpr const char* devices[] = {
      "AUX",  "CON",  "NUL",  "PRN",  "COM1", "COM2",   "COM3",   "COM4", "COM5",
      "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2",   "LPT3",   "LPT4", "LPT5",
      "LPT6", "LPT7", "LPT8", "LPT9", "CLOCK$", "CONFIG$"};
  if (stem.size() > 7) stem = stem.substr(0, 7);
  for (const char* device : devices)
    if (equal_ignoring_case(stem, device)) return true;
  return false;
}

FileType file_type(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return FileType::missing;
  if (S_ISREG(st.st_mode)) return FileType::regular;
  if (S_ISDIR(st.st_mode)) return FileType::directory;
  return FileType::other;
}

long read_at(std::FILE* file, long offset, void* buffer, std::size_t count) {
  int fd = fileno(file);
  char* to = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    ssize_t got = pread(fd, to + done, count - done, offset + static_cast<long>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return static_cast<long>(done);
}

long write_at(std::FILE* file, long offset, const void* buffer, std::size_t count) {
  int fd = fileno(file);
  const char* from = static_cast<const char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    ssize_t put = pwrite(fd, from + done, count - done, offset + static_cast<long>(done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return -1;
    done += static_cast<std::size_t>(put);
  }
  return static_cast<long>(done);
}

int create_unique_file(const std::string& dir, std::string_view prefix, std::string& path) {
  std::string name = dir;
  name += prefix;
  name += "XXXXXX";
  std::vector<char> buffer(name.begin(), name.end());
  buffer.push_back('\0');
  int fd = mkstemp(buffer.data());  // O_EXCL, mode 0600
  if (fd >= 0) path.assign(buffer.data());
  return fd;
}

const char* environment(const char* name) { return std::getenv(name); }

char** environment_block() { return environ; }

std::tm run_time_stamp() {
  std::tm stamp{};
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch) {
    char* end = nullptr;
    errno = 0;
    long long seconds = std::strtoll(epoch, &end, 10);
    if (errno == 0 && end && *end == '\0' && seconds >= 0) {
      std::time_t t = static_cast<std::time_t>(seconds);
      gmtime_r(&t, &stamp);
      return stamp;
    }
  }
  std::time_t now = std::time(nullptr);
  localtime_r(&now, &stamp);
  return stamp;
}

// --- interrupt ---------------------------------------------------------------

namespace {
char cleanup_paths[cleanup_slot_count][max_host_path + 1];
volatile sig_atomic_t interrupt_status = 192;

extern "C" void on_interrupt(int) {
  std::signal(SIGINT, SIG_IGN);
  for (auto& path : cleanup_paths)
    if (path[0]) unlink(path);
  _exit(interrupt_status);
}
}  // namespace

void set_cleanup_path(int slot, const std::string& path) {
  if (slot < 0 || slot >= cleanup_slot_count) return;
  char* entry = cleanup_paths[slot];
  entry[0] = '\0';
  if (path.empty() || path.size() > max_host_path) return;
  // The first character goes in last: the handler never sees half a path.
  std::atomic_signal_fence(std::memory_order_seq_cst);
  std::memcpy(entry + 1, path.c_str() + 1, path.size());
  std::atomic_signal_fence(std::memory_order_seq_cst);
  entry[0] = path[0];
}

InterruptsHeld::InterruptsHeld() {
  sigset_t held;
  sigemptyset(&held);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&held, sig);
  sigprocmask(SIG_BLOCK, &held, &previous_);
}

InterruptsHeld::~InterruptsHeld() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }

void clear_cleanup_path(int slot) {
  if (slot >= 0 && slot < cleanup_slot_count) cleanup_paths[slot][0] = '\0';
}

bool install_interrupt_handler(int status) {
  interrupt_status = status;
  // A file that grows past the process's size limit must fail its write
  // (and the run end in its diagnostic) rather than end the process.
  std::signal(SIGXFSZ, SIG_IGN);
  bool routed = true;
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction previous {};
    sigaction(sig, nullptr, &previous);
    if (previous.sa_handler != SIG_DFL) {
      std::signal(sig, SIG_IGN);
      if (sig == SIGINT) routed = false;
      continue;
    }
    struct sigaction action {};
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    sigaction(sig, &action, nullptr);
  }
  return routed;
}

void ignore_interrupt() {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) std::signal(sig, SIG_IGN);
}

}  // namespace koral::host
