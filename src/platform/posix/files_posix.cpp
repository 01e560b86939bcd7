// The runtime's file statements on the host: Dir (hidden means a name starting with "."; the
// host has no system attribute), MkDir, FileCopy and App.Path. Names are matched ignoring case,
// as Windows does.
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/host_platform.h"
#include "platform/posix/paths_posix.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace tk::host {

// The enumeration that Dir without arguments continues: the names still to give, last first.
class DirEnumeration {
 public:
  std::string first(const std::string& pathName, int attributes);
  std::string next();

 private:
  std::vector<std::string> remaining_;
  bool started_ = false;
};

namespace {

bool acceptedByMask(const fs::directory_entry& entry, int attributes) {
  std::string name = entry.path().filename().string();
  if (name == "." || name == "..")
    return false;
  std::error_code error;
  bool isFolder = entry.is_directory(error);
  bool isFile = entry.is_regular_file(error);
  if (!isFolder && !isFile)
    return false;
  if (isFolder && (attributes & vbDirectory) == 0)
    return false;
  if (name[0] == '.' && (attributes & vbHidden) == 0)
    return false;
  return true;
}

bool hasWildcards(const std::string& text) {
  return text.find_first_of("*?") != std::string::npos;
}

// Splits a Windows path into its folder and its last part (empty for a path ending in "\").
void splitPath(const std::string& pathName, std::string& folder, std::string& last) {
  std::size_t cut = pathName.find_last_of("\\/");
  if (cut == std::string::npos) {
    bool drive = pathName.size() >= 2 && pathName[1] == ':';
    folder = drive ? pathName.substr(0, 2) + "\\" : ".";
    last = drive ? pathName.substr(2) : pathName;
    return;
  }
  folder = pathName.substr(0, cut + 1);
  last = pathName.substr(cut + 1);
}

}  // namespace

std::string DirEnumeration::first(const std::string& pathName, int attributes) {
  remaining_.clear();
  started_ = true;
  std::string folderText, last;
  splitPath(pathName, folderText, last);
  if (last.empty())
    last = "*";
  fs::path folder = hostPath(folderText);
  std::vector<std::string> names;
  std::error_code error;
  if (!hasWildcards(last)) {
    fs::path candidate = hostPath(pathName);
    fs::directory_entry entry(candidate, error);
    if (!error && entry.exists(error) && acceptedByMask(entry, attributes)) {
      names.push_back(candidate.filename().string());
    }
  } else {
    fs::directory_iterator entries(folder, error);
    if (error) {
      if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory) {
        return "";
      }
      throw hostError(error, folder);
    }
    for (const fs::directory_entry& entry : entries) {
      std::string name = entry.path().filename().string();
      if (acceptedByMask(entry, attributes) && matchesWildcard(name, last))
        names.push_back(name);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return foldCase(a) < foldCase(b); });
  }
  remaining_.assign(names.rbegin(), names.rend());
  return next();
}

std::string DirEnumeration::next() {
  if (!started_)
    throw makeError(err::kInvalidCall);
  if (remaining_.empty())
    return "";
  std::string name = remaining_.back();
  remaining_.pop_back();
  return name;
}

HostPlatform::HostPlatform() : dir_(std::make_unique<DirEnumeration>()) {}

HostPlatform::~HostPlatform() = default;

std::string HostPlatform::Dir(const std::string& pathName, int attributes) {
  return dir_->first(pathName, attributes);
}

std::string HostPlatform::Dir() {
  return dir_->next();
}

void HostPlatform::MkDir(const std::string& path) {
  fs::path host = hostPath(path);
  std::error_code error;
  if (fs::exists(host, error))
    throw makeError(runtimeNumberFromWin32(win32::kAlreadyExists));
  if (!fs::create_directory(host, error) && error)
    throw hostError(error, host);
}

void HostPlatform::FileCopy(const std::string& source, const std::string& destination) {
  fs::path from = hostPath(source);
  fs::path to = hostPath(destination);
  std::error_code error;
  if (!fs::is_regular_file(from, error)) {
    if (fs::exists(from, error))
      throw makeError(err::kPathFileAccess);
    throw errnoError(ENOENT, from);
  }
  if (!fs::is_directory(to.parent_path(), error))
    throw makeError(err::kPathNotFound);
  // Windows refuses a folder as the destination (access denied) and a file copied onto itself
  // (its source is open for reading: a sharing violation); the host would answer otherwise.
  if (fs::is_directory(to, error))
    throw makeError(runtimeNumberFromWin32(win32::kAccessDenied));
  if (fs::equivalent(from, to, error))
    throw makeError(runtimeNumberFromWin32(win32::kSharingViolation));
  // copy_file keeps the mode bits, so a copied program can still be started.
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
  if (error)
    throw hostError(error, to);
}

std::string HostPlatform::AppPath() {
  std::error_code error;
  fs::path exe = fs::read_symlink("/proc/self/exe", error);
  if (error)
    return windowsText(fs::current_path());
  return windowsText(exe.parent_path());
}

}  // namespace tk::host
