// Windows paths onto the host: drive folders, separators and case-insensitive name matching.
#include "platform/posix/paths_posix.h"

#include <cerrno>
#include <cstdlib>

#include "platform/text.h"

namespace fs = std::filesystem;

namespace tk::host {
namespace {

fs::path homeFolder() {
  const char* home = std::getenv("HOME");
  return fs::path(home != nullptr && *home != '\0' ? home : "/tmp");
}

// The entry of `folder` whose name equals `name` ignoring case; `name` itself when none does
// (nothing there yet, or no such folder). A folder that cannot be read throws.
fs::path matchIgnoringCase(const fs::path& folder, const std::string& name) {
  std::error_code error;
  if (fs::exists(folder / name, error))
    return folder / name;
  fs::directory_iterator it(folder, error);
  if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory)
    return folder / name;
  std::string wanted = foldCase(name);
  for (fs::directory_iterator end; !error && it != end; it.increment(error)) {
    if (foldCase(it->path().filename().string()) == wanted)
      return it->path();
  }
  if (error)
    throw hostError(error, folder);
  return folder / name;
}

fs::path currentFolder() {
  std::error_code error;
  fs::path folder = fs::current_path(error);
  if (error)
    throw hostError(error, ".");
  return folder;
}

}  // namespace

fs::path driveRoot(char letter) {
  char lower = static_cast<char>(letter >= 'A' && letter <= 'Z' ? letter + 32 : letter);
  return homeFolder() / ".tovrenkur" / (std::string("drive_") + lower);
}

fs::path hostPath(std::string_view windowsPath) {
  std::string text(windowsPath);
  for (char& c : text) {
    if (c == '\\')
      c = '/';
  }
  fs::path result;
  std::string_view rest = text;
  bool hasDrive = rest.size() >= 2 && rest[1] == ':' &&
                  ((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= 'a' && rest[0] <= 'z'));
  if (hasDrive) {
    result = driveRoot(rest[0]);
    rest.remove_prefix(2);
  } else if (!rest.empty() && rest[0] == '/') {
    result = "/";
  } else {
    result = currentFolder();
  }
  while (!rest.empty()) {
    std::size_t slash = rest.find('/');
    std::string part(rest.substr(0, slash));
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".")
      continue;
    if (part == "..") {
      result = result.parent_path();
      continue;
    }
    result = matchIgnoringCase(result, part);
  }
  if (!text.empty() && text.back() == '/')
    result /= "";
  return result;
}

std::string windowsText(const fs::path& host) {
  std::string text = host.string();
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    std::string root = driveRoot(letter).string();
    if (text.rfind(root, 0) == 0 && (text.size() == root.size() || text[root.size()] == '/')) {
      std::string rest = text.substr(root.size());
      for (char& c : rest) {
        if (c == '/')
          c = '\\';
      }
      return std::string(1, static_cast<char>(letter - 32)) + ":" + (rest.empty() ? "\\" : rest);
    }
  }
  return text;
}

namespace {

// errno values as the Win32 codes Windows gives for the same failures; any other is "access
// denied", as Windows answers what it does not let happen.
constexpr CodeGroup<int, uint32_t> kWin32Codes[] = {
    {win32::kPathNotFound, {ENOTDIR}},
    {win32::kAccessDenied, {EACCES, EPERM, EISDIR, EROFS}},
    {win32::kAlreadyExists, {EEXIST}},
    {win32::kSharingViolation, {EBUSY, ETXTBSY}},
    {win32::kDiskFull, {ENOSPC, EDQUOT}},
    {win32::kFilenameTooLong, {ENAMETOOLONG}},
    {win32::kInvalidName, {EINVAL}},
    {win32::kNotEnoughMemory, {ENOMEM}},
    {win32::kIoDevice, {EIO}},
};

uint32_t win32FromErrno(int error, const fs::path& path) {
  if (error == ENOENT) {
    // Windows tells a missing file in an existing folder from a missing folder.
    std::error_code ignored;
    fs::path parent = path.has_filename() ? path.parent_path() : path.parent_path().parent_path();
    return fs::is_directory(parent, ignored) ? win32::kFileNotFound : win32::kPathNotFound;
  }
  return lookup(kWin32Codes, error, win32::kAccessDenied);
}

}  // namespace

PlatformError hostError(const std::error_code& error, const fs::path& path) {
  uint32_t code =
      error.category() == std::generic_category() || error.category() == std::system_category()
          ? win32FromErrno(error.value(), path)
          : win32::kAccessDenied;
  return makeError(runtimeNumberFromWin32(code));
}

PlatformError errnoError(int error, const fs::path& path) {
  return makeError(runtimeNumberFromWin32(win32FromErrno(error, path)));
}

PlatformError lastErrnoError(const fs::path& path) {
  return errnoError(errno != 0 ? errno : EIO, path);
}

}  // namespace tk::host
