// A file's version on the substitute: the version resource read from the file's own bytes, as
// Windows would read it.
#include <fcntl.h>

#include "platform/host_platform.h"
#include "platform/pe_version.h"
#include "platform/posix/handles_posix.h"
#include "platform/posix/io_posix.h"
#include "platform/posix/paths_posix.h"

namespace tk::host {

std::optional<FileVersionNumber> HostPlatform::FileVersion(const std::string& path) {
  try {
    UniqueFd file(::open(hostPath(path).c_str(), O_RDONLY | O_CLOEXEC));
    if (!file)
      return std::nullopt;
    return peFileVersion([&file](uint64_t offset, unsigned char* buffer, std::size_t length) {
      return readAllAt(file.get(), offset, buffer, length);
    });
  } catch (const std::exception&) {
    return std::nullopt;  // a path the host cannot take, or no memory: no version to compare
  }
}

}  // namespace tk::host
