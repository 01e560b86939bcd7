// What the support log tells of the host: its kernel's name, release and machine. The substitute
// always counts as elevated: its system folder is the user's own (elevation_posix.cpp).
#include <sys/utsname.h>

#include "platform/host_platform.h"

namespace tk::host {

Platform::SystemFacts HostPlatform::DescribeSystem() {
  utsname name{};
  std::string version = "bilinmiyor";
  if (uname(&name) == 0)
    version = std::string(name.sysname) + " " + name.release + ", " + name.machine;
  return {version, true};
}

}  // namespace tk::host
