// The browser check at the end of the installation: the browser-automation component starts
// Chrome and opens a page. Its outcome is deliberately not examined: its failures are only logged,
// and they make no installation step count as passed over.
// The object is handed back so that it lives until the sequence returns: releasing it may close
// the browser the user is meant to see. A run elevated above the signed-in user checks through
// a process of its own with the user's rights, so that the browser is the user's; that process
// holds the object until the run lets it go.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/form1.h"
#include "app/pass_over.h"
#include "platform/automation.h"
#include "platform/elevation.h"

namespace tk {
namespace {

constexpr const char* kCheckPage = "https://www.google.com/";

// A unit of the check: its failure is only logged.
void checkUnit(Form1& form, const std::function<void()>& body) {
  if (std::optional<PlatformError> failure = passOver(body))
    form.log("Tarayıcı denetiminde hata: Hata No: " + std::to_string(failure->number) + " (" +
             failure->description + ")");
}

}  // namespace

bool Form1::userProgramsAsUser() {
  using UserRights = Platform::SystemFacts::UserRights;
  UserRights rights = systemFacts().userRights;
  if (rights == UserRights::Unavailable)
    log("Oturum açmış kullanıcının yetkileri alınamadı (masaüstü kabuğu yok ya da erişilemiyor): "
        "tarayıcı denetimi ve uygulama kurulumun kendi yetkileriyle başlatılıyor");
  return rights == UserRights::FromShell;
}

// CreateProcessWithTokenW fails where the secondary logon service is stopped or disabled, or a
// policy took the impersonation privilege from administrators: the shell's token is no help then.
bool Form1::startedAsUser(const std::function<void()>& start) {
  std::optional<PlatformError> failure = passOver(start);
  if (failure)
    log("Kullanıcının yetkisiyle başlatılamadı: Hata No: " + std::to_string(failure->number) +
        " (" + failure->description + "): kurulumun kendi yetkileriyle başlatılıyor");
  return !failure;
}

std::shared_ptr<void> Form1::checkBrowser(bool asUser) {
  if (!asUser)
    return checkBrowserHere();
  std::string arguments = "/BROWSERCHECK";
  if (!logPath_.empty())
    arguments.append(" ").append(joinArguments({"/LOG=" + logPath_}));
  log("Tarayıcı denetimi kullanıcının yetkisiyle başlatılıyor: TovrenKur.exe " + arguments);
  std::unique_ptr<StepProcess> check;
  if (startedAsUser([&] { check = platform_.StartAsUser(arguments); }))
    return check;
  return checkBrowserHere();
}

void Form1::browserCheckStep() {
  std::unique_ptr<DispatchObject> browser = checkBrowserHere();
  platform_.ReadyAndWait();
}

std::unique_ptr<DispatchObject> Form1::checkBrowserHere() {
  log("Adım başladı: Tarayıcı denetimi");
  std::unique_ptr<DispatchObject> driver;
  auto unit = [&](const std::function<void()>& body) { checkUnit(*this, body); };
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
