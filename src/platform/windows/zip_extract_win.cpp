// The shell's folder automation ("Shell" by class id, IShellDispatch6 or IShellDispatch):
// NameSpace, Items and CopyHere. The program's own zip reader checks every archive before the
// shell extracts it, and where the shell gives no folder for an archive that exists (no
// zip-folder handler: Server Core, a disabled handler, Wine) or where no UI may show (a silent
// run), it extracts the archive itself, reading it at offsets and writing each file through a
// TempFile.
// clang-format off: <windows.h> with the project's settings first
#include "platform/windows/win32.h"
// clang-format on

#include <ole2.h>
#include <shldisp.h>

#include <algorithm>
#include <cstdio>

#include "platform/host_platform.h"
#include "platform/windows/com_win.h"
#include "platform/windows/error_win.h"
#include "platform/windows/handles_win.h"
#include "platform/windows/strings_win.h"
#include "platform/zip_extract.h"
#include "zip/zip_names.h"

namespace tk::host {
namespace {

class WinArchive : public zip::ArchiveSource {
 public:
  explicit WinArchive(const std::wstring& path)
      : file_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {
    LARGE_INTEGER size{};
    if (!file_ || !GetFileSizeEx(file_.get(), &size))
      throwLastError();
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
        throwLastError();
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
  UniqueHandle file_;
  uint64_t size_ = 0;
};

// The program is not declared long-path aware, so whatever the system's LongPathsEnabled says,
// its file functions take MAX_PATH (260 with the terminator), and a folder must leave room for an
// 8.3 name (MAX_PATH - 12); the shell's zip folders and the package script's cmd.exe are held to
// the same.
constexpr zip::PathLimits kWindowsLimits{MAX_PATH - 1, MAX_PATH - 12 - 1, 255, true};

// Win32 names ignore case by themselves: an entry replaces a file whatever its letter case.
class WinDestination : public zip::Destination {
 public:
  explicit WinDestination(std::string root) : root_(std::move(root)) {
    if (!root_.empty() && root_.back() != '\\' && root_.back() != '/')
      root_ += '\\';
    // The folder's real length: relative parts, "." and ".." as Windows resolves them.
    std::wstring wide = toWide(root_);
    DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    rootLength_ = length > 0 ? length - 1 : wide.size();
  }
  void makeFolder(const std::string& path) override {
    std::wstring folder = toWide(full(path));
    if (CreateDirectoryW(folder.c_str(), nullptr))
      return;
    DWORD error = GetLastError();
    DWORD attributes = GetFileAttributesW(folder.c_str());
    if (error != ERROR_ALREADY_EXISTS || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      throw makeError(runtimeNumberFromWin32(error));
    }
  }
  std::unique_ptr<zip::OutputFile> create(const std::string& path, bool executable) override {
    return std::make_unique<ExtractedFile>(full(path), executable);
  }
  uint64_t freeSpace() override {
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExW(toWide(root_).c_str(), &available, nullptr, nullptr))
      throwLastError();
    return available.QuadPart;
  }
  bool fits(const std::string& path, bool folder) override {
    return zip::fitsUnder(rootLength_, path, folder, TempFile::longestSuffix(), kWindowsLimits);
  }
  bool removeLeftovers(const std::string& path, const std::vector<std::string>& names) override {
    return removeExtractionLeftovers(full(path), names);
  }

 private:
  std::string full(const std::string& path) const {
    std::string windows = path;
    std::replace(windows.begin(), windows.end(), '/', '\\');
    return root_ + windows;
  }

