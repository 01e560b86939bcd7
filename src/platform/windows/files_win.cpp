// The runtime's file statements on Win32: Dir on FindFirstFileW / FindNextFileW filtered by the
// runtime's attribute mask, MkDir, FileCopy and App.Path.
#include "platform/windows/files_win.h"

#include <algorithm>
#include <string_view>

#include "platform/host_platform.h"
#include "platform/windows/error_win.h"
#include "platform/windows/handles_win.h"
#include "platform/windows/strings_win.h"

namespace tk::host {

// The search that Dir without arguments continues.
struct DirState {
  UniqueFindHandle find;
  int attributes = 0;
  bool started = false;
};

namespace {

// Whether an entry passes the mask. Only hidden and folder entries can be asked for; system
// entries are never returned (no caller asks for them), read-only and archive files are ordinary.
// "." and ".." are dropped as well: no caller enumerates folders.
bool accepted(const WIN32_FIND_DATAW& data, int attributes) {
  std::wstring_view name = data.cFileName;
  if (name == L"." || name == L"..")
    return false;
  DWORD refused = FILE_ATTRIBUTE_SYSTEM;
  if ((attributes & vbHidden) == 0)
    refused |= FILE_ATTRIBUTE_HIDDEN;
  if ((attributes & vbDirectory) == 0)
    refused |= FILE_ATTRIBUTE_DIRECTORY;
  return (data.dwFileAttributes & refused) == 0;
}

// The codes with which Windows says "no such entry": an empty answer, not a failure.
bool meansNothingThere(DWORD code) {
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
         code == ERROR_NO_MORE_FILES;
}

// FindFirstFileW refuses a pattern that ends in a separator; the runtime reads it as "every
// entry of that folder".
std::wstring searchPattern(const std::string& pathName) {
  std::wstring pattern = toWide(pathName);
  if (pattern.empty() || pattern.back() == L'\\' || pattern.back() == L'/')
    pattern += L'*';
  return pattern;
}

// The longest path Win32 can hand back (32767 characters and the terminator).
constexpr std::size_t kLongestPath = 32768;

// The folder part of a full path, without a closing backslash except at a drive root ("C:\",
// also behind a "\\?\" prefix).
std::wstring folderOf(std::wstring_view path) {
  std::size_t cut = path.find_last_of(L"\\/");
  std::wstring folder(path.substr(0, cut == std::wstring_view::npos ? 0 : cut));
  if (!folder.empty() && folder.back() == L':')
    folder += L'\\';
  return folder;
}

}  // namespace

HostPlatform::HostPlatform() : dir_(std::make_unique<DirState>()) {}

HostPlatform::~HostPlatform() = default;

std::string HostPlatform::Dir(const std::string& pathName, int attributes) {
  *dir_ = {UniqueFindHandle(), attributes, true};  // ends the search in progress
  WIN32_FIND_DATAW data{};
  HANDLE handle = FindFirstFileW(searchPattern(pathName).c_str(), &data);
  if (handle == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    if (meansNothingThere(code))
      return "";
    throw makeError(runtimeNumberFromWin32(code));
  }
  dir_->find.reset(handle);
  if (accepted(data, dir_->attributes))
    return toUtf8(data.cFileName);
  return HostPlatform::Dir();  // the next match
}

std::string HostPlatform::Dir() {
  if (!dir_->started)
    throw makeError(err::kInvalidCall);
  while (dir_->find) {
    WIN32_FIND_DATAW data{};
    if (!FindNextFileW(dir_->find.get(), &data)) {
      DWORD code = GetLastError();
      dir_->find.reset();
      if (code == ERROR_NO_MORE_FILES)
        return "";
      throw makeError(runtimeNumberFromWin32(code));
    }
    if (accepted(data, dir_->attributes))
      return toUtf8(data.cFileName);
  }
  return "";
}

// GetModuleFileNameW truncates silently when the buffer is short (it then returns the buffer's
// size), so the buffer grows until the answer fits: a setup package unpacked deep inside a
// downloads folder may lie beyond MAX_PATH.
std::wstring modulePath(HMODULE module, std::size_t firstSize) {
  std::wstring buffer(std::max<std::size_t>(firstSize, 1), L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0)
      throwLastError();
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    if (buffer.size() >= kLongestPath)
      throw makeError(err::kBadFileName);
    buffer.resize(std::min(buffer.size() * 2, kLongestPath));
  }
}

void HostPlatform::MkDir(const std::string& path) {
  std::wstring widePath = toWide(path);
  if (!CreateDirectoryW(widePath.c_str(), nullptr))
    throwLastError();  // 183 (exists) and 80 become 75, 3 (no parent) 76
}

void HostPlatform::FileCopy(const std::string& source, const std::string& destination) {
  std::wstring from = toWide(source);
  std::wstring to = toWide(destination);
  // FALSE: replace a destination of the same name, as the runtime's FileCopy does.
  if (!CopyFileW(from.c_str(), to.c_str(), FALSE))
    throwLastError();  // 2 -> 53, 3 -> 76, 32 (in use) -> 70, 5 -> 75
}

bool HostPlatform::FileCopyIfAbsent(const std::string& source, const std::string& destination) {
  // TRUE: an existing destination fails the copy with ERROR_FILE_EXISTS instead of being
  // replaced, so nothing can slip in between a check and the copy.
  if (CopyFileW(toWide(source).c_str(), toWide(destination).c_str(), TRUE))
    return true;
  DWORD code = GetLastError();
  if (code == ERROR_FILE_EXISTS)
    return false;
  throw makeError(runtimeNumberFromWin32(code));
}

std::string HostPlatform::AppPath() {
  return toUtf8(folderOf(modulePath(nullptr)));
}

bool isFile(const std::string& path) {
  DWORD attributes = GetFileAttributesW(toWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace tk::host
