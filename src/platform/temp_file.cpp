// What TempFile decides alike on both hosts: which temporary names are leftovers to remove, and
// where the leftovers of one destination lie.
#include "platform/temp_file.h"

namespace tk::host {

// A process that still runs (another installer beside this one) keeps its file.
bool TempFile::isLeftover(std::string_view name,
                          const std::function<bool(std::string_view)>& isDestination) {
  std::string_view destination, computer;
  uint64_t owner = 0;
  return parseTempFileName(name, destination, computer, owner) && isDestination(destination) &&
         (computer.empty() || computer == thisComputer()) && !processRuns(owner);
}

void TempFile::removeLeftovers(const std::string& destination) {
  std::size_t cut = destination.find_last_of(kHostPathSeparators);
  std::string name = destination.substr(cut + 1);
  removeLeftovers(cut == std::string::npos ? "." : destination.substr(0, cut + 1),
                  [&name](std::string_view found) { return found == name; });
}

}  // namespace tk::host
