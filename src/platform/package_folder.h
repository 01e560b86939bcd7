// The package folder a run works in, as both hosts keep it (package_folder_<host>.cpp): the lock
// file whose lock claims the folder for one run, and the working folders under the temporary
// folder that runs copy it into when they cannot have it to themselves, with their names.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/error.h"
#include "platform/temp_file.h"
#include "platform/text.h"

namespace tk::host {

// In the package folder, the file whose exclusive lock is a run's claim; in a working folder,
// the file that the run and every program started from there hold, so that the folder counts as
// in use until the last of them ends. Never removed from a package folder: a run that removed it
// under a holder would let a third run lock a new one.
inline constexpr std::string_view kLockFileName = "TovrenKur.lock";

// "TovrenKur-<computer>-<process id>-<n>": the computer, because a temporary folder may be
// reached from another computer (a roaming profile); n, because a folder of a reused process id
// may still be in use.
inline std::string workingFolderName(std::string_view computer, uint64_t processId, unsigned n) {
  return "TovrenKur-" + std::string(computer) + "-" + std::to_string(processId) + "-" +
         std::to_string(n);
}

// Whether `name` is a working folder's; gives its computer and process id.
inline bool parseWorkingFolderName(std::string_view name, std::string_view& computer,
                                   uint64_t& processId) {
  constexpr std::string_view kPrefix = "TovrenKur-";
  // Read from its end as a temporary name of the same shape: a computer's name may hold "-".
  std::string_view destination;
  std::string shaped =
      "x." + std::string(name.substr(std::min(kPrefix.size(), name.size()))) + ".part";
  if (!name.starts_with(kPrefix) || !parseTempFileName(shaped, destination, computer, processId) ||
      computer.empty()) {
    return false;
  }
  computer = name.substr(kPrefix.size(), computer.size());  // not the shaped copy's
  return true;
}

// Whether `name` is the working folder of a run of this computer that has ended; a program
// started from there may still hold it.
inline bool endedRunsFolder(std::string_view name) {
  std::string_view computer;
  uint64_t processId = 0;
  return parseWorkingFolderName(name, computer, processId) && computer == thisComputer() &&
         !processRuns(processId);
}

// Whether an entry of the package folder goes into a working folder: not its lock file, not a
// temporary file that a run (of this computer or another) is writing or left.
inline bool copiedToWorkingFolder(std::string_view name) {
  std::string_view destination, computer;
  uint64_t processId = 0;
  return !equalsIgnoringCase(std::string(name), std::string(kLockFileName)) &&
         !parseTempFileName(name, destination, computer, processId);
}

// Whether a program started with `commandLine` starts from the working folder (the package
// script), and so holds it while it runs.
inline bool startsFrom(const std::string& commandLine, const std::string& workingFolder) {
  return foldCase(commandLine).find(foldCase(workingFolder) + "\\") != std::string::npos;
}

// Why a folder cannot be claimed: another run holds it, or `cause` (a failure to write there).
inline PlatformError folderInUse() {
  return PlatformError(
      err::kPermissionDenied,
      "Paket klasörünü başka bir kurulum kullanıyor (bu ya da başka bir bilgisayarda)");
}
inline PlatformError folderRefused(const PlatformError& cause) {
  return PlatformError(cause.number, "Paket klasörüne yazılamıyor: " + cause.description);
}

// The run's working folder and what holds it (each host defines it).
struct WorkingFolder;

}  // namespace tk::host
