// Which component files the registration leaves in the system folder.
#pragma once

#include <string>

#include "platform/platform.h"

namespace tk {

// Whether the system folder's `installed` is newer than the package's `packaged`, by their
// version resources. A shared component that another product has since updated must not be
// downgraded: other programs rely on it. Without a version on either side there is nothing to
// compare, and the package's file replaces the system's as any other file does.
bool systemHasNewer(Platform& platform, const std::string& packaged, const std::string& installed);

}  // namespace tk
