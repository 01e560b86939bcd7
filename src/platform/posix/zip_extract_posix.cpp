// The substitute's shell folder objects: NameSpace gives a folder for an existing folder or file
// (an archive), and CopyHere extracts an archive's items with the program's zip reader, which
// takes only the driver's archive, reads it with pread and writes each file through a TempFile,
// with names matched ignoring case as on Windows.
#include "platform/zip_extract.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <string>
#include <system_error>
#include <unordered_map>

#include "platform/host_platform.h"
#include "platform/posix/handles_posix.h"
#include "platform/posix/io_posix.h"
#include "platform/posix/paths_posix.h"
#include "platform/text.h"
#include "zip/zip_names.h"

namespace fs = std::filesystem;

namespace tk::host {
namespace {

class HostArchive : public zip::ArchiveSource {
 public:
  explicit HostArchive(const fs::path& path) : path_(path) {
    fd_.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (!fd_ || ::fstat(fd_.get(), &info) != 0)
      throw lastErrnoError(path);
    size_ = static_cast<uint64_t>(info.st_size);
  }
  uint64_t size() override { return size_; }
  void readAt(uint64_t offset, unsigned char* buffer, std::size_t length) override {
    if (readAllAt(fd_.get(), offset, buffer, length))
      return;
    if (errno != 0)
      throw lastErrnoError(path_);
    throw PlatformError(err::kInvalidFileFormat, "Zip arşivi okunurken beklenmedik biçimde bitti");
  }

 private:
  fs::path path_;
  UniqueFd fd_;
  uint64_t size_ = 0;
};

class HostDestination : public zip::Destination {
 public:
  // The folder's own path, without a closing separator, keys its listing.
  explicit HostDestination(const fs::path& root)
      : root_(root.has_filename() ? root : root.parent_path()) {}
  void makeFolder(const std::string& path) override;
  std::unique_ptr<zip::OutputFile> create(const std::string& path, bool executable) override;
  uint64_t freeSpace() override {
    struct statvfs volume {};
    if (::statvfs(root_.c_str(), &volume) != 0)
      throw lastErrnoError(root_);
    return static_cast<uint64_t>(volume.f_bavail) * volume.f_frsize;
  }
  // The host's own limits: a name of NAME_MAX bytes, a path of PATH_MAX with its terminator.
  bool fits(const std::string& path, bool folder) override {
    constexpr zip::PathLimits kLimits{PATH_MAX - 1, PATH_MAX - 1, NAME_MAX, false};
    return zip::fitsUnder(root_.string().size() + 1, path, folder, TempFile::longestSuffix(),
                          kLimits);
  }
  bool removeLeftovers(const std::string& path, const std::vector<std::string>& names) override {
    return removeExtractionLeftovers((path.empty() ? root_ : resolve(path)).string(), names);
  }

 private:
  using Listing = std::unordered_map<std::string, std::string>;  // folded name -> name
  fs::path resolve(const std::string& path);
  Listing& listing(const fs::path& folder);
  void remember(const fs::path& host);

  fs::path root_;
  std::unordered_map<std::string, Listing> listings_;  // folder -> its entries
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
  } else {
    listings_.try_emplace(host.string());  // a new folder holds nothing yet: no need to read it
  }
  remember(host);
}

// The final name is known (and remembered) at once: a later entry of the same name in another
// letter case replaces this one, as on Windows.
std::unique_ptr<zip::OutputFile> HostDestination::create(const std::string& path, bool executable) {
  fs::path host = resolve(path);
  auto file = std::make_unique<ExtractedFile>(host.string(), executable);
  remember(host);
  return file;
}

// The items of a folder or an archive: what CopyHere copies, all of it.
struct HostItems : FolderItems {
  HostItems(fs::path source, bool archive) : source(std::move(source)), archive(archive) {}
  fs::path source;
  bool archive;
};

class HostFolder : public ShellFolder {
 public:
  HostFolder(fs::path host, bool archive) : host_(std::move(host)), archive_(archive) {}
  std::unique_ptr<FolderItems> Items() override {
    return std::make_unique<HostItems>(host_, archive_);
  }
  // The options only shape the shell's progress window, which the substitute does not show.
  std::optional<CopyCounts> CopyHere(FolderItems& items, int) override {
    auto* source = dynamic_cast<HostItems*>(&items);
    if (source == nullptr)
      throw makeError(err::kObjectRequired);
    // The program only ever extracts an archive into a folder; other copies are not offered.
    if (!source->archive || archive_)
      throw makeError(err::kInvalidCall);
    zip::ExtractStats stats =
        extractArchive(source->source.string(), host_.string(), Content::Driver);
    return CopyCounts{stats.files + stats.folders, stats.bytes};
  }

 private:
  fs::path host_;
  bool archive_;
};

class HostShell : public ShellDispatch {
 public:
  std::unique_ptr<ShellFolder> NameSpace(const std::string& path) override {
    fs::path host = hostPath(path);
    std::error_code error;
    fs::file_status status = fs::status(host, error);
    if (fs::is_directory(status))
      return std::make_unique<HostFolder>(host, false);
    if (fs::is_regular_file(status))
      return std::make_unique<HostFolder>(host, true);
    return nullptr;
  }
};

}  // namespace

zip::ExtractStats extractArchive(const std::string& archive, const std::string& destination,
                                 Content content) {
  HostArchive source(archive);
  HostDestination target(destination);
  return runAsLongWork(source, target, content);
}

void checkArchive(const std::string& archive) {
  HostArchive source(archive);
  HostDestination folder(fs::path(archive).parent_path());
  checkDriverArchive(source, folder);
}

std::unique_ptr<ShellDispatch> HostPlatform::CreateShellDispatch() {
  return std::make_unique<HostShell>();
}

}  // namespace tk::host
