// What the support log tells of the host: its kernel's name, release and machine, and whether
// the program runs as root (the substitute's administrator).
#include <sys/utsname.h>
#include <unistd.h>

#include "platform/host_platform.h"

namespace tk::host {

Platform::SystemFacts HostPlatform::DescribeSystem() {
  utsname name{};
  std::string version = "bilinmiyor";
  if (uname(&name) == 0)
    version = std::string(name.sysname) + " " + name.release + ", " + name.machine;
  return {version, geteuid() == 0};
}

}  // namespace tk::host
