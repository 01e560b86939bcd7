// The runtime's file statements on the host: Dir (hidden means a name starting with "."; the
// host has no system attribute), MkDir, FileCopy and App.Path. Names are matched ignoring case,
// as Windows does.
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>
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

// Whether an entry of this name and type passes the mask.
bool acceptedByMask(const std::string& name, fs::file_type type, int attributes) {
  if (name.empty() || name == "." || name == "..")
    return false;
  bool isFolder = type == fs::file_type::directory;
  if (!isFolder && type != fs::file_type::regular)
    return false;
  if (isFolder && (attributes & vbDirectory) == 0)
    return false;
  if (name[0] == '.' && (attributes & vbHidden) == 0)
    return false;
  return true;
}

// Whether the host said "no such entry" (a missing name, or a file where a folder should be):
// an empty answer, not a failure.
bool nothingThere(const std::error_code& error) {
  return error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory;
}

// The type of the entry at `path`, following links: not_found when there is none (a link to
// nothing as well); a failure to look (no permission, an I/O error) throws.
fs::file_type typeAt(const fs::path& path) {
  std::error_code error;
  fs::file_status status = fs::status(path, error);
  if (error && status.type() != fs::file_type::not_found)
    throw hostError(error, path);
  return status.type();
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

// The names in `folder` that match the wildcard pattern and pass the mask, sorted as Windows
// lists them.
std::vector<std::string> matchingNames(const fs::path& folder, const std::string& pattern,
                                       int attributes) {
  std::vector<std::string> names;
  std::error_code error;
  fs::directory_iterator it(folder, error);
  if (nothingThere(error))
    return names;
  for (fs::directory_iterator end; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    if (matchesWildcard(name, pattern) && acceptedByMask(name, typeAt(it->path()), attributes))
      names.push_back(name);
  }
  if (error)
    throw hostError(error, folder);
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return foldCase(a) < foldCase(b); });
  return names;
}

}  // namespace

HostPlatform::HostPlatform() : dir_(std::make_unique<DirState>()) {}

HostPlatform::~HostPlatform() = default;

std::string HostPlatform::Dir(const std::string& pathName, int attributes) {
  *dir_ = {{}, true};  // a started search with no names yet; ends the one in progress
  auto [folderText, last] = splitPath(pathName);
  std::vector<std::string> names;
  if (!hasWildcards(last)) {
    fs::path candidate = hostPath(pathName);
    std::string name = candidate.filename().string();
    if (acceptedByMask(name, typeAt(candidate), attributes))
      names.push_back(name);
  } else {
    names = matchingNames(hostPath(folderText), last, attributes);
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

namespace {

// The host paths of a copy whose source is an existing ordinary file and whose destination's
// folder exists; otherwise the runtime's failure.
std::pair<fs::path, fs::path> copyEnds(const std::string& source, const std::string& destination) {
  fs::path from = hostPath(source);
  fs::path to = hostPath(destination);
  fs::file_type type = typeAt(from);
  if (type == fs::file_type::not_found)
    throw errnoError(ENOENT, from);
  if (type != fs::file_type::regular)
    throw makeError(err::kPathFileAccess);
  if (typeAt(to.parent_path()) != fs::file_type::directory)
    throw makeError(err::kPathNotFound);
  return {from, to};
}

}  // namespace

void HostPlatform::FileCopy(const std::string& source, const std::string& destination) {
  auto [from, to] = copyEnds(source, destination);
  // Windows refuses a folder as the destination (access denied) and a file copied onto itself
  // (its source is open for reading: a sharing violation); the host would answer otherwise.
  if (typeAt(to) == fs::file_type::directory)
    throw makeError(runtimeNumberFromWin32(win32::kAccessDenied));
  std::error_code error;
  if (fs::equivalent(from, to, error))
    throw makeError(runtimeNumberFromWin32(win32::kSharingViolation));
  // copy_file keeps the mode bits, so a copied program can still be started.
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
  if (error)
    throw hostError(error, to);
}

bool HostPlatform::FileCopyIfAbsent(const std::string& source, const std::string& destination) {
  auto [from, to] = copyEnds(source, destination);
  // Without overwrite_existing, copy_file creates the destination exclusively (O_EXCL): an
  // entry of that name, whatever it is, is kept, and nothing slips in between.
  std::error_code error;
  fs::copy_file(from, to, fs::copy_options::none, error);
  if (error == std::errc::file_exists)
    return false;
  if (error)
    throw hostError(error, to);
  return true;
}

std::string HostPlatform::AppPath() {
  std::error_code error;
  fs::path exe = fs::read_symlink("/proc/self/exe", error);
  if (!error)
    return windowsText(exe.parent_path());
  fs::path current = fs::current_path(error);
  if (error)
    throw hostError(error, ".");
  return windowsText(current);
}

}  // namespace tk::host
