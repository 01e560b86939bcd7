// A file written under a temporary name beside its destination and moved over the destination
// only when it is complete, so a failure never leaves a half-written file in its place. The
// download receives into one, and the zip reader writes every extracted file through one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace tk::host {

class TempFile {
 public:
  struct Options {
    // Flush the data to the disk before the rename: the file then replaces the destination
    // only once it is really there. Extraction leaves it to the system (the archive stays).
    bool flush = true;
    // The substitute marks the file as a program (Windows has no such bit).
    bool executable = false;
  };

  // Creates a new file exclusively (never opening an existing one) in the folder of
  // `destination`, a host path (UTF-8), named "<destination>.<computer>-<process id>-<n>.part":
  // the folder may be shared by other computers, whose process ids mean nothing here. A missing
  // folder throws 76, like every failure here a PlatformError with the runtime's number.
  explicit TempFile(const std::string& destination) : TempFile(destination, Options{}) {}
  TempFile(const std::string& destination, Options options);
  ~TempFile();  // removes the temporary file unless it was committed
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  void write(const void* data, std::size_t size);
  // Flushes (as the options say) and closes the file, which stays under its temporary name
  // (path()) to be read back before the commit; writing is over.
  void close();
  // Closes the file if that is not done yet and moves it over the destination, replacing a file
  // of that name. After a failure the temporary file is still removed by the destructor.
  void commit();
  const std::string& path() const { return path_; }

  // Removes what earlier runs of the program, ended before they could clean up (killed from the
  // task manager, say, or by the end of the session), left in `folder` (a host path): the
  // temporary files of the bare destination names that `isDestination` accepts, of this
  // computer's processes that no longer run, and nothing else. A file that cannot be removed
  // (still in use) stays. Names without a computer come from versions before it was written:
  // they are taken for this computer's (no run of the current version writes them, and a run of
  // an older one is long over once its package holds this one). Gives whether the folder is
  // there.
  static bool removeLeftovers(const std::string& folder,
                              const std::function<bool(std::string_view)>& isDestination);
  // The same for the temporary files of one destination.
  static void removeLeftovers(const std::string& destination);
  // The most that a temporary name adds to its destination's, in the host's units (UTF-16 units
  // on Windows, bytes elsewhere): what a name must leave room for.
  static std::size_t longestSuffix();

 private:
  // Whether the bare name `name` is one that removeLeftovers removes.
  static bool isLeftover(std::string_view name,
                         const std::function<bool(std::string_view)>& isDestination);

  struct Host;  // the host's open file
  std::unique_ptr<Host> host_;
  std::string destination_;
  std::string path_;
  Options options_;
  bool committed_ = false;
  bool closed_ = false;
};

// This computer's name as temporary names carry it (computerForNames).
std::string thisComputer();

// What separates the parts of a host path: "\" or "/" on Windows, "/" elsewhere.
extern const std::string_view kHostPathSeparators;

// Whether this computer runs a process of that id (this one included). Conservative: a process
// that cannot be looked at (another user's) counts as running; a reused id makes a leftover wait
// for a later run.
bool processRuns(uint64_t processId);

// A computer's name made fit for a file name that is read back from its end: no ".", nothing
// that Windows refuses in a name.
inline std::string computerForNames(std::string_view name) {
  std::string safe(name.empty() ? "PC" : name);
  for (char& c : safe) {
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view(".\\/:*?\"<>|").find(c) != std::string_view::npos)
      c = '_';
  }
  return safe;
}

// Whether `name` is the bare name of a temporary file, "<destination>.<computer>-<process id>-
// <n>.part" or, from earlier versions, "<destination>.<process id>-<n>.part"; gives the
// destination's bare name, the computer ("" for the earlier form) and the process id.
inline bool parseTempFileName(std::string_view name, std::string_view& destination,
                              std::string_view& computer, uint64_t& processId) {
  constexpr std::string_view kSuffix = ".part";
  if (!name.ends_with(kSuffix))
    return false;
  name.remove_suffix(kSuffix.size());
  // A number of 1 to 10 digits at the end of `name`, taken off it with the separator before it.
  auto number = [&name](uint64_t& value) {
    std::size_t digits = 0;
    while (digits < name.size() && digits < 10 && name[name.size() - 1 - digits] >= '0' &&
           name[name.size() - 1 - digits] <= '9') {
      ++digits;
    }
    value = 0;
    for (char digit : name.substr(name.size() - digits))
      value = value * 10 + static_cast<unsigned>(digit - '0');
    name.remove_suffix(digits);
    char separator = digits > 0 && name.size() > 1 ? name.back() : '\0';
    name.remove_suffix(separator != '\0' ? 1 : 0);
    return separator;
  };
  uint64_t counter = 0;
  if (number(counter) != '-')
    return false;
  char before = number(processId);
  computer = {};
  if (before == '-') {
    std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size())
      return false;
    computer = name.substr(dot + 1);
    name = name.substr(0, dot);
  } else if (before != '.') {
    return false;
  }
  destination = name;
  return true;
}

}  // namespace tk::host
