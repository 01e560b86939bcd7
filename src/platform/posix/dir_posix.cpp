// Dir on the host file system. Hidden means a name starting with "."; the host has no system
// attribute. Names are matched ignoring case, as Windows does.
#include "platform/posix/dir_posix.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/platform.h"
#include "platform/posix/paths_posix.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace tk::host {
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

}  // namespace tk::host
