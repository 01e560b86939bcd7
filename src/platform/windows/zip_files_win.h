// The zip reader on Win32 files, for archives the shell gives no folder for (no zip-folder
// handler: Server Core, a disabled handler, Wine).
#pragma once

#include <string>
#include <string_view>

#include "procedures/zip_reader.h"

namespace tk::host {

// Bytes of the system's OEM code page to UTF-8.
std::string decodeOem(std::string_view bytes);

// Extracts the archive into the existing folder `destination` (UTF-8 Windows paths).
zip::ExtractStats extractArchive(const std::string& archive, const std::string& destination);

}  // namespace tk::host
