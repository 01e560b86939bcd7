// Dir on FindFirstFileW / FindNextFileW: the names matching a path under an attribute mask, and
// the enumeration that Dir without arguments continues.
#pragma once

#include <string>

#include "platform/windows/handles_win.h"

namespace tk::host {

class DirEnumeration {
 public:
  // The first match of `pathName` under `attributes` (0 ordinary files, 2 hidden as well, 16
  // folders as well; system files never), or "" when there is none. A path ending in "\"
  // enumerates that folder. Failures other than "not there" throw the runtime's number.
  std::string first(const std::string& pathName, int attributes);
  // The next match of the last enumeration, or "" when it is exhausted.
  std::string next();

 private:
  UniqueFindHandle find_;
  int attributes_ = 0;
  bool started_ = false;
};

}  // namespace tk::host
