// The Windows side of the contract tests' host helpers: attributes and share modes.
#include <system_error>

#include "contract_support.h"
#include "platform/windows/handles_win.h"

namespace fs = std::filesystem;

namespace tk::test {

// "|" is never allowed in a Windows name, so FindFirstFileW fails with ERROR_INVALID_NAME.
const std::string_view kUnusableFolder = "kötü|ad\\";

void makeHidden(const fs::path& file) {
  DWORD attributes = GetFileAttributesW(file.c_str());
  SetFileAttributesW(file.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
}

void makeRemovable(const fs::path& root) {
  std::error_code error;
  for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
       it.increment(error)) {
    SetFileAttributesW(it->path().c_str(),
                       it->is_directory() ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL);
  }
}

namespace {

class OpenWithoutSharing : public FileInUse {
 public:
  explicit OpenWithoutSharing(HANDLE handle) : handle_(handle) {}

 private:
  host::UniqueHandle handle_;
};

}  // namespace

std::unique_ptr<FileInUse> holdInUse(const fs::path& file) {
  HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    return nullptr;
  return std::make_unique<OpenWithoutSharing>(handle);
}

}  // namespace tk::test
