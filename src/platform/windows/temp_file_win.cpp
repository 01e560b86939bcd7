// TempFile on Win32: CREATE_NEW beside the destination, FlushFileBuffers before MoveFileExW
// replaces it, and the removal of what this computer's killed runs left.
#include "platform/temp_file.h"

#include <algorithm>
#include <atomic>

#include "platform/windows/error_win.h"
#include "platform/windows/handles_win.h"
#include "platform/windows/strings_win.h"

namespace tk::host {

struct TempFile::Host {
  UniqueHandle file;
};

namespace {

// What every temporary name of this process carries before its counter.
const std::string& ownStem() {
  static const std::string stem =
      "." + thisComputer() + "-" + std::to_string(GetCurrentProcessId()) + "-";
  return stem;
}

// Another computer reading the destination (copying the package folder, say) or a virus scanner
// holds it open for a moment: its replace is tried again for a while. A read-only file or a
// folder at the destination refuses it (ERROR_ACCESS_DENIED too) however long one waits.
bool momentarilyInUse(DWORD error, const std::wstring& destination) {
  DWORD attributes = GetFileAttributesW(destination.c_str());
  return (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
          error == ERROR_ACCESS_DENIED) &&
         attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

constexpr int kReplaceAttempts = 30;
constexpr DWORD kReplacePause = 100;  // milliseconds

}  // namespace

const std::string_view kHostPathSeparators = "\\/";

// The NetBIOS name: at most 15 characters, unique among the computers that share a folder.
std::string thisComputer() {
  static const std::string name = [] {
    wchar_t buffer[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return computerForNames(GetComputerNameW(buffer, &size) ? toUtf8(std::wstring(buffer, size))
                                                            : std::string());
  }();
  return name;
}

std::size_t TempFile::longestSuffix() {
  return toWide(ownStem()).size() + 10 + 5;  // the counter's digits, ".part"
}

TempFile::TempFile(const std::string& destination, Options options)
    : host_(std::make_unique<Host>()), destination_(destination), options_(options) {
  static std::atomic<unsigned> counter{0};
  std::string stem = destination + ownStem();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = stem + std::to_string(counter++) + ".part";
    host_->file.reset(CreateFileW(toWide(candidate).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (host_->file) {
      path_ = candidate;
      return;
    }
    if (GetLastError() != ERROR_FILE_EXISTS)
      throwLastError();
  }
  throw makeError(err::kPathFileAccess);
}

TempFile::~TempFile() {
  host_->file.reset();
  if (!committed_ && !path_.empty())
    DeleteFileW(toWide(path_).c_str());
}

void TempFile::write(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    DWORD done = 0;
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!WriteFile(host_->file.get(), bytes, chunk, &done, nullptr))
      throwLastError();
    bytes += done;
    size -= done;
  }
}

void TempFile::close() {
  if (closed_)
    return;
  if (options_.flush && !FlushFileBuffers(host_->file.get()))
    throwLastError();
  if (!host_->file.close())
    throwLastError();
  closed_ = true;
}

void TempFile::commit() {
  close();
  DWORD how = MOVEFILE_REPLACE_EXISTING | (options_.flush ? MOVEFILE_WRITE_THROUGH : 0);
  std::wstring from = toWide(path_);
  std::wstring to = toWide(destination_);
  for (int attempt = 1; !MoveFileExW(from.c_str(), to.c_str(), how); ++attempt) {
    DWORD error = GetLastError();
    if (attempt == kReplaceAttempts || !momentarilyInUse(error, to))
      throw makeError(runtimeNumberFromWin32(error));
    Sleep(kReplacePause);
  }
  committed_ = true;
}

bool processRuns(uint64_t processId) {
  if (processId == GetCurrentProcessId())
    return true;
  if (processId > 0xFFFFFFFFu)
    return false;
  UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(processId)));
  if (!process)
    return GetLastError() != ERROR_INVALID_PARAMETER;  // no process of that id
  return WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

bool TempFile::removeLeftovers(const std::string& folder,
                               const std::function<bool(std::string_view)>& isDestination) {
  std::wstring base = toWide(folder);
  if (!base.empty() && base.back() != L'\\' && base.back() != L'/')
    base += L'\\';
  WIN32_FIND_DATAW found{};
  UniqueFindHandle search(FindFirstFileW((base + L"*.part").c_str(), &found));
  if (!search && GetLastError() == ERROR_PATH_NOT_FOUND)
    return false;
  for (bool more = bool(search); more; more = FindNextFileW(search.get(), &found)) {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        isLeftover(toUtf8(found.cFileName), isDestination)) {
      DeleteFileW((base + found.cFileName).c_str());  // one still open elsewhere stays
    }
  }
  return true;
}

}  // namespace tk::host