  std::string root_;
  std::size_t rootLength_ = 0;  // in UTF-16 units, with the closing backslash
};

constexpr CLSID kShellClass = {
    0x13709620, 0xC279, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr IID kIShellDispatch6 = {
    0x286E6F1B, 0x7113, 0x4355, {0x95, 0x62, 0x96, 0xB7, 0xE9, 0xD6, 0x4C, 0x54}};
constexpr IID kIShellDispatch = {
    0xD8F015C0, 0xC278, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr IID kFolder = {
    0xBBCBDE60, 0xC3FF, 0x11CE, {0x83, 0x50, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

PlatformError shellError(HRESULT result, const char* what) {
  char text[160];
  std::snprintf(text, sizeof text, "Windows kabuğu %s işlemini yapamadı (HRESULT 0x%08lX)", what,
                static_cast<unsigned long>(result));
  return PlatformError(static_cast<int32_t>(result), text);
}

// The items of the one folder at the top of a driver archive (a newer one wraps the driver in
// it), so that the shell extracts the driver out of it, as the program's reader does.
ComPtr<::FolderItems> wrappedItems(::FolderItems& top) {
  Variant first;
  first.value.vt = VT_I4;
  first.value.lVal = 0;
  ComPtr<::FolderItem> item;
  ComPtr<IDispatch> dispatch;
  ComPtr<Folder> folder;
  ComPtr<::FolderItems> items;
  HRESULT result = top.Item(first.value, item.put());
  if (SUCCEEDED(result) && item)
    result = item->get_GetFolder(dispatch.put());
  if (SUCCEEDED(result) && dispatch)
    result = dispatch->QueryInterface(kFolder, folder.putVoid());
  if (SUCCEEDED(result) && folder)
    result = folder->Items(items.put());
  if (FAILED(result) || !items)
    throw shellError(FAILED(result) ? result : E_NOINTERFACE, "GetFolder");
  return items;
}

// The folder the shell gives for `path` (a folder, or an archive where a zip-folder handler is
// there), or none.
ComPtr<Folder> shellFolder(IShellDispatch& shell, const std::string& path) {
  std::wstring wide = toWide(path);
  Variant directory;
  directory.value.bstrVal = comApi().allocString(wide.data(), static_cast<UINT>(wide.size()));
  if (directory.value.bstrVal == nullptr)
    throw makeError(err::kOutOfMemory);
  directory.value.vt = VT_BSTR;
  ComPtr<Folder> folder;
  HRESULT result = shell.NameSpace(directory.value, folder.put());
  return SUCCEEDED(result) ? std::move(folder) : ComPtr<Folder>();
}

// What a folder's items stand for: the folder or the archive at `path`.
struct WinItems : tk::FolderItems {
  std::string path;
  bool archive = false;
};

// A folder, or an archive that the shell is not asked for until CopyHere has checked it.
class WinFolder : public ShellFolder {
 public:
  WinFolder(ComPtr<IShellDispatch> shell, std::string path, bool archive)
      : shell_(std::move(shell)), path_(std::move(path)), archive_(archive) {}
  std::unique_ptr<tk::FolderItems> Items() override {
    auto items = std::make_unique<WinItems>();
    items->path = path_;
    items->archive = archive_;
    return items;
  }
  std::optional<CopyCounts> CopyHere(tk::FolderItems& items, int options) override;

 private:
  ComPtr<IShellDispatch> shell_;
  std::string path_;
  bool archive_;
};

// The shell extracts the top-level items of the archive, or of the one folder that wraps them.
void shellCopy(Folder& destination, Folder& archive, bool wrapped, int options) {
  ComPtr<::FolderItems> items;
  HRESULT result = archive.Items(items.put());
  if (FAILED(result) || !items)
    throw FAILED(result) ? shellError(result, "Items") : makeError(err::kObjectNotSet);
  if (wrapped)
    items = wrappedItems(*items.get());
  Variant what;
  what.value.vt = VT_DISPATCH;
  what.value.pdispVal = items.get();
  what.value.pdispVal->AddRef();  // the Variant releases its own reference
  Variant how;
  how.value.vt = VT_I2;
  how.value.iVal = static_cast<SHORT>(options);
  result = destination.CopyHere(what.value, how.value);
  if (FAILED(result))
    throw shellError(result, "CopyHere");
}

// Only an archive is extracted into a folder. It is opened first and held, shared for reading
// only (no writer, no deleter: not another computer either, over SMB), and checked whole as the
// driver's archive before the shell is asked for it as a folder; held until the shell's copy has
// returned, so the shell lists and extracts exactly what was checked. Where the shell gives no
// folder for it (no zip-folder handler: Server Core, a disabled handler, Wine), the program's own
// reader extracts it.
std::optional<CopyCounts> WinFolder::CopyHere(tk::FolderItems& items, int options) {
  auto* source = dynamic_cast<WinItems*>(&items);
  if (source == nullptr)
    throw makeError(err::kObjectRequired);
  if (archive_ || !source->archive)
    throw makeError(err::kInvalidCall);
  WinArchive archive(toWide(source->path));
  WinDestination target(path_);
  std::string wrapper;
  runAsLongWork(archive, target, Content::Driver, false, &wrapper);
  // Zip folders may ignore CopyHere's flags and ask, or show errors, all the same: a copy that
  // asks for no UI is never handed to them.
  bool noUi = (options & kCopyNoUi) == kCopyNoUi;
  ComPtr<Folder> zipFolder = noUi ? ComPtr<Folder>() : shellFolder(*shell_.get(), source->path);
  ComPtr<Folder> destination = zipFolder ? shellFolder(*shell_.get(), path_) : ComPtr<Folder>();
  if (!zipFolder || !destination) {
    zip::ExtractStats stats = runAsLongWork(archive, target, Content::Driver);
    return CopyCounts{stats.files + stats.folders, stats.bytes};
  }
  shellCopy(*destination.get(), *zipFolder.get(), !wrapper.empty(), options);
  return std::nullopt;
}

class WinShell : public ShellDispatch {
 public:
  explicit WinShell(ComPtr<IShellDispatch> shell) : shell_(std::move(shell)) {}
  // A folder for an existing folder or file: a file is an archive, which the shell is not asked
  // for here (see CopyHere).
  std::unique_ptr<ShellFolder> NameSpace(const std::string& path) override {
    DWORD attributes = GetFileAttributesW(toWide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
      return nullptr;
    shell_->AddRef();  // the folder's own reference
    return std::make_unique<WinFolder>(ComPtr<IShellDispatch>(shell_.get()), path,
                                       (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0);
  }

 private:
  ComPtr<IShellDispatch> shell_;
};

}  // namespace

zip::ExtractStats extractArchive(const std::string& archive, const std::string& destination,
                                 Content content) {
  WinArchive source(toWide(archive));
  WinDestination target(destination);
  return runAsLongWork(source, target, content);
}

void checkArchive(const std::string& archive) {
  WinArchive source(toWide(archive));
  WinDestination folder(archive.substr(0, archive.find_last_of("\\/") + 1));
  checkDriverArchive(source, folder);
}

std::unique_ptr<ShellDispatch> HostPlatform::CreateShellDispatch() {
  const ComApi& com = comApi();
  ComPtr<IShellDispatch> shell;
  HRESULT result = com.createInstance(kShellClass, nullptr, CLSCTX_INPROC_SERVER, kIShellDispatch6,
                                      shell.putVoid());
  if (result == E_NOINTERFACE) {
    result = com.createInstance(kShellClass, nullptr, CLSCTX_INPROC_SERVER, kIShellDispatch,
                                shell.putVoid());
  }
  if (FAILED(result))
    throw shellError(result, "Shell nesnesini oluşturma");
  return std::make_unique<WinShell>(std::move(shell));
}

}  // namespace tk::host
