// The browser check at the end of the installation: the browser-automation component starts
// Chrome and opens a page. Its outcome is deliberately not examined, so its failures stay silent.
// The object is handed back so that it lives until the sequence returns: releasing it may close
// the browser the user is meant to see.
#include <memory>
#include <string>

#include "app/failure_handling.h"
#include "app/form1.h"
#include "app/pass_over.h"
#include "platform/automation.h"

namespace tk {
namespace {

constexpr const char* kCheckPage = "https://www.google.com/";

}  // namespace

std::unique_ptr<DispatchObject> Form1::checkBrowser() {
  std::unique_ptr<DispatchObject> driver;
  auto ensureDriver = [&] {
    if (!driver)
      driver = platform_.CreateDispatchObject(kFallbackDriverClassId, kDriverInterfaceId);
  };
  passOver([&] { driver = platform_.CreateDispatchObject(kDriverClassId, kDriverInterfaceId); });
  passOver(ensureDriver);
  passOver([&] { requireObject(driver).Invoke(kDispatchStartBrowser, {"Chrome"}); });
  passOver(ensureDriver);
  passOver([&] { requireObject(driver).Invoke(kDispatchOpenPage, {kCheckPage}); });
  return driver;
}

}  // namespace tk
