// The substitute's file-system object: text files written in the Turkish ANSI code page
// (Windows-1254), as a Turkish Windows writes them, with CR LF line ends.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/host_platform.h"
#include "platform/posix/paths_posix.h"

namespace tk::host {
namespace {

// Windows-1254 for one code point; '?' where the code page has no such letter.
char toCodePage1254(char32_t c) {
  if (c < 0x80)
    return static_cast<char>(c);
  switch (c) {
    case 0x11E:
      return '\xD0';  // Ğ
    case 0x11F:
      return '\xF0';  // ğ
    case 0x130:
      return '\xDD';  // İ
    case 0x131:
      return '\xFD';  // ı
    case 0x15E:
      return '\xDE';  // Ş
    case 0x15F:
      return '\xFE';  // ş
    case 0xD0:
    case 0xF0:
    case 0xDD:
    case 0xFD:
    case 0xDE:
    case 0xFE:
      return '?';
    default:
      return c >= 0xA0 && c <= 0xFF ? static_cast<char>(c) : '?';
  }
}

std::string toAnsi(const std::string& utf8) {
  std::string out;
  for (std::size_t at = 0; at < utf8.size();) {
    unsigned char lead = static_cast<unsigned char>(utf8[at]);
    std::size_t length = lead < 0x80             ? 1
                         : (lead & 0xE0) == 0xC0 ? 2
                         : (lead & 0xF0) == 0xE0 ? 3
                                                 : 4;
    char32_t c = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (std::size_t k = 1; k < length && at + k < utf8.size(); ++k) {
      c = (c << 6) | (static_cast<unsigned char>(utf8[at + k]) & 0x3F);
    }
    out += toCodePage1254(c);
    at += length;
  }
  return out;
}

class PosixTextStream : public TextStream {
 public:
  PosixTextStream(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}
  ~PosixTextStream() override {
    if (fd_ >= 0)
      ::close(fd_);
  }
  void writeline(const std::string& text) override {
    if (fd_ < 0)
      throw makeError(err::kBadFileName);
    std::string bytes = toAnsi(text) + "\r\n";
    for (std::size_t done = 0; done < bytes.size();) {
      ssize_t written = ::write(fd_, bytes.data() + done, bytes.size() - done);
      if (written < 0 && errno == EINTR)
        continue;
      if (written < 0)
        throw hostError(std::error_code(errno, std::generic_category()), path_);
      done += static_cast<std::size_t>(written);
    }
  }
  void Close() override {
    if (fd_ < 0)
      return;
    int result = ::close(fd_);
    fd_ = -1;
    if (result != 0)
      throw hostError(std::error_code(errno, std::generic_category()), path_);
  }

 private:
  int fd_;
  std::filesystem::path path_;
};

class PosixFileSystemObject : public FileSystemObject {
 public:
  std::unique_ptr<TextStream> CreateTextFile(const std::string& path, bool overwrite) override {
    std::filesystem::path host = hostPath(path);
    int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (overwrite ? 0 : O_EXCL);
    int fd = ::open(host.c_str(), flags, 0644);
    if (fd < 0) {
      if (errno == EEXIST)
        throw makeError(err::kFileExists);
      throw hostError(std::error_code(errno, std::generic_category()), host);
    }
    return std::make_unique<PosixTextStream>(fd, host);
  }
};

}  // namespace

std::unique_ptr<FileSystemObject> makeFileSystemObject() {
  return std::make_unique<PosixFileSystemObject>();
}

}  // namespace tk::host
