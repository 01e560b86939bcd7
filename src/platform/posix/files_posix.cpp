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

// The search that Dir without arguments continues.
struct DirState {
  std::vector<std::string> remaining;  // the names still to give, last first
  bool started = false;
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

// A Windows path split into its folder and its last part, the pattern of the search: "*" for a
// path ending in "\".
struct Search {
  std::string folder;
  std::string pattern;
};

Search splitPath(const std::string& pathName) {
  std::size_t cut = pathName.find_last_of("\\/");
  bool drive = cut == std::string::npos && pathName.size() >= 2 && pathName[1] == ':';
  Search search;
  if (cut != std::string::npos) {
    search = {pathName.substr(0, cut + 1), pathName.substr(cut + 1)};
  } else {
    search = {drive ? pathName.substr(0, 2) + "\\" : ".", drive ? pathName.substr(2) : pathName};
  }
  if (search.pattern.empty())
    search.pattern = std::string(1, '*');
  return search;
}

}  // namespace

HostPlatform::HostPlatform() : dir_(std::make_unique<DirState>()) {}

HostPlatform::~HostPlatform() = default;

std::string HostPlatform::Dir(const std::string& pathName, int attributes) {
  *dir_ = {{}, true};  // a started search with no names yet; ends the one in progress
  auto [folderText, last] = splitPath(pathName);
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
  dir_->remaining.assign(names.rbegin(), names.rend());
  return HostPlatform::Dir();  // the next match
}

std::string HostPlatform::Dir() {
  if (!dir_->started)
    throw makeError(err::kInvalidCall);
  if (dir_->remaining.empty())
    return "";
  std::string name = dir_->remaining.back();
  dir_->remaining.pop_back();
  return name;
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
