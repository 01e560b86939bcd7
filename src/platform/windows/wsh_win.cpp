// The script shell's host pieces on Windows: the desktop folder from the known-folder API
// (relocated and redirected desktops included), and shortcuts through IShellLinkW + IPersistFile.
#include "platform/windows/win32.h"

#include <shlobj.h>

#include "platform/windows/com_win.h"
#include "platform/windows/strings_win.h"
#include "platform/wsh.h"

namespace tk::host {

std::string desktopFolder() {
  PWSTR path = nullptr;
  HRESULT result = comApi().knownFolderPath(FOLDERID_Desktop, 0, nullptr, &path);
  UniqueCoTaskText owned(path);  // freed also after a failure, as the API asks
  throwIfFailed(result);
  std::wstring text = owned ? owned.get() : L"";
  // Without a closing backslash, except at a drive root ("D:\").
  while (text.size() > 3 && text.back() == L'\\')
    text.pop_back();
  return toUtf8(text);
}

void saveShortcut(const std::string& path, const WshShortcut& shortcut) {
  ComPtr<IShellLinkW> link;
  throwIfFailed(comApi().createInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IShellLinkW, link.putVoid()));
  throwIfFailed(link->SetDescription(toWide(shortcut.Description).c_str()));
  throwIfFailed(link->SetPath(toWide(shortcut.TargetPath).c_str()));
  ComPtr<IPersistFile> file;
  throwIfFailed(link->QueryInterface(IID_IPersistFile, file.putVoid()));
  throwIfFailed(file->Save(toWide(path).c_str(), TRUE));
}

}  // namespace tk::host
