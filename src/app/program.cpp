// The handler boundary and the program's start-up order.
#include "app/program.h"

#include <new>
#include <string>

namespace tk {

std::string failureReport(const PlatformError& error) {
  return "Çalışma zamanı hatası '" + std::to_string(error.number) + "':\r\n\r\n" +
         error.description;
}

bool runHandler(Platform& platform, const std::function<void()>& handler) {
  try {
    try {
      handler();
      return true;
    } catch (const ProgramEnd&) {
      return false;
    } catch (const PlatformError& error) {
      platform.MsgBox(failureReport(error), vbCritical, std::string(kApplicationTitle));
      return false;
    } catch (const std::bad_alloc&) {
      platform.MsgBox(failureReport(makeError(err::kOutOfMemory)), vbCritical,
                      std::string(kApplicationTitle));
      return false;
    } catch (const std::exception& error) {
      platform.MsgBox(failureReport(PlatformError(err::kInvalidCall, error.what())), vbCritical,
                      std::string(kApplicationTitle));
      return false;
    }
  } catch (...) {
    // The report itself failed (no display, say): the program still ends without unwinding
    // through the toolkit's frames.
    return false;
  }
}

int runProgram(Platform& platform,
               const std::function<std::unique_ptr<FormWindow>(Form1&, Platform&)>& makeWindow) {
  // Two runs at once would install into the same folders, each removing the other's files.
  if (!platform.ClaimOnlyInstance()) {
    platform.ActivateOtherInstance();
    return kExitAlreadyRunning;
  }
  Form1 form(platform);
  std::unique_ptr<FormWindow> window = makeWindow(form, platform);
  form.setView(window.get());
  if (!runHandler(platform, [&] { form.Form_Load(); }))
    return 0;
  window->show();
  window->run();
  form.setView(nullptr);
  return 0;
}

}  // namespace tk
