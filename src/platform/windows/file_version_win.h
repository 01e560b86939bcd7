// A program's name as Windows shows it where no window names it (Task Manager, the question of
// which programs hold a file): the description in its version resource.
#pragma once

#include <string>

namespace tk::host {

// The FileDescription of the file's version resource, else its ProductName; "" for a file
// without either. Never throws.
std::wstring versionResourceName(const std::wstring& file);

}  // namespace tk::host
