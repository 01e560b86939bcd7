// The support log's file on the substitute: O_APPEND writes, each line one write(2) straight to
// the system; the temporary folder is $TMPDIR, else /tmp.
#include "platform/support_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

#include <cerrno>
#include <cstdlib>

#include "platform/host_platform.h"
#include "platform/posix/handles_posix.h"
#include "platform/posix/io_posix.h"
#include "platform/posix/paths_posix.h"

namespace tk::host {
namespace {

class PosixAppendFile : public AppendFile {
 public:
  explicit PosixAppendFile(UniqueFd fd) : fd_(std::move(fd)) {}
  bool append(std::string_view bytes) noexcept override {
    return writeAll(fd_.get(), bytes.data(), bytes.size());
  }

 private:
  UniqueFd fd_;
};

// Readable by the user alone: the log names the user's folders and the system's facts.
int openLogFile(const std::string& path, int flags) {
  return ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | flags, 0600);
}

}  // namespace

const std::string_view kLineEnd = "\n";

std::unique_ptr<AppendFile> openForAppend(const std::string& path) {
  UniqueFd fd(openLogFile(path, 0));
  if (!fd)
    throw errno == ELOOP ? linkRefused() : lastErrnoError(path);
  return std::make_unique<PosixAppendFile>(std::move(fd));
}

std::unique_ptr<AppendFile> createNewFile(const std::string& path) {
  UniqueFd fd(openLogFile(path, O_EXCL));
  if (!fd) {
    if (errno == EEXIST)
      return nullptr;
    throw lastErrnoError(path);
  }
  return std::make_unique<PosixAppendFile>(std::move(fd));
}

std::string temporaryFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
  if (folder.back() != '/')
    folder += '/';
  return folder;
}

LocalTime localNow() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  return {local.tm_year + 1900,
          local.tm_mon + 1,
          local.tm_mday,
          local.tm_hour,
          local.tm_min,
          local.tm_sec,
          static_cast<int>(now.tv_nsec / 1000000)};
}

// An asked-for file is read as every path the substitute is given: a Windows path maps onto the
// host as the logic's paths do, a host path stays itself.
std::string HostPlatform::OpenLog(const std::optional<std::string>& file) {
  if (!file)
    return log_.open(std::nullopt);
  log_.open(hostPath(*file).string());
  return *file;
}

void HostPlatform::Log(const std::string& text) noexcept {
  log_.write(text);
}

}  // namespace tk::host
