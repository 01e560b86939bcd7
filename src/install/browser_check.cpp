// The browser check at the end of the installation: the browser-automation component starts
// Chrome and opens a page. Its outcome is deliberately not examined: its failures are only logged,
// and they make no installation step count as passed over.
// The object is handed back so that it lives until the sequence returns: releasing it may close
// the browser the user is meant to see.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/form1.h"
#include "app/pass_over.h"
#include "platform/automation.h"

namespace tk {
namespace {

constexpr const char* kCheckPage = "https://www.google.com/";

}  // namespace

std::unique_ptr<DispatchObject> Form1::checkBrowser() {
  log("Adım başladı: Tarayıcı denetimi");
  std::unique_ptr<DispatchObject> driver;
  auto unit = [&](const std::function<void()>& body) {
    if (std::optional<PlatformError> failure = passOver(body))
      log("Tarayıcı denetiminde hata: Hata No: " + std::to_string(failure->number) + " (" +
          failure->description + ")");
  };
  auto ensureDriver = [&] {
    if (!driver)
      driver = platform_.CreateDispatchObject(kFallbackDriverClassId, kDriverInterfaceId);
  };
  unit([&] { driver = platform_.CreateDispatchObject(kDriverClassId, kDriverInterfaceId); });
  unit(ensureDriver);
  unit([&] { requireObject(driver).Invoke(kDispatchStartBrowser, {"Chrome"}); });
  unit(ensureDriver);
  unit([&] { requireObject(driver).Invoke(kDispatchOpenPage, {kCheckPage}); });
  log("Adım bitti: Tarayıcı denetimi");
  return driver;
}

}  // namespace tk
