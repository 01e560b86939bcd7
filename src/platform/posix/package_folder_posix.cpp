// The package folder on the substitute: the claim and a working folder's hold are both
// open-file-description locks (fcntl F_OFD_SETLK) on the first byte of the lock file, which NFS
// and SMB mounts pass on to their server and which a program that inherits the descriptor holds
// as well.
#include "platform/posix/package_folder_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/host_platform.h"
#include "platform/posix/paths_posix.h"
#include "platform/support_log.h"

namespace fs = std::filesystem;

namespace tk::host {
namespace {

// False when another open file holds it (errno EAGAIN or EACCES) or the file system takes no
// locks.
bool lockFirstByte(int fd) {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 1;
  return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

class PosixFolderClaim : public FolderClaim {
 public:
  explicit PosixFolderClaim(UniqueFd lock) : lock_(std::move(lock)) {}

 private:
  UniqueFd lock_;  // closing it releases the lock
};

// Everything but the lock file and temporary files; a linked folder is never followed. Every
// copy is writable by its user, whatever the original's mode.
void copyTree(const fs::path& from, const fs::path& to) {
  std::error_code error;
  for (fs::directory_iterator it(from, error), end; !error && it != end; it.increment(error)) {
    fs::path source = it->path(), target = to / source.filename();
    if (!copiedToWorkingFolder(source.filename().string()))
      continue;
    if (it->is_directory(error) && !it->is_symlink(error)) {
      if (fs::create_directory(target, error))
        copyTree(source, target);
    } else if (it->is_regular_file(error) && fs::copy_file(source, target, error)) {
      fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add,
                      error);
    }
    if (error)
      throw hostError(error, target);
  }
  if (error)
    throw hostError(error, from);
}

// A working folder is free once no open file holds its lock file's lock.
bool released(const fs::path& folder) {
  UniqueFd lock(::open((folder / kLockFileName).c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));
  return lock ? lockFirstByte(lock.get()) : errno == ENOENT;
}

}  // namespace

std::unique_ptr<FolderClaim> HostPlatform::ClaimFolder(const std::string& folder) {
  fs::path lockPath = hostPath(folder + "\\" + std::string(kLockFileName));
  UniqueFd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (!lock)
    throw folderRefused(lastErrnoError(lockPath));  // EROFS, EACCES
  if (!lockFirstByte(lock.get())) {
    if (errno == EAGAIN || errno == EACCES)
      throw folderInUse();
    throw folderRefused(lastErrnoError(lockPath));  // ENOLCK: a mount that takes no locks
  }
  auto claim = std::make_unique<PosixFolderClaim>(std::move(lock));
  try {  // the folder takes new files, and gives them up
    TempFile probe(lockPath.string(), {.flush = false});
    probe.close();
    if (::unlink(probe.path().c_str()) != 0)
      throw lastErrnoError(lockPath);
  } catch (const PlatformError& refused) {
    throw folderRefused(refused);
  }
  return claim;
}

std::string HostPlatform::CopyToWorkingFolder(const std::string& folder) {
  auto working = std::make_shared<WorkingFolder>();
  fs::path path;
  for (unsigned n = 0;; ++n) {
    path = temporaryFolder() + workingFolderName(thisComputer(), ::getpid(), n);
    if (::mkdir(path.c_str(), 0700) == 0)
      break;
    if (errno != EEXIST || n == 99)
      throw lastErrnoError(path);
  }
  // Above the three standard descriptors, where a started program finds it again.
  UniqueFd lock(::open((path / kLockFileName).c_str(),
                       O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (lock && lock.get() < 3)
    lock.reset(::fcntl(lock.get(), F_DUPFD_CLOEXEC, 3));
  if (!lock || !lockFirstByte(lock.get()))
    throw lastErrnoError(path);
  working->path = windowsText(path);
  working->hold = std::move(lock);
  working_ = working;  // in use from before its first file
  copyTree(hostPath(folder), path);
  return working->path;
}

int HostPlatform::RemoveEndedWorkingFolders() {
  int removed = 0;
  std::error_code error;
  fs::path temp = temporaryFolder();
  for (fs::directory_iterator it(temp, error), end; !error && it != end; it.increment(error)) {
    std::error_code ignored;
    if (it->is_directory(ignored) && !it->is_symlink(ignored) &&
        endedRunsFolder(it->path().filename().string()) && released(it->path()) &&
        fs::remove_all(it->path(), ignored) > 0 && !ignored) {
      ++removed;
    }
  }
  return removed;
}

}  // namespace tk::host
