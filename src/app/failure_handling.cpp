// Passing units of work over, and the installer's failure report.
#include "app/failure_handling.h"

#include <string>

namespace tk {

std::optional<PlatformError> passOver(const std::function<void()>& unit) {
  try {
    unit();
    return std::nullopt;
  } catch (const PlatformError& error) {
    return error;
  }
}

void reportInstallFailure(Platform& platform, const PlatformError& error) {
  platform.MsgBox("Kurulum sırasında hata oluştu ! Hata No: " + std::to_string(error.number),
                  vbInformation, std::string("TovrenKur v1.0.9"));
}

}  // namespace tk
