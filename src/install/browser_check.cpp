// The browser check at the end of the installation: the browser-automation component starts
// Chrome and opens a page. Its outcome is deliberately not examined, so its failures stay silent.
// The object is handed back so that it lives until the sequence returns: releasing it may close
// the browser the user is meant to see.
#include <memory>
#include <string>

#include "app/failure_handling.h"
#include "app/form1.h"
#include "app/pass_over.h"

namespace tk {
namespace {

constexpr const char* kDriverClass = "{0277FC34-FD1B-4616-BB19-5D556733E8C9}";
constexpr const char* kFallbackClass = "{0277FC34-FD1B-4616-BB19-E3CCFFAB4234}";
constexpr const char* kDriverInterface = "{0277FC34-FD1B-4616-BB19-CC6284398AA5}";
constexpr int32_t kStartBrowser = 12;
constexpr int32_t kOpenPage = 32;
constexpr const char* kCheckPage = "https://www.google.com/";

}  // namespace

std::unique_ptr<DispatchObject> Form1::checkBrowser() {
  std::unique_ptr<DispatchObject> driver;
  auto ensureDriver = [&] {
    if (!driver)
      driver = platform_.CreateDispatchObject(kFallbackClass, kDriverInterface);
  };
  passOver([&] { driver = platform_.CreateDispatchObject(kDriverClass, kDriverInterface); });
  passOver(ensureDriver);
  passOver([&] { requireObject(driver).Invoke(kStartBrowser, {"Chrome"}); });
  passOver(ensureDriver);
  passOver([&] { requireObject(driver).Invoke(kOpenPage, {kCheckPage}); });
  return driver;
}

}  // namespace tk
