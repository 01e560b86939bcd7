// Dir on FindFirstFileW / FindNextFileW: the names matching a path under an attribute mask, and
// the enumeration that Dir without arguments continues.
#pragma once

#include <string>

namespace tk::win {

class DirEnumeration {
 public:
  std::string first(const std::string& pathName, int attributes);
  std::string next();
};

}  // namespace tk::win
