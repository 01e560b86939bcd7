// The script shell on Windows: RegRead, the desktop folder from the known-folder API (relocated
// and redirected desktops included), and shortcuts through IShellLinkW + IPersistFile.
#include "platform/windows/win32.h"

#include <shlobj.h>

#include "platform/host_platform.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "platform/windows/com_win.h"
#include "platform/windows/strings_win.h"

namespace tk::host {
namespace {

std::string desktopFolder() {
  PWSTR path = nullptr;
  HRESULT result = SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &path);
  UniqueCoTaskText owned(path);  // freed also after a failure, as the API asks
  throwIfFailed(result);
  std::wstring text = owned ? owned.get() : L"";
  // Without a closing backslash, except at a drive root ("D:\").
  while (text.size() > 3 && text.back() == L'\\')
    text.pop_back();
  return toUtf8(text);
}

class WinShortcut : public WshShortcut {
 public:
  explicit WinShortcut(std::string path) : path_(std::move(path)) {}

  void Save() override {
    ComInit com;  // declared first, so it outlives the interfaces below
    ComPtr<IShellLinkW> link;
    throwIfFailed(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   link.putVoid()));
    throwIfFailed(link->SetDescription(toWide(Description).c_str()));
    throwIfFailed(link->SetPath(toWide(TargetPath).c_str()));
    ComPtr<IPersistFile> file;
    throwIfFailed(link->QueryInterface(IID_IPersistFile, file.putVoid()));
    throwIfFailed(file->Save(toWide(path_).c_str(), TRUE));
  }

 private:
  std::string path_;
};

class WinWshShell : public WshShell {
 public:
  std::string RegRead(const std::string& name) override { return regRead(name); }
  std::string SpecialFolders(const std::string& name) override {
    // Like the script shell, a folder name it does not know gives the empty text.
    return equalsIgnoringCase(name, "Desktop") ? desktopFolder() : "";
  }
  std::unique_ptr<WshShortcut> CreateShortCut(const std::string& path) override {
    return std::make_unique<WinShortcut>(path);
  }
};

}  // namespace

std::unique_ptr<WshShell> HostPlatform::CreateWshShell() {
  return std::make_unique<WinWshShell>();
}

}  // namespace tk::host
