// The zip tests' real platform on Linux: the substitute.
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
  return true;  // the substitute's own table
}

ComApartment::ComApartment() = default;
ComApartment::~ComApartment() = default;

}  // namespace tk::test
