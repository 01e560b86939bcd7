// The support log's file on Win32: appended with FILE_APPEND_DATA (each line one WriteFile,
// straight to the system), readable by others while the run goes on; the user's %TEMP%.
#include "platform/support_log.h"

#include "platform/host_platform.h"
#include "platform/windows/error_win.h"
#include "platform/windows/handles_win.h"
#include "platform/windows/strings_win.h"

namespace tk::host {
namespace {

class WinAppendFile : public AppendFile {
 public:
  explicit WinAppendFile(UniqueHandle file) : file_(std::move(file)) {}
  bool append(std::string_view bytes) noexcept override {
    DWORD written = 0;
    return WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
           written == bytes.size();
  }

 private:
  UniqueHandle file_;
};

// The last part of the path is opened as it is, a reparse point included, and a symbolic link or
// a junction (a name surrogate) is refused: the file a link points at is never written. Other
// reparse points are ordinary files kept by a filter (a OneDrive file, a deduplicated one): the
// same file is opened again without the flag, so that the filter sees the writes.
UniqueHandle openLogFile(const std::string& path, DWORD disposition) {
  constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  UniqueHandle file(CreateFileW(toWide(path).c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                kShare, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file)
    return file;
  FILE_ATTRIBUTE_TAG_INFO facts{};
  if (!GetFileInformationByHandleEx(file.get(), FileAttributeTagInfo, &facts, sizeof facts))
    throwLastError();
  if ((facts.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
    return file;
  if (IsReparseTagNameSurrogate(facts.ReparseTag))
    throw linkRefused();
  UniqueHandle reopened(ReOpenFile(file.get(), FILE_APPEND_DATA, kShare, 0));
  if (!reopened)
    throwLastError();
  return reopened;
}

}  // namespace

const std::string_view kLineEnd = "\r\n";

std::unique_ptr<AppendFile> openForAppend(const std::string& path) {
  UniqueHandle file = openLogFile(path, OPEN_ALWAYS);
  if (!file)
    throwLastError();
  return std::make_unique<WinAppendFile>(std::move(file));
}

std::unique_ptr<AppendFile> createNewFile(const std::string& path) {
  UniqueHandle file = openLogFile(path, CREATE_NEW);
  if (!file) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
      return nullptr;
    throw makeError(runtimeNumberFromWin32(error));
  }
  return std::make_unique<WinAppendFile>(std::move(file));
}

std::string temporaryFolder() {
  wchar_t buffer[MAX_PATH + 1];
  DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH)
    return "";
  return toUtf8(std::wstring_view(buffer, length));
}

LocalTime localNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

std::string HostPlatform::OpenLog(const std::optional<std::string>& file) {
  return log_.open(file);
}

void HostPlatform::Log(const std::string& text) noexcept {
  log_.write(text);
}

}  // namespace tk::host
