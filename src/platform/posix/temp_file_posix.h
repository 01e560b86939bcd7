// A file received under a temporary name in its destination's folder and moved over the
// destination only when complete, so a failure never leaves a half-written file behind.
#pragma once

#include <cstddef>
#include <filesystem>

namespace tk::host {

class TempFile {
 public:
  // Creates the temporary file beside `destination`; a missing folder throws 76.
  explicit TempFile(std::filesystem::path destination);
  ~TempFile();  // removes the temporary file unless it was committed
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // Appends bytes; false with errno set when the disk refuses them.
  bool write(const char* data, std::size_t size);
  // Flushes to the disk, closes and renames over the destination; throws the host's error.
  void commit();

 private:
  std::filesystem::path destination_;
  std::filesystem::path path_;
  int fd_ = -1;
  bool committed_ = false;
  unsigned long long written_ = 0;
  unsigned long long flushedUpTo_ = 0;
};

}  // namespace tk::host
