// The registry as the script shell's RegRead reads it. On Windows any "ROOT\key\value" name; the
// substitute knows the one value the installer reads, Chrome's version, and finds it where Chrome
// leaves it on such a system.
#pragma once

#include <string>

namespace tk::host {

// A value's data as text; a missing key or value throws err::kRegValueMissing.
std::string regRead(const std::string& name);

}  // namespace tk::host
