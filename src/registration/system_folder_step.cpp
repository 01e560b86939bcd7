// Where the system folder's part of the installation runs. A run with administrator rights does
// it itself, as does one that has nothing to put there. Without them, an interactive run starts
// this program again elevated for that step alone (Windows asks for the consent), waits for it,
// and counts what it passed over; the step shows its own boxes over the form and appends to the
// same log. A silent run never asks: it passes the part over. Without the consent the part runs
// with the run's own rights, and its copies fail as they always did.
#include <string>

#include "app/form1.h"
#include "app/pass_over.h"
#include "platform/elevation.h"

namespace tk {
namespace {

constexpr const char* kSourceFolder = "\\Tovren\\prgDosyaları\\";  // regTovrenComponents' source

}  // namespace

void Form1::registerComponents() {
  bool needed = false;  // anything at all to go into the system folder
  passOver([&] { needed = !platform_.Dir(userPath + kSourceFolder, vbNormal).empty(); });
  if (!needed || systemFacts().elevated)
    return regTovrenComponents();
  if (options_.unattended()) {
    throw PlatformError(err::kPermissionDenied,
                        "Sistem klasörüne kopya ve kayıt için yönetici yetkisi gerekir: kurulumu "
                        "yönetici olarak çalıştırın");
  }
  registerElevated();
}

void Form1::registerElevated() {
  std::string arguments =
      joinArguments({"/SYSTEMSTEP=" + platform_.FormWindowId(), "/DESKTOP=" + userPath});
  if (!logPath_.empty())
    arguments.append(" ").append(joinArguments({"/LOG=" + logPath_}));
  if (options_.noRegister)
    arguments += " /NOREGISTER";
  log("Yönetici yetkisi isteniyor: TovrenKur.exe " + arguments);
  const char* refusal = "yönetici onay istemine Hayır denildi";
  std::optional<int> exitCode;
  try {
    exitCode = platform_.RunElevated(arguments);
  } catch (const PlatformError& error) {
    log("Yönetici yetkisiyle başlatılamadı: Hata No: " + std::to_string(error.number));
    refusal = "başlatılamadı";
  }
  if (exitCode && *exitCode != kStepNotElevated)
    return countStepOutcome(*exitCode);
  if (exitCode)
    refusal = "adım yönetici yetkisi olmadan başladı: kullanıcı hesabı denetimi kapalı";
  log(std::string("Yöneticinin onayı verilmedi (") + refusal +
      "): bileşenler kurulumun kendi yetkileriyle kopyalanıyor");
  regTovrenComponents();
}

// What the step passed over it has reported and logged; here it counts toward the exit code.
void Form1::countStepOutcome(int exitCode) {
  log("Yönetici yetkisiyle yapılan adımın çıkış kodu: " + std::to_string(exitCode));
  if ((exitCode & ~(kStepEnded | kStepUnitsPassedOver)) != 0)
    throw PlatformError(err::kInvalidCall,
                        "Yönetici yetkisiyle yapılan adım beklenmedik biçimde bitti: çıkış kodu " +
                            std::to_string(exitCode));
  passedOver_ += ((exitCode & kStepEnded) != 0) + ((exitCode & kStepUnitsPassedOver) != 0);
}

// The step refuses to work without administrator rights, and for a window that is not another
// run's form (its boxes are owned by it).
void Form1::systemFolderStep() {
  if (!systemFacts().elevated) {
    log("Adım yönetici yetkisi olmadan başlatıldı: yapılmadı");
    exitCode_ = kStepNotElevated;
  } else if (!platform_.AdoptOwnerWindow(options_.ownerWindow)) {
    log("Adımın penceresi bir kurulum penceresi değil: " + options_.ownerWindow);
    exitCode_ = kExitBadCommandLine;
  } else {
    userPath = options_.desktop;
    chooseSystemFolder();
    int before = passedOver_;
    bool ended =
        runStep("Bileşenlerin kaydı (yönetici yetkisiyle)", {[&] { regTovrenComponents(); }});
    bool skipped = passedOver_ - before > (ended ? 1 : 0);
    exitCode_ = (ended ? kStepEnded : 0) | (skipped ? kStepUnitsPassedOver : 0);
  }
}

}  // namespace tk
