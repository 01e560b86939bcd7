// The substitute's settings files: the ini file's bytes read with the portable reader, the file's
// Windows path mapped onto the host like every other.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/code_pages.h"
#include "platform/host_platform.h"
#include "platform/posix/handles_posix.h"
#include "platform/posix/paths_posix.h"
#include "platform/profile.h"

namespace tk::host {

// A missing file is no setting; one that is there but cannot be read is refused.
std::optional<std::string> HostPlatform::ProfileString(const std::string& path,
                                                       const std::string& section,
                                                       const std::string& key) {
  std::filesystem::path file = hostPath(path);
  // O_NONBLOCK: a FIFO of that name is refused below instead of waiting for a writer.
  UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat facts {};
  if (!fd && (errno == ENOENT || errno == ENOTDIR))
    return std::nullopt;
  if (!fd || ::fstat(fd.get(), &facts) != 0)
    throw lastErrnoError(file);
  if (!S_ISREG(facts.st_mode))
    throw errnoError(EISDIR, file);
  std::string bytes(kMaxProfileBytes + 1, '\0');  // one more: a larger file is refused
  std::size_t size = 0;
  while (size < bytes.size()) {
    ssize_t got = ::read(fd.get(), bytes.data() + size, bytes.size() - size);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      throw lastErrnoError(file);
    if (got == 0)
      break;
    size += static_cast<std::size_t>(got);
  }
  bytes.resize(size);
  return profileValue(profileText(bytes, decodeAnsi), section, key);
}

}  // namespace tk::host
