// The substitute's settings files: the ini file's text read with the portable reader, the file's
// Windows path mapped onto the host like every other.
#include <fstream>
#include <iterator>

#include "platform/host_platform.h"
#include "platform/posix/paths_posix.h"
#include "platform/profile.h"

namespace tk::host {

// A file that cannot be read counts as missing, as it does for Windows' profile functions.
std::optional<std::string> HostPlatform::ProfileString(const std::string& path,
                                                       const std::string& section,
                                                       const std::string& key) {
  std::ifstream file(hostPath(path), std::ios::binary);
  if (!file)
    return std::nullopt;
  std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  return profileValue(text, section, key);
}

}  // namespace tk::host
