// The zip tests' real platform on Windows: COM for the test's thread and the Win32 platform.
// clang-format off: <windows.h> with the project's settings first
#include "platform/windows/win32.h"
// clang-format on

#include <ole2.h>

#include "platform/host_platform.h"
#include "zip_test_support.h"

namespace tk::test {
namespace {

class PlatformAt : public host::HostPlatform {
 public:
  explicit PlatformAt(std::string appPath) : appPath_(std::move(appPath)) {}
  std::string AppPath() override { return appPath_; }

 private:
  std::string appPath_;
};

}  // namespace

std::unique_ptr<ShellDispatch> realShell() {
  return host::makeShellDispatch();
}

std::unique_ptr<Platform> realPlatformAt(const std::string& appPath) {
  return std::make_unique<PlatformAt>(appPath);
}

bool oemCodePageIs857() {
  return GetOEMCP() == 857;
}

ComApartment::ComApartment() : initialized_(SUCCEEDED(OleInitialize(nullptr))) {}
ComApartment::~ComApartment() {
  if (initialized_)
    OleUninitialize();
}

}  // namespace tk::test
