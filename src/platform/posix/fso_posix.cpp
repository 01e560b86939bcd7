// The substitute's file-system object: text files written in the Turkish ANSI code page
// (Windows-1254), as a Turkish Windows writes them, with CR LF line ends.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/code_pages.h"
#include "platform/host_platform.h"
#include "platform/posix/handles_posix.h"
#include "platform/posix/io_posix.h"
#include "platform/posix/paths_posix.h"

namespace tk::host {
namespace {

class PosixTextStream : public TextStream {
 public:
  PosixTextStream(UniqueFd fd, std::filesystem::path path)
      : fd_(std::move(fd)), path_(std::move(path)) {}
  void writeline(const std::string& text) override {
    if (!fd_)
      throw makeError(err::kBadFileName);
    std::string bytes = toAnsi(text) + "\r\n";
    if (!writeAll(fd_.get(), bytes.data(), bytes.size()))
      throw lastErrnoError(path_);
  }
  void Close() override {
    if (!fd_.close())
      throw lastErrnoError(path_);
  }

 private:
  UniqueFd fd_;
  std::filesystem::path path_;
};

class PosixFileSystemObject : public FileSystemObject {
 public:
  std::unique_ptr<TextStream> CreateTextFile(const std::string& path, bool overwrite) override {
    std::filesystem::path host = hostPath(path);
    int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (overwrite ? 0 : O_EXCL);
    UniqueFd fd(::open(host.c_str(), flags, 0644));
    if (!fd) {
      if (errno == EEXIST)
        throw makeError(err::kFileExists);
      throw lastErrnoError(host);
    }
    return std::make_unique<PosixTextStream>(std::move(fd), host);
  }
};

}  // namespace

std::unique_ptr<FileSystemObject> HostPlatform::CreateFileSystemObject() {
  return std::make_unique<PosixFileSystemObject>();
}

}  // namespace tk::host
