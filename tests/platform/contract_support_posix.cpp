// The host side of the contract tests' helpers on Linux: dot-files are the hidden ones, and a
// file is "in use" while a program started from it runs (the kernel refuses to write it).
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "contract_support.h"

namespace fs = std::filesystem;

namespace tk::test {

// A name component longer than any host file system allows (ENAMETOOLONG).
const std::string_view kUnusableFolder =
    "kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad-"
    "kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad-"
    "kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad-kötü-ad\\";

void makeHidden(const fs::path& file) {
  if (file.filename().string().front() != '.')
    throw std::logic_error("a hidden file on this host must start with '.'");
}

void makeRemovable(const fs::path&) {}

namespace {

bool writeRefused(const fs::path& file) {
  int fd = open(file.c_str(), O_WRONLY);
  if (fd >= 0)
    close(fd);
  return fd < 0 && errno == ETXTBSY;
}

class RunningProgram : public FileInUse {
 public:
  explicit RunningProgram(pid_t pid) : pid_(pid) {}
  ~RunningProgram() override {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }

 private:
  pid_t pid_;
};

}  // namespace

std::unique_ptr<FileInUse> holdInUse(const fs::path& file) {
  fs::copy_file("/bin/sleep", file, fs::copy_options::overwrite_existing);
  fs::permissions(file, fs::perms::owner_exec, fs::perm_options::add);
  std::string program = file.string();
  char seconds[] = "60";
  char* argv[] = {program.data(), seconds, nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0)
    return nullptr;
  auto running = std::make_unique<RunningProgram>(pid);
  // The file is busy only once the child has executed it: wait for that, a bounded while.
  for (int tries = 0; tries < 200; ++tries) {
    if (writeRefused(file))
      return running;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return nullptr;  // a kernel that lets a running program's file be written
}

}  // namespace tk::test
