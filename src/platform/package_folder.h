// The package folder a run works in, as both hosts keep it (package_folder_<host>.cpp): the lock
// file whose lock claims the folder for one run, and the working folders under the temporary
// folder that runs copy it into when they cannot have it to themselves, with their names.
#pragma once

#include <charconv>
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
  auto number = [](std::string_view digits, uint64_t& value) {
    return !digits.empty() && digits.size() <= 10 &&
           std::from_chars(digits.data(), digits.data() + digits.size(), value).ptr ==
               digits.data() + digits.size();
  };
  if (!name.starts_with(kPrefix))
    return false;
  name.remove_prefix(kPrefix.size());
  // Read from the end: a computer's name may hold "-".
  std::size_t last = name.rfind('-');
  std::size_t middle =
      last == std::string_view::npos || last == 0 ? last : name.rfind('-', last - 1);
  uint64_t n = 0;
  if (middle == std::string_view::npos || middle == 0 || !number(name.substr(last + 1), n) ||
      !number(name.substr(middle + 1, last - middle - 1), processId)) {
    return false;
  }
  computer = name.substr(0, middle);
  return true;
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
