// The driver table's look-ups and Form1::chooseDriver, the first stage of the Continue action.
#include "install/driver_table.h"

#include "app/form1.h"
#include "platform/text.h"

#ifndef TOVRENKUR_DRIVER_HOST
#define TOVRENKUR_DRIVER_HOST "chromedriver.storage.googleapis.com"
#endif

namespace tk {

std::string_view driverHost() {
  return TOVRENKUR_DRIVER_HOST;
}

std::string versionKey(std::string_view versionText) {
  return Left(versionText, 3);
}

std::optional<std::string_view> driverPath(std::string_view key) {
  for (const DriverRow& row : kDriverTable) {
    if (row.key == key)
      return row.path;
  }
  return std::nullopt;
}

std::string chromeMissingText() {
  return " Chrome yüklü değil ! Öncelikle Chrome Browser kurulumu yapınız. Daha sonra TovrenKur 'u "
         "yeniden çalıştırınız.";
}

std::string unsupportedVersionText(std::string_view versionText) {
  return " Chrome Tarayıcı versiyonu 90.x ile 105.x arası destekleniyor. Sizin versiyonunuz: " +
         std::string(versionText) + " lütfen destek isteyiniz. " + std::string(kSupportAddress);
}

Form1::DriverChoice Form1::chooseDriver() {
  std::string version;
  {
    std::unique_ptr<WshShell> shell = platform_.CreateWshShell();
    try {
      version = shell->RegRead(std::string(kChromeVersionValue));
    } catch (const PlatformError& error) {
      // Only a missing key or value means "no Chrome"; anything else is a real failure.
      if (error.number != err::kRegValueMissing)
        throw;
    }
  }
  if (version.empty()) {
    log("Chrome sürümü: yok");
    exitCode_ = kExitNoChrome;
    MsgBox(Box::ChromeMissing, chromeMissingText(), vbInformation, std::string(kTitleV100));
    End();
  }
  DriverChoice choice{versionKey(version), ""};
  log("Chrome sürümü: " + version + ", anahtar: " + choice.versionKey);
  if (std::optional<std::string_view> path = driverPath(choice.versionKey)) {
    choice.address = "https://" + std::string(driverHost()) + std::string(*path);
    log("Sürücü adresi: " + choice.address);
  } else {
    log("Sürücü adresi: yok (desteklenmeyen sürüm)");
    MsgBox(Box::UnsupportedChrome, unsupportedVersionText(version), vbOKOnly);
  }
  return choice;
}

}  // namespace tk
