// The programs that hold files, on the substitute: the processes whose executable is one of the
// files (the same file, by device and inode, as /proc/<pid>/exe shows it), asked to close with
// SIGTERM and ended with SIGKILL; the wait and the ending are shared (holders.cpp).
#include "platform/holders.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <thread>
#include <utility>

#include "platform/host_platform.h"
#include "platform/posix/paths_posix.h"

namespace fs = std::filesystem;

namespace tk::host {
namespace {

using FileId = std::pair<dev_t, ino_t>;

struct ProcessState {
  char state = '?';      // 'Z' for a zombie, which has ended and waits for its parent
  uint64_t started = 0;  // clock ticks after boot
};

std::optional<ProcessState> processState(pid_t process) {
  std::ifstream in("/proc/" + std::to_string(process) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // The name in parentheses may hold anything: the fields are counted after its last ")".
  std::size_t close = text.rfind(')');
  if (close == std::string::npos)
    return std::nullopt;
  std::istringstream fields(text.substr(close + 1));
  ProcessState state;
  fields >> state.state;
  std::string skipped;
  for (int field = 4; field < 22; ++field)
    fields >> skipped;
  fields >> state.started;
  return fields ? std::optional<ProcessState>(state) : std::nullopt;
}

std::optional<FileId> fileId(const fs::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
    return std::nullopt;
  return FileId{info.st_dev, info.st_ino};
}

// The process `entry` of /proc as a holder, when its executable is one of `wanted`.
std::optional<FileHolder> holderOf(const fs::path& entry, const std::vector<FileId>& wanted) {
  std::string name = entry.filename().string();
  if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  pid_t process = static_cast<pid_t>(std::stol(name));
  std::optional<FileId> id = fileId(entry / "exe");
  if (process == ::getpid() || !id || std::find(wanted.begin(), wanted.end(), *id) == wanted.end())
    return std::nullopt;
  std::error_code error;
  fs::path program = fs::read_symlink(entry / "exe", error);
  std::optional<ProcessState> state = processState(process);
  if (error || !state || state->state == 'Z')
    return std::nullopt;
  FileHolder holder;
  holder.processId = static_cast<uint32_t>(process);
  holder.started = state->started;
  holder.program = windowsText(program);
  holder.name = program.filename().string();
  return holder;
}

class PosixProgram : public RunningProgram {
 public:
  explicit PosixProgram(const FileHolder& holder)
      : process_(static_cast<pid_t>(holder.processId)), started_(holder.started) {}
  bool ended() override {
    std::optional<ProcessState> state = processState(process_);
    return !state || state->state == 'Z' || state->started != started_;
  }
  bool waitEnded(std::chrono::milliseconds most) override {
    auto deadline = std::chrono::steady_clock::now() + most;
    while (!ended()) {
      if (std::chrono::steady_clock::now() >= deadline)
        return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }
  bool askToClose() override { return ::kill(process_, SIGTERM) == 0; }
  bool end() override {
    return ::kill(process_, SIGKILL) == 0 && waitEnded(std::chrono::seconds(2));
  }

 private:
  pid_t process_;
  uint64_t started_;
};

}  // namespace

std::vector<FileHolder> HostPlatform::FindHolders(const std::vector<std::string>& files) {
  std::vector<FileId> wanted;
  for (const std::string& file : files) {
    try {
      if (std::optional<FileId> id = fileId(hostPath(file)))
        wanted.push_back(*id);
    } catch (const PlatformError&) {
      // A folder on the way cannot be read: nothing there can be found.
    }
  }
  std::vector<FileHolder> holders;
  std::error_code error;
  for (fs::directory_iterator it(wanted.empty() ? "" : "/proc", error), end; !error && it != end;
       it.increment(error)) {
    if (std::optional<FileHolder> holder = holderOf(it->path(), wanted))
      holders.push_back(std::move(*holder));
  }
  return holders;
}

std::vector<HolderEnd> HostPlatform::CloseHolders(const std::vector<FileHolder>& holders,
                                                  std::chrono::milliseconds wait) {
  std::vector<std::unique_ptr<RunningProgram>> programs;
  for (const FileHolder& holder : holders)
    programs.push_back(std::make_unique<PosixProgram>(holder));
  return closePrograms(holders, programs, wait);
}

}  // namespace tk::host
