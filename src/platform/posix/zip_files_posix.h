// The zip reader's archive and destination on host files, and the OEM decoder of the substitute
// (code page 857, as a Turkish Windows writes zip names).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "procedures/zip_reader.h"

namespace tk::host {

// Code page 857 bytes to UTF-8.
std::string decodeCp857(std::string_view bytes);

// Extracts the archive at `archive` into the existing folder `destination`; names are matched
// ignoring case against what already lies there, as on Windows.
zip::ExtractStats extractArchive(const std::filesystem::path& archive,
                                 const std::filesystem::path& destination);

}  // namespace tk::host
