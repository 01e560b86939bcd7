// A file's version on the substitute: the version resource read from the file's own bytes, as
// Windows would read it.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/host_platform.h"
#include "platform/pe_version.h"
#include "platform/posix/handles_posix.h"
#include "platform/posix/paths_posix.h"

namespace tk::host {

std::optional<FileVersionNumber> HostPlatform::FileVersion(const std::string& path) {
  try {
    UniqueFd file(::open(hostPath(path).c_str(), O_RDONLY | O_CLOEXEC));
    if (!file)
      return std::nullopt;
    return peFileVersion([&file](uint64_t offset, unsigned char* buffer, std::size_t length) {
      while (length > 0) {
        ssize_t got = ::pread(file.get(), buffer, length, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
          continue;
        if (got <= 0)
          return false;
        buffer += got;
        offset += static_cast<uint64_t>(got);
        length -= static_cast<std::size_t>(got);
      }
      return true;
    });
  } catch (const std::exception&) {
    return std::nullopt;  // a path the host cannot take, or no memory: no version to compare
  }
}

}  // namespace tk::host
