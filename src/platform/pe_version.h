// The file version in the version resource of a Windows program or library, read from the file's
// own bytes: how the substitute answers what Windows' version functions answer. Every offset and
// size that the file gives is checked: a damaged or hostile file has no version, and nothing is
// read outside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "platform/platform.h"

namespace tk::host {

// Reads exactly `length` bytes at `offset` of the file; false when they are not all there.
using ReadAt = std::function<bool(uint64_t offset, unsigned char* buffer, std::size_t length)>;

// The version of the fixed file information (VS_FIXEDFILEINFO) of the file's first version
// resource; none for a file that is no PE image or has no such resource.
std::optional<FileVersionNumber> peFileVersion(const ReadAt& read);

}  // namespace tk::host
