// The zip reader on Win32 files through the W APIs: the archive read at offsets, each file
// written under a temporary name and moved over its final name.
#include "platform/windows/zip_files_win.h"

#include <algorithm>
#include <memory>

#include "platform/error.h"
#include "platform/windows/strings_win.h"
#include "platform/windows/win32.h"

namespace tk::host {
namespace {

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() { close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool close() {
    HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
    return handle == INVALID_HANDLE_VALUE || CloseHandle(handle) != 0;
  }

 private:
  HANDLE handle_;
};

// Read right after the failing call, before any cleanup can change it.
PlatformError lastError() {
  return makeError(runtimeNumberFromWin32(GetLastError()));
}

class WinArchive : public zip::ArchiveSource {
 public:
  explicit WinArchive(const std::wstring& path)
      : file_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {
    LARGE_INTEGER size{};
    if (!file_.valid() || !GetFileSizeEx(file_.get(), &size))
      throw lastError();
    size_ = static_cast<uint64_t>(size.QuadPart);
  }
  uint64_t size() override { return size_; }
  void readAt(uint64_t offset, unsigned char* buffer, std::size_t length) override {
    while (length > 0) {
      OVERLAPPED at{};
      at.Offset = static_cast<DWORD>(offset);
      at.OffsetHigh = static_cast<DWORD>(offset >> 32);
      DWORD got = 0;
      DWORD want = static_cast<DWORD>(std::min<std::size_t>(length, 1u << 30));
      if (!ReadFile(file_.get(), buffer, want, &got, &at) && GetLastError() != ERROR_HANDLE_EOF)
        throw lastError();
      if (got == 0) {
        throw PlatformError(err::kInvalidFileFormat,
                            "Zip arşivi okunurken beklenmedik biçimde bitti");
      }
      buffer += got;
      offset += got;
      length -= got;
    }
  }

 private:
  FileHandle file_;
  uint64_t size_ = 0;
};

class WinTemporary : public zip::TemporaryFile {
 public:
  WinTemporary(HANDLE handle, std::wstring path) : file_(handle), path_(std::move(path)) {}
  void write(const unsigned char* data, std::size_t length) override {
    while (length > 0) {
      DWORD put = 0;
      DWORD want = static_cast<DWORD>(std::min<std::size_t>(length, 1u << 30));
      if (!WriteFile(file_.get(), data, want, &put, nullptr))
        throw lastError();
      data += put;
      length -= put;
    }
  }
  void close() override {
    if (!file_.close())
      throw lastError();
  }
  void discard() noexcept {
    file_.close();
    DeleteFileW(path_.c_str());
  }
  const std::wstring& path() const { return path_; }

 private:
  FileHandle file_;
  std::wstring path_;
};

class WinDestination : public zip::Destination {
 public:
  explicit WinDestination(std::wstring root) : root_(std::move(root)) {
    if (!root_.empty() && root_.back() != L'\\' && root_.back() != L'/')
      root_ += L'\\';
  }
  void makeFolder(const std::string& path) override {
    std::wstring folder = full(path);
    if (CreateDirectoryW(folder.c_str(), nullptr))
      return;
    DWORD error = GetLastError();
    DWORD attributes = GetFileAttributesW(folder.c_str());
    if (error != ERROR_ALREADY_EXISTS || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      throw makeError(runtimeNumberFromWin32(error));
    }
  }
  std::unique_ptr<zip::TemporaryFile> openTemporary(const std::string& path, bool) override {
    std::wstring target = full(path);
    std::wstring folder = target.substr(0, target.find_last_of(L'\\') + 1);
    for (int attempt = 0;; ++attempt) {
      std::wstring name = folder + L"~tk" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                          std::to_wstring(counter_++) + L".tmp";
      HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle != INVALID_HANDLE_VALUE)
        return std::make_unique<WinTemporary>(handle, name);
      if (GetLastError() != ERROR_FILE_EXISTS || attempt == 100)
        throw lastError();
    }
  }
  void rename(zip::TemporaryFile& file, const std::string& path) override {
    auto& temporary = static_cast<WinTemporary&>(file);
    if (!MoveFileExW(temporary.path().c_str(), full(path).c_str(), MOVEFILE_REPLACE_EXISTING))
      throw lastError();
  }
  void remove(zip::TemporaryFile& file) noexcept override {
    static_cast<WinTemporary&>(file).discard();
  }

 private:
  std::wstring full(const std::string& path) const {
    std::wstring wide = toWide(path);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return root_ + wide;
  }

  std::wstring root_;
  unsigned counter_ = 0;
};

}  // namespace

std::string decodeOem(std::string_view bytes) {
  if (bytes.empty())
    return {};
  int size =
      MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), size);
  return toUtf8(wide);
}

zip::ExtractStats extractArchive(const std::string& archive, const std::string& destination) {
  WinArchive source(toWide(archive));
  WinDestination target(toWide(destination));
  return zip::extract(source, target, decodeOem);
}

}  // namespace tk::host
