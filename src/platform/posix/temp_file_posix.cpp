// TempFile: O_EXCL creation beside the destination, fsync before the rename that replaces it.
#include "platform/posix/temp_file_posix.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <system_error>

#include "platform/posix/paths_posix.h"

namespace fs = std::filesystem;

namespace tk::host {
namespace {

// Writeback is started every this many bytes, so that the fsync before the rename finds little
// left to write and a large download costs hardly more than an unsynced one.
constexpr unsigned long long kWritebackStep = 2ull << 20;

PlatformError lastError(const fs::path& path) {
  return hostError(std::error_code(errno != 0 ? errno : EIO, std::generic_category()), path);
}

}  // namespace

TempFile::TempFile(fs::path destination) : destination_(std::move(destination)) {
  static std::atomic<unsigned> counter{0};
  std::string stem = "." + destination_.filename().string() + "." + std::to_string(getpid());
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = destination_.parent_path() / (stem + "-" + std::to_string(counter++));
    // 0666 and the umask, as for any file the user creates; O_EXCL never reuses a name.
    fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      path_ = candidate;
      return;
    }
    if (errno != EEXIST)
      throw lastError(destination_);
  }
  throw makeError(err::kPathFileAccess);
}

TempFile::~TempFile() {
  if (fd_ >= 0)
    ::close(fd_);
  if (!committed_ && !path_.empty())
    ::unlink(path_.c_str());
}

bool TempFile::write(const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t done = ::write(fd_, data, size);
    if (done < 0 && errno == EINTR)
      continue;
    if (done <= 0) {
      if (done == 0)
        errno = ENOSPC;
      return false;
    }
    data += done;
    size -= static_cast<std::size_t>(done);
    written_ += static_cast<unsigned long long>(done);
  }
  if (written_ - flushedUpTo_ >= kWritebackStep) {
    // Only starts the writeback; a filesystem without it simply leaves all to the fsync.
    ::sync_file_range(fd_, static_cast<off_t>(flushedUpTo_),
                      static_cast<off_t>(written_ - flushedUpTo_), SYNC_FILE_RANGE_WRITE);
    flushedUpTo_ = written_;
  }
  return true;
}

void TempFile::commit() {
  if (::fsync(fd_) != 0)
    throw lastError(destination_);
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0)
    throw lastError(destination_);
  if (::rename(path_.c_str(), destination_.c_str()) != 0)
    throw lastError(destination_);
  committed_ = true;
  // Make the rename itself durable; a folder that cannot be synced changes nothing for the caller.
  int folder = ::open(destination_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
}

}  // namespace tk::host
