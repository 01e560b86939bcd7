// The script shell on Windows through CreateShortCut: the desktop from the known-folder API, here
// relocated to a path with blanks and Turkish letters, and the shortcut read back through
// IShellLinkW::Load.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "app/form1.h"
#include "platform/host_platform.h"
#include "platform/scratch_win.h"
#include "platform/windows/com_win.h"
#include "platform/windows/strings_win.h"

namespace fs = std::filesystem;

namespace tk {
namespace {

using test::utf8Of;

// Description and target; the target from the item list the link resolves through, since
// GetPath under Wine loses letters outside the ANSI code page.
std::pair<std::string, std::string> readShortcut(const fs::path& file) {
  host::comApi();  // COM loaded and the apartment entered, as the program does on first use
  host::ComPtr<IShellLinkW> link;
  host::throwIfFailed(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IShellLinkW, link.putVoid()));
  host::ComPtr<IPersistFile> persist;
  host::throwIfFailed(link->QueryInterface(IID_IPersistFile, persist.putVoid()));
  host::throwIfFailed(persist->Load(file.c_str(), STGM_READ));
  wchar_t description[1024] = L"";
  wchar_t target[MAX_PATH] = L"";
  host::throwIfFailed(link->GetDescription(description, 1024));
  PIDLIST_ABSOLUTE list = nullptr;
  host::throwIfFailed(link->GetIDList(&list));
  SHGetPathFromIDListW(list, target);
  CoTaskMemFree(list);
  return {host::toUtf8(description), host::toUtf8(target)};
}

// Moves the user's desktop for the length of a test, as a redirected desktop is, through the
// per-user shell folder setting (Wine has no SHSetKnownFolderPath).
class RelocatedDesktop {
 public:
  explicit RelocatedDesktop(const fs::path& to) {
    fs::create_directories(to);
    RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Desktop", REG_EXPAND_SZ, to.c_str(),
                    static_cast<DWORD>((to.wstring().size() + 1) * sizeof(wchar_t)));
  }
  ~RelocatedDesktop() { RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"Desktop"); }

 private:
  static constexpr const wchar_t* kKey =
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
};

// The real platform, with the setup folder chosen by the test.
class SetupFolderAt : public host::HostPlatform {
 public:
  std::string setupFolder;
  std::string AppPath() override { return setupFolder; }
};

TEST(CreateShortCutOnWindows, OnARelocatedTurkishDesktopUnlessStartedFromItExactly) {
  test::ScratchFolder scratch;
  fs::path root = scratch.host("");
  fs::path desktop = root / L"OneDrive - Şirket" / L"Masaüstü Ayşe Işık";
  RelocatedDesktop relocated(desktop);
  test::writeFile(desktop / L"Tovren.lnk", "eski");
  SetupFolderAt platform;
  Form1 form(platform);
  form.userPath = form.GetDesktop();
  ASSERT_EQ(form.userPath, utf8Of(desktop));

  platform.setupFolder = form.userPath;  // started from the desktop itself
  form.CreateShortCut();
  EXPECT_EQ(test::readFile(desktop / L"Tovren.lnk"), "eski");

  platform.setupFolder = utf8Of(root / L"OneDrive - ŞİRKET" / L"Masaüstü Ayşe Işık");
  form.CreateShortCut();
  auto [description, target] = readShortcut(desktop / L"Tovren.lnk");
  EXPECT_EQ(description, "Tovren");
  EXPECT_EQ(target, utf8Of(desktop / L"Tovren" / L"Tovren.exe"));
}

}  // namespace
}  // namespace tk
