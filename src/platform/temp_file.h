// A file written under a temporary name beside its destination and moved over the destination
// only when it is complete, so a failure never leaves a half-written file in its place. The
// download receives into one, and the zip reader writes every extracted file through one.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

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
  // Flushes (as the options say), closes and moves the file over the destination, replacing a
  // file of that name. After a failure the temporary file is still removed by the destructor.
  void commit();

 private:
  struct Host;  // the host's open file
  std::unique_ptr<Host> host_;
  std::string destination_;
  std::string path_;
  Options options_;
  bool committed_ = false;
};

}  // namespace tk::host
