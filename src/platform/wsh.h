// "WScript.Shell" is one object on every host (wsh.cpp): RegRead reads the registry, and each
// host gives it the desktop folder and the way a shortcut file is written (wsh_<host>.cpp).
#pragma once

#include <string>

#include "platform/platform.h"

namespace tk::host {

// The user's desktop folder, without a closing backslash except at a drive root.
std::string desktopFolder();

// Writes the shortcut at `path` (a Windows path as the logic builds it), replacing an existing
// one.
void saveShortcut(const std::string& path, const WshShortcut& shortcut);

}  // namespace tk::host
