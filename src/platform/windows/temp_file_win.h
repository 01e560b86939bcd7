// A file received under a temporary name in its destination's folder and moved over the
// destination only when complete, so a failure never leaves a half-written file behind.
#pragma once

#include <cstddef>
#include <string>

namespace tk::host {

class TempFile {
 public:
  // Creates the temporary file beside `destination` (UTF-8); a missing folder throws 76.
  explicit TempFile(const std::string& destination);
  ~TempFile();  // removes the temporary file unless it was committed
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // Appends bytes; throws the runtime's number for the failure.
  void write(const char* data, std::size_t size);
  // Flushes to the disk, closes and moves over the destination; throws the runtime's number.
  void commit();

 private:
  std::wstring destination_;
  std::wstring path_;
  void* handle_;
  bool committed_ = false;
};

}  // namespace tk::host
