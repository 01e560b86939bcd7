// A file written under a temporary name beside its destination and moved over the destination
// only when it is complete, so a failure never leaves a half-written file in its place. The
// download receives into one, and the zip reader writes every extracted file through one.
#pragma once

#include <cstddef>
#include <cstdint>
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
  // `destination`, a host path (UTF-8), named "<destination>.<process id>-<n>.part". A missing
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
  // task manager, say), left beside `destination`: its temporary files of another process, and
  // nothing else. A file that cannot be removed (still in use) stays.
  static void removeLeftovers(const std::string& destination);

 private:
  struct Host;  // the host's open file
  std::unique_ptr<Host> host_;
  std::string destination_;
  std::string path_;
  Options options_;
  bool committed_ = false;
  bool closed_ = false;
};

// Whether `name` is the name of a temporary file of `destinationName` (both bare names):
// "<destinationName>.<process id>-<n>.part"; gives the process id.
inline bool isTempFileOf(std::string_view name, std::string_view destinationName,
                         uint64_t& processId) {
  auto take = [&name](std::string_view text) {
    bool found = name.starts_with(text);
    name.remove_prefix(found ? text.size() : 0);
    return found;
  };
  auto number = [&name](uint64_t& value) {
    std::size_t digits = 0;
    for (value = 0;
         digits < name.size() && digits < 10 && name[digits] >= '0' && name[digits] <= '9';
         ++digits) {
      value = value * 10 + static_cast<unsigned>(name[digits] - '0');
    }
    name.remove_prefix(digits);
    return digits > 0;
  };
  uint64_t counter = 0;
  return take(destinationName) && take(".") && number(processId) && take("-") && number(counter) &&
         name == ".part";
}

}  // namespace tk::host
