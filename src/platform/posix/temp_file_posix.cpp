// TempFile on the host: O_EXCL creation beside the destination, fsync before the rename that
// replaces it, and the removal of what this computer's killed runs left.
#include "platform/temp_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>

#include "platform/posix/handles_posix.h"
#include "platform/posix/io_posix.h"
#include "platform/posix/paths_posix.h"

namespace tk::host {
namespace {

// Writeback is started every this many bytes, so that the fsync before the rename finds little
// left to write and a large download costs hardly more than an unsynced one.
constexpr off_t kWritebackStep = 2 << 20;

// What every temporary name of this process carries before its counter.
const std::string& ownStem() {
  // Appended piece by piece: GCC 12 takes "." + std::string&& for an overlapping copy.
  static const std::string stem =
      std::string(".").append(thisComputer()).append("-").append(std::to_string(::getpid())) + "-";
  return stem;
}

}  // namespace

const std::string_view kHostPathSeparators = "/";

std::string thisComputer() {
  static const std::string name = [] {
    char buffer[HOST_NAME_MAX + 1]{};
    return computerForNames(::gethostname(buffer, sizeof buffer - 1) == 0 ? buffer : "");
  }();
  return name;
}

std::size_t TempFile::longestSuffix() {
  return ownStem().size() + 10 + 5;  // the counter's digits, ".part"
}

bool processRuns(uint64_t processId) {
  if (processId == static_cast<uint64_t>(::getpid()))
    return true;
  if (processId == 0 || processId > INT32_MAX)
    return false;
  return ::kill(static_cast<pid_t>(processId), 0) == 0 || errno != ESRCH;
}

struct TempFile::Host {
  UniqueFd fd;
  off_t written = 0;
  off_t flushedUpTo = 0;
};

TempFile::TempFile(const std::string& destination, Options options)
    : host_(std::make_unique<Host>()), destination_(destination), options_(options) {
  static std::atomic<unsigned> counter{0};
  std::string stem = destination + ownStem();
  // 0666 (0777 for a program) and the umask, as for any file the user creates.
  mode_t mode = options.executable ? 0777 : 0666;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = stem + std::to_string(counter++) + ".part";
    host_->fd.reset(::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (host_->fd) {
      path_ = candidate;
      return;
    }
    if (errno != EEXIST)
      throw lastErrnoError(destination_);
  }
  throw makeError(err::kPathFileAccess);
}

TempFile::~TempFile() {
  host_->fd.reset();
  if (!committed_ && !path_.empty())
    ::unlink(path_.c_str());
}

void TempFile::write(const void* data, std::size_t size) {
  if (!writeAll(host_->fd.get(), data, size))
    throw lastErrnoError(destination_);
  host_->written += static_cast<off_t>(size);
  if (options_.flush && host_->written - host_->flushedUpTo >= kWritebackStep) {
    // Only starts the writeback; a file system without it simply leaves all to the fsync.
    ::sync_file_range(host_->fd.get(), host_->flushedUpTo, host_->written - host_->flushedUpTo,
                      SYNC_FILE_RANGE_WRITE);
    host_->flushedUpTo = host_->written;
  }
}

void TempFile::close() {
  if (closed_)
    return;
  if (options_.flush && ::fsync(host_->fd.get()) != 0)
    throw lastErrnoError(destination_);
  if (!host_->fd.close())
    throw lastErrnoError(destination_);
  closed_ = true;
}

void TempFile::commit() {
  close();
  if (::rename(path_.c_str(), destination_.c_str()) != 0)
    throw lastErrnoError(destination_);
  committed_ = true;
  if (!options_.flush)
    return;
  // Make the rename itself durable; a folder that cannot be synced changes nothing for the caller.
  std::string folder = destination_.substr(0, destination_.find_last_of(kHostPathSeparators) + 1);
  UniqueFd handle(
      ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (handle)
    ::fsync(handle.get());
}

bool TempFile::removeLeftovers(const std::string& folder,
                               const std::function<bool(std::string_view)>& isDestination) {
  UniqueDir listing(::opendir(folder.empty() ? "." : folder.c_str()));
  if (!listing)
    return errno != ENOENT;  // nothing left there; creating a new file there reports why
  while (const dirent* entry = ::readdir(listing.get())) {
    if (entry->d_type != DT_DIR && isLeftover(entry->d_name, isDestination))
      ::unlinkat(::dirfd(listing.get()), entry->d_name, 0);
  }
  return true;
}

}  // namespace tk::host
