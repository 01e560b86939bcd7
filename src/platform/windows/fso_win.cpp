// The file-system object on Win32: text files in the system's ANSI code page with CR LF line ends,
// as the scripting runtime writes them when no Unicode flag is given.
#include "platform/host_platform.h"
#include "platform/windows/strings_win.h"
#include "platform/windows/win32.h"

namespace tk::host {
namespace {

PlatformError lastError() {
  return makeError(runtimeNumberFromWin32(GetLastError()));
}

std::string toAnsi(const std::string& utf8) {
  std::wstring wide = toWide(utf8);
  if (wide.empty())
    return {};
  int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), size,
                      nullptr, nullptr);
  return ansi;
}

class WinTextStream : public TextStream {
 public:
  explicit WinTextStream(HANDLE file) : file_(file) {}
  ~WinTextStream() override {
    if (file_ != INVALID_HANDLE_VALUE)
      CloseHandle(file_);
  }
  void writeline(const std::string& text) override {
    if (file_ == INVALID_HANDLE_VALUE)
      throw makeError(err::kBadFileName);
    std::string bytes = toAnsi(text) + "\r\n";
    DWORD written = 0;
    if (!WriteFile(file_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
      throw lastError();
    }
  }
  void Close() override {
    if (file_ == INVALID_HANDLE_VALUE)
      return;
    HANDLE file = file_;
    file_ = INVALID_HANDLE_VALUE;
    if (!CloseHandle(file))
      throw lastError();
  }

 private:
  HANDLE file_;
};

class WinFileSystemObject : public FileSystemObject {
 public:
  std::unique_ptr<TextStream> CreateTextFile(const std::string& path, bool overwrite) override {
    HANDLE file =
        CreateFileW(toWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                    overwrite ? CREATE_ALWAYS : CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      DWORD error = GetLastError();
      if (error == ERROR_FILE_EXISTS)
        throw makeError(err::kFileExists);
      throw makeError(runtimeNumberFromWin32(error));
    }
    return std::make_unique<WinTextStream>(file);
  }
};

}  // namespace

std::unique_ptr<FileSystemObject> makeFileSystemObject() {
  return std::make_unique<WinFileSystemObject>();
}

}  // namespace tk::host
