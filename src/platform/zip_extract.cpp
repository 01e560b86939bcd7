// What both hosts share where the program's reader stands in for the shell's zip folder: an
// archive's items, a folder inside it, and extraction out of that folder.
#include "platform/zip_extract.h"

#include <algorithm>

#include "platform/text.h"

namespace tk::host {
namespace {

// Discards an entry that lies outside the folder being extracted.
class NoOutput : public zip::OutputFile {
 public:
  void write(const unsigned char*, std::size_t) override {}
  void commit() override {}
};

// Records every path the reader would make, a folder's with a closing "/", writing nothing.
class PathList : public zip::Destination {
 public:
  void makeFolder(const std::string& path) override { paths.push_back(path + "/"); }
  std::unique_ptr<zip::OutputFile> create(const std::string& path, bool) override {
    paths.push_back(path);
    return std::make_unique<NoOutput>();
  }
  uint64_t freeSpace() override { return UINT64_MAX; }
  std::vector<std::string> paths;
};

// A folder inside an archive, as the shell's zip folder gives it: its items, and no copying
// into it.
class ArchiveFolder : public ShellFolder {
 public:
  ArchiveFolder(std::string archive, std::string folder)
      : archive_(std::move(archive)), folder_(std::move(folder)) {}
  std::unique_ptr<FolderItems> Items() override {
    return std::make_unique<ArchiveItems>(archive_, folder_);
  }
  std::optional<CopyCounts> CopyHere(FolderItems&, int) override {
    throw makeError(err::kInvalidCall);
  }

 private:
  std::string archive_;
  std::string folder_;
};

// An item of an archive: a file ("a/b"), or a folder ("a/") whose folder object it gives.
class ArchiveItem : public FolderItem {
 public:
  ArchiveItem(std::string archive, std::string path)
      : archive_(std::move(archive)), path_(std::move(path)) {}
  std::unique_ptr<ShellFolder> GetFolder() override {
    if (path_.back() != '/')
      return nullptr;
    return std::make_unique<ArchiveFolder>(archive_, path_);
  }

 private:
  std::string archive_;
  std::string path_;
};

bool startsIgnoringCase(const std::string& path, const std::string& prefix) {
  return path.size() >= prefix.size() && equalsIgnoringCase(path.substr(0, prefix.size()), prefix);
}

}  // namespace

std::vector<std::string> listPaths(zip::ArchiveSource& archive) {
  PathList list;
  zip::extract(archive, list, decodeOem);
  return list.paths;
}

const std::vector<std::string>& ArchiveItems::names() {
  if (names_)
    return *names_;
  std::vector<std::string> found;
  for (const std::string& path : archivePaths(archive)) {
    if (!startsIgnoringCase(path, folder) || path.size() == folder.size())
      continue;
    std::size_t slash = path.find('/', folder.size());
    std::string name =
        path.substr(folder.size(), slash == path.npos ? slash : slash + 1 - folder.size());
    // A folder's name ends in "/" whether its own entry or a path through it gave it: once.
    auto same = [&](const std::string& seen) { return equalsIgnoringCase(seen, name); };
    if (std::none_of(found.begin(), found.end(), same))
      found.push_back(std::move(name));
  }
  return names_.emplace(std::move(found));
}

std::unique_ptr<FolderItem> ArchiveItems::Item(int index) {
  if (index < 0 || index >= Count())
    throw makeError(err::kSubscriptOutOfRange);
  const std::string& name = names()[static_cast<std::size_t>(index)];
  return std::make_unique<ArchiveItem>(archive, folder + name);
}

std::optional<std::string> FolderDestination::inside(const std::string& path) const {
  if (!startsIgnoringCase(path, folder_) || path.size() == folder_.size())
    return std::nullopt;
  return path.substr(folder_.size());
}

void FolderDestination::makeFolder(const std::string& path) {
  if (std::optional<std::string> below = inside(path))
    inner_.makeFolder(*below);
}

std::unique_ptr<zip::OutputFile> FolderDestination::create(const std::string& path,
                                                           bool executable) {
  if (std::optional<std::string> below = inside(path))
    return inner_.create(*below, executable);
  return std::make_unique<NoOutput>();
}

}  // namespace tk::host
