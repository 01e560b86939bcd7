// What the file statements on Win32 share with the rest of the host and the tests: the running
// module's path, and whether a path names a file.
#pragma once

#include <cstddef>
#include <string>

#include "platform/windows/win32.h"

namespace tk::host {

// The full path of a loaded module (nullptr: the running program). The buffer starts at
// `firstSize` characters and grows until the whole path fits.
std::wstring modulePath(HMODULE module, std::size_t firstSize = MAX_PATH);

// Whether `path` names an existing file (not a folder).
bool isFile(const std::string& path);

}  // namespace tk::host
