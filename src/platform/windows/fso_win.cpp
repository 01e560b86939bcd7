// The file-system object on Win32: text files in the system's ANSI code page with CR LF line ends,
// as the scripting runtime writes them when no Unicode flag is given.
#include "platform/code_pages.h"
#include "platform/host_platform.h"
#include "platform/windows/error_win.h"
#include "platform/windows/handles_win.h"
#include "platform/windows/strings_win.h"

namespace tk::host {
namespace {

class WinTextStream : public TextStream {
 public:
  explicit WinTextStream(UniqueHandle file) : file_(std::move(file)) {}
  void writeline(const std::string& text) override {
    if (!file_)
      throw makeError(err::kBadFileName);
    std::string bytes = toAnsi(text) + "\r\n";
    DWORD written = 0;
    if (!WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   nullptr) ||
        written != bytes.size()) {
      throwLastError();
    }
  }
  void Close() override {
    if (!file_.close())
      throwLastError();
  }

 private:
  UniqueHandle file_;
};

class WinFileSystemObject : public FileSystemObject {
 public:
  std::unique_ptr<TextStream> CreateTextFile(const std::string& path, bool overwrite) override {
    UniqueHandle file(CreateFileW(toWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  overwrite ? CREATE_ALWAYS : CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    if (!file) {
      DWORD error = GetLastError();
      if (error == ERROR_FILE_EXISTS)
        throw makeError(err::kFileExists);
      throw makeError(runtimeNumberFromWin32(error));
    }
    return std::make_unique<WinTextStream>(std::move(file));
  }
};

}  // namespace

std::unique_ptr<FileSystemObject> HostPlatform::CreateFileSystemObject() {
  return std::make_unique<WinFileSystemObject>();
}

}  // namespace tk::host
