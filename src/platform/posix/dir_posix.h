// Dir on the host: the names matching a Windows path under an attribute mask, and the
// enumeration that Dir without arguments continues.
#pragma once

#include <string>
#include <vector>

namespace tk::host {

class DirEnumeration {
 public:
  // The first match of `pathName` under `attributes`, or "" when there is none.
  std::string first(const std::string& pathName, int attributes);
  // The next match of the last enumeration, or "" when it is exhausted.
  std::string next();

 private:
  std::vector<std::string> remaining_;
  bool started_ = false;
};

}  // namespace tk::host
