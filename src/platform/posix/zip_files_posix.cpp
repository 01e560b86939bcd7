// The zip reader on host files: the archive read with pread, and the destination written through
// temporary files renamed into place, with names matched ignoring case as on Windows.
#include "platform/posix/zip_files_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <unordered_map>

#include "platform/posix/paths_posix.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace tk::host {
namespace {

PlatformError errnoError(int error, const fs::path& path) {
  return hostError(std::error_code(error, std::generic_category()), path);
}

class HostArchive : public zip::ArchiveSource {
 public:
  explicit HostArchive(const fs::path& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
      throw errnoError(errno, path);
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
      int error = errno;
      ::close(fd_);
      throw errnoError(error, path);
    }
    size_ = static_cast<uint64_t>(info.st_size);
  }
  ~HostArchive() override { ::close(fd_); }
  uint64_t size() override { return size_; }
  void readAt(uint64_t offset, unsigned char* buffer, std::size_t length) override {
    while (length > 0) {
      ssize_t got = ::pread(fd_, buffer, length, static_cast<off_t>(offset));
      if (got < 0 && errno == EINTR)
        continue;
      if (got < 0)
        throw errnoError(errno, path_);
      if (got == 0)
        throw PlatformError(err::kInvalidFileFormat,
                            "Zip arşivi okunurken beklenmedik biçimde bitti");
      buffer += got;
      offset += static_cast<uint64_t>(got);
      length -= static_cast<std::size_t>(got);
    }
  }

 private:
  fs::path path_;
  int fd_ = -1;
  uint64_t size_ = 0;
};

class HostTemporary : public zip::TemporaryFile {
 public:
  HostTemporary(int fd, fs::path path) : fd_(fd), path_(std::move(path)) {}
  ~HostTemporary() override { closeQuietly(); }
  void write(const unsigned char* data, std::size_t length) override {
    while (length > 0) {
      ssize_t put = ::write(fd_, data, length);
      if (put < 0 && errno == EINTR)
        continue;
      if (put < 0)
        throw errnoError(errno, path_);
      data += put;
      length -= static_cast<std::size_t>(put);
    }
  }
  void close() override {
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
      throw errnoError(errno, path_);
  }
  void closeQuietly() noexcept {
    if (fd_ >= 0)
      ::close(fd_);
    fd_ = -1;
  }
  const fs::path& path() const { return path_; }

 private:
  int fd_;
  fs::path path_;
};

class HostDestination : public zip::Destination {
 public:
  // The folder's own path, without a closing separator, keys its listing.
  explicit HostDestination(const fs::path& root)
      : root_(root.has_filename() ? root : root.parent_path()) {}
  void makeFolder(const std::string& path) override;
  std::unique_ptr<zip::TemporaryFile> openTemporary(const std::string& path,
                                                    bool executable) override;
  void rename(zip::TemporaryFile& file, const std::string& path) override;
  void remove(zip::TemporaryFile& file) noexcept override;

 private:
  using Listing = std::unordered_map<std::string, std::string>;  // folded name -> name
  fs::path resolve(const std::string& path);
  Listing& listing(const fs::path& folder);
  void remember(const fs::path& host);

  fs::path root_;
  std::unordered_map<std::string, Listing> listings_;  // folder -> its entries
  unsigned counter_ = 0;
};

// The host path of a destination-relative path: each part that exists under another letter case
// takes that name, so a file is replaced rather than doubled.
fs::path HostDestination::resolve(const std::string& path) {
  fs::path host = root_;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t slash = std::min(path.find('/', start), path.size());
    std::string part = path.substr(start, slash - start);
    Listing& names = listing(host);
    auto found = names.find(foldCase(part));
    host /= found == names.end() ? part : found->second;
    start = slash + 1;
  }
  return host;
}

HostDestination::Listing& HostDestination::listing(const fs::path& folder) {
  auto found = listings_.find(folder.string());
  if (found != listings_.end())
    return found->second;
  if (listings_.size() > 4096)
    listings_.clear();  // a cache only: memory stays flat whatever the archive holds
  Listing& names = listings_[folder.string()];
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    names.emplace(foldCase(name), name);
  }
  return names;
}

void HostDestination::remember(const fs::path& host) {
  auto found = listings_.find(host.parent_path().string());
  if (found != listings_.end()) {
    std::string name = host.filename().string();
    found->second.emplace(foldCase(name), name);
  }
}

void HostDestination::makeFolder(const std::string& path) {
  fs::path host = resolve(path);
  if (::mkdir(host.c_str(), 0777) != 0) {
    int error = errno;
    struct stat info {};
    if (error != EEXIST || ::stat(host.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
      throw errnoError(error, host);
  }
  remember(host);
}

std::unique_ptr<zip::TemporaryFile> HostDestination::openTemporary(const std::string& path,
                                                                   bool executable) {
  fs::path folder = resolve(path).parent_path();
  for (int attempt = 0;; ++attempt) {
    fs::path name =
        folder / ("~tk" + std::to_string(::getpid()) + "-" + std::to_string(counter_++) + ".tmp");
    int fd =
        ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, executable ? 0777 : 0666);
    if (fd >= 0)
      return std::make_unique<HostTemporary>(fd, name);
    if (errno != EEXIST || attempt == 100)
      throw errnoError(errno, name);
  }
}

void HostDestination::rename(zip::TemporaryFile& file, const std::string& path) {
  auto& temporary = static_cast<HostTemporary&>(file);
  fs::path host = resolve(path);
  if (::rename(temporary.path().c_str(), host.c_str()) != 0)
    throw errnoError(errno, host);
  remember(host);
}

void HostDestination::remove(zip::TemporaryFile& file) noexcept {
  auto& temporary = static_cast<HostTemporary&>(file);
  temporary.closeQuietly();
  ::unlink(temporary.path().c_str());
}

}  // namespace

zip::ExtractStats extractArchive(const fs::path& archive, const fs::path& destination) {
  HostArchive source(archive);
  HostDestination target(destination);
  return zip::extract(source, target, decodeCp857);
}

}  // namespace tk::host
