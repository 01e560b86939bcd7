// HostPlatform on the substitute: Dir, and the runtime's file operations on the host.
#include "platform/host_platform.h"

#include "platform/posix/dir_posix.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "platform/posix/paths_posix.h"

namespace fs = std::filesystem;

namespace tk::host {

HostPlatform::HostPlatform() : dir_(std::make_unique<DirEnumeration>()) {}

HostPlatform::~HostPlatform() = default;

std::string HostPlatform::Dir(const std::string& pathName, int attributes) {
  return dir_->first(pathName, attributes);
}

std::string HostPlatform::Dir() {
  return dir_->next();
}

void HostPlatform::MkDir(const std::string& path) {
  fs::path host = hostPath(path);
  std::error_code error;
  if (fs::exists(host, error))
    throw makeError(runtimeNumberFromWin32(183));
  if (!fs::create_directory(host, error) && error)
    throw hostError(error, host);
}

void HostPlatform::FileCopy(const std::string& source, const std::string& destination) {
  fs::path from = hostPath(source);
  fs::path to = hostPath(destination);
  std::error_code error;
  if (!fs::is_regular_file(from, error)) {
    throw makeError(fs::exists(from, error) ? err::kPathFileAccess
                                            : runtimeNumberFromWin32(win32FromErrno(ENOENT, from)));
  }
  if (!fs::is_directory(to.parent_path(), error))
    throw makeError(err::kPathNotFound);
  // Windows refuses a folder as the destination (access denied) and a file copied onto itself
  // (its source is open for reading: a sharing violation); the host would answer otherwise.
  if (fs::is_directory(to, error))
    throw makeError(runtimeNumberFromWin32(5));
  if (fs::equivalent(from, to, error))
    throw makeError(runtimeNumberFromWin32(32));
  // copy_file keeps the mode bits, so a copied program can still be started.
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
  if (error)
    throw hostError(error, to);
}

std::string HostPlatform::AppPath() {
  std::error_code error;
  fs::path exe = fs::read_symlink("/proc/self/exe", error);
  if (error)
    return windowsText(fs::current_path());
  return windowsText(exe.parent_path());
}

}  // namespace tk::host
