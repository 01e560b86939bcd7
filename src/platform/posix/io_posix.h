// Whole reads and writes on a file descriptor: the system may move fewer bytes than asked, or be
// interrupted by a signal, and every caller wants all of them or a reason.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

namespace tk::host {

// Writes all `size` bytes; false with errno set when it cannot (ENOSPC when the system takes no
// more bytes without saying why).
inline bool writeAll(int fd, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t done = ::write(fd, bytes, size);
    if (done < 0 && errno == EINTR)
      continue;
    if (done <= 0) {
      errno = done == 0 ? ENOSPC : errno;
      return false;
    }
    bytes += done;
    size -= static_cast<std::size_t>(done);
  }
  return true;
}

// Reads exactly `size` bytes at `offset`; false when they are not all there: errno is 0 when the
// file ends before them, the failure's otherwise.
inline bool readAllAt(int fd, uint64_t offset, void* data, std::size_t size) {
  auto* bytes = static_cast<char*>(data);
  while (size > 0) {
    ssize_t got = ::pread(fd, bytes, size, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0) {
      errno = got == 0 ? 0 : errno;
      return false;
    }
    bytes += got;
    offset += static_cast<uint64_t>(got);
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace tk::host
