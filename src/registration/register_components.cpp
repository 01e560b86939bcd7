// regTovrenComponents: copies the gathered component files into the Windows system folder (but
// never over a newer version of the same file), then offers each DLL and OCX among them for
// silent registration.
#include <optional>
#include <string>

#include "app/form1.h"
#include "app/pass_over.h"
#include "platform/text.h"
#include "registration/newer_component.h"

namespace tk {
namespace {

constexpr const char* kSourceFolder = "\\Tovren\\prgDosyaları\\";
constexpr const char* kWindowsFolder = "C:\\Windows\\";
// The component's path is quoted, so the command holds whatever the folder names contain.
constexpr const char* kRegisterCommand = "regsvr32 /s \"C:\\Windows\\";
constexpr const char* kStartMessage = "Registering işlemleri başlatılıyor ...";
constexpr const char* kQuestion = " Register edilsin mi ? (EVET önerilir)";
constexpr const char* kClosingMessage = "Registering işlemleri tamamlandı ...";

// "x.dll", "X.Ocx" and even "xdll" qualify: only the last three characters count.
bool qualifiesForRegistration(const std::string& name) {
  std::string tail = UCase(Right(name, 3));
  return tail == "DLL" || tail == "OCX";
}

}  // namespace

bool systemHasNewer(Platform& platform, const std::string& packaged, const std::string& installed) {
  std::optional<FileVersionNumber> present = platform.FileVersion(installed);
  if (!present)
    return false;
  std::optional<FileVersionNumber> offered = platform.FileVersion(packaged);
  return offered && *present > *offered;
}

void Form1::regTovrenComponents() {
  compFile = platform_.Dir(userPath + kSourceFolder, vbNormal);
  while (!compFile.empty()) {
    copyFromStr = userPath + kSourceFolder + compFile;
    copyToStr = kWindowsFolder + sisDir + compFile;
    if (systemHasNewer(platform_, copyFromStr, copyToStr))
      log("Sistem klasöründeki daha yeni sürüm korundu: " + copyToStr);
    else
      FileCopy(copyFromStr, copyToStr);
    compFile = platform_.Dir();
  }

  // Until the first Yes, a failure leaves the procedure.
  PassOverFrom unit([this](const PlatformError& error) { passedOver(error); });
  compFile = platform_.Dir(userPath + kSourceFolder, vbNormal);
  while (!compFile.empty()) {
    if (qualifiesForRegistration(compFile)) {
      unit([&] { MsgBox(Box::RegistrationStart, kStartMessage, vbOKOnly); });
      regStr = kRegisterCommand + sisDir + compFile + "\"";
      int answer = vbNo;  // a question that could not be asked registers nothing
      unit([&] {
        answer = MsgBox(Box::RegistrationQuestion, compFile + kQuestion, vbYesNoQuestionNo,
                        std::string(kTitleV100));
      });
      isWillReg = answer;
      if (isWillReg == vbYes) {
        unit.start();
        unit([&] { Shell(regStr, vbMinimizedFocus, Wait::Unattended); });
      }
    }
    std::string next;  // a failed Dir ends the walk rather than offering the same file forever
    unit([&] { next = platform_.Dir(); });
    compFile = next;
  }
  unit([&] { MsgBox(Box::RegistrationDone, kClosingMessage, vbOKOnly); });
}

}  // namespace tk
