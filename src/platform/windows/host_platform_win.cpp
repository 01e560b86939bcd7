// HostPlatform on Win32: its Dir enumeration (the file operations are in runtime_win.cpp).
#include "platform/host_platform.h"

#include "platform/windows/dir_win.h"

namespace tk::host {

HostPlatform::HostPlatform() : dir_(std::make_unique<DirEnumeration>()) {}

HostPlatform::~HostPlatform() = default;

std::string HostPlatform::Dir(const std::string& pathName, int attributes) {
  return dir_->first(pathName, attributes);
}

std::string HostPlatform::Dir() {
  return dir_->next();
}

}  // namespace tk::host
