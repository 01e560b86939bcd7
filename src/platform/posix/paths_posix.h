// How the substitute maps the Windows paths that the logic builds onto the host: "\" becomes "/",
// "C:\" a fixed folder under $HOME that stands for drive C (like a Wine prefix), and names are
// matched ignoring case, as on Windows.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/error.h"

namespace tk::host {

// $HOME/.tovrenkur/drive_<letter>: the folder that stands for a Windows drive.
std::filesystem::path driveRoot(char letter);

// The host path for a Windows path (or a host path that the logic extended with "\" tails).
// Each existing component is matched ignoring case; missing ones are kept as written.
std::filesystem::path hostPath(std::string_view windowsPath);

// A host path as the Windows-style text the logic works with ("C:\..." inside a drive folder,
// the host path otherwise).
std::string windowsText(const std::filesystem::path& host);

// A PlatformError for a failed host operation on `path`, with the runtime's number Windows gives
// for the same failure (ENOENT is 53 or 76 as `path`'s folder exists or not, EACCES 75, ...): from
// an error code, from an errno value, and from errno as the failing call left it (read it before
// any cleanup).
PlatformError hostError(const std::error_code& error, const std::filesystem::path& path);
PlatformError errnoError(int error, const std::filesystem::path& path);
PlatformError lastErrnoError(const std::filesystem::path& path);

}  // namespace tk::host
