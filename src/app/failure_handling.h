// The installer's own failure report ("Kurulum sırasında hata oluştu ! Hata No: ..."), shown by
// the download's handler and for failures passed over in the second half of the installation.
#pragma once

#include "platform/platform.h"

namespace tk {

// The installer's own failure report: the fixed text with the number appended, information icon,
// title "TovrenKur v1.0.9".
void reportInstallFailure(Platform& platform, const PlatformError& error);

}  // namespace tk
