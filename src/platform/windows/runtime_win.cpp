// The runtime's file statements on Win32: MkDir, FileCopy and App.Path.
#include "platform/windows/runtime_win.h"

#include <algorithm>
#include <string_view>

#include "platform/host_platform.h"
#include "platform/windows/strings_win.h"

namespace tk::host {
namespace {

// The longest path Win32 can hand back (32767 characters and the terminator).
constexpr std::size_t kLongestPath = 32768;

// Must be called straight after the failing Win32 call, before anything else can reset the code.
[[noreturn]] void throwLastError() {
  DWORD code = GetLastError();
  throw makeError(runtimeNumberFromWin32(code));
}

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

std::string HostPlatform::AppPath() {
  return toUtf8(folderOf(modulePath(nullptr)));
}

}  // namespace tk::host
