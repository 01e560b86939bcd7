// The installer's failure report.
#include "app/failure_handling.h"

#include <string>

namespace tk {

void reportInstallFailure(Platform& platform, const PlatformError& error) {
  platform.MsgBox("Kurulum sırasında hata oluştu ! Hata No: " + std::to_string(error.number),
                  vbInformation, std::string(kTitleV109));
}

}  // namespace tk
