// The run's working folder as the substitute keeps it, for Shell to hand its hold to the package
// script.
#pragma once

#include <string>

#include "platform/package_folder.h"
#include "platform/posix/handles_posix.h"

namespace tk::host {

struct WorkingFolder {
  std::string path;  // as the logic names it
  // The lock file with a lock on its first byte that belongs to the open file, not the process:
  // the package script inherits the descriptor (as its descriptor 3), and the folder counts as in
  // use until the last process that holds it ends.
  UniqueFd hold;
};

// The descriptor that a program started with `commandLine` inherits: the hold of the working
// folder when it starts from there, else none (-1).
inline int heldByChild(const WorkingFolder* working, const std::string& commandLine) {
  return working != nullptr && startsFrom(commandLine, working->path) ? working->hold.get() : -1;
}

}  // namespace tk::host
