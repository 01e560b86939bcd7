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

// The last part of the path is opened as it is, a reparse point (a symbolic link, a junction)
// included, and refused as one: the file a link points at is never written.
UniqueHandle openLogFile(const std::string& path, DWORD disposition) {
  UniqueHandle file(CreateFileW(toWide(path).c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                disposition, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                                nullptr));
  BY_HANDLE_FILE_INFORMATION facts{};
  if (file && !GetFileInformationByHandle(file.get(), &facts))
    throwLastError();
  if (file && (facts.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    throw linkRefused();
  return file;
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
