// TempFile: CREATE_NEW beside the destination, flushed before MoveFileExW replaces it.
#include "platform/windows/temp_file_win.h"

#include <atomic>

#include "platform/error.h"
#include "platform/windows/strings_win.h"
#include "platform/windows/win32.h"

namespace tk::host {
namespace {

PlatformError lastError() {
  return makeError(runtimeNumberFromWin32(GetLastError()));
}

}  // namespace

TempFile::TempFile(const std::string& destination)
    : destination_(toWide(destination)), handle_(INVALID_HANDLE_VALUE) {
  static std::atomic<unsigned> counter{0};
  std::wstring stem = destination_ + L"." + std::to_wstring(GetCurrentProcessId()) + L"-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::wstring candidate = stem + std::to_wstring(counter++) + L".part";
    HANDLE file = CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      handle_ = file;
      path_ = candidate;
      return;
    }
    if (GetLastError() != ERROR_FILE_EXISTS)
      throw lastError();
  }
  throw makeError(err::kPathFileAccess);
}

TempFile::~TempFile() {
  if (handle_ != INVALID_HANDLE_VALUE)
    CloseHandle(handle_);
  if (!committed_ && !path_.empty())
    DeleteFileW(path_.c_str());
}

void TempFile::write(const char* data, std::size_t size) {
  while (size > 0) {
    DWORD done = 0;
    DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    if (!WriteFile(handle_, data, chunk, &done, nullptr))
      throw lastError();
    data += done;
    size -= done;
  }
}

void TempFile::commit() {
  if (!FlushFileBuffers(handle_))
    throw lastError();
  HANDLE file = handle_;
  handle_ = INVALID_HANDLE_VALUE;
  if (!CloseHandle(file))
    throw lastError();
  if (!MoveFileExW(path_.c_str(), destination_.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    throw lastError();
  }
  committed_ = true;
}

}  // namespace tk::host
