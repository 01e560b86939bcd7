// The two forms of failure handling that procedures share: passing a unit of work over, and the
// installer's failure report ("Kurulum sırasında hata oluştu ! Hata No: ...").
#pragma once

#include <functional>
#include <optional>

#include "platform/platform.h"

namespace tk {

// Runs one unit of work (an assignment, a copy, a call) whose failure is passed over: a
// PlatformError is caught and returned. End, and anything that is not a platform failure,
// travels on.
std::optional<PlatformError> passOver(const std::function<void()>& unit);

// The installer's own failure report: the fixed text with the number appended, information icon,
// title "TovrenKur v1.0.9".
void reportInstallFailure(Platform& platform, const PlatformError& error);

}  // namespace tk
