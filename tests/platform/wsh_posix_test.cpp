// The substitute's script shell: the XDG desktop folder, and the shortcut as a desktop entry
// written by CreateShortCut on the real substitute.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "platform/host_platform.h"
#include "platform/temp_home_posix.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace tk {
namespace {

using test::readFile;
using test::writeFile;

TEST(DesktopFolder, ComesFromTheXdgSettings) {
  struct Case {
    std::string userDirs, expected;  // "~" in `expected` stands for the home folder
  };
  for (const Case& c :
       std::vector<Case>{{"", "~/Desktop"},
                         {"XDG_DESKTOP_DIR=\"$HOME/Masaüstü\"\n", "~/Masaüstü"},
                         {"# XDG_DESKTOP_DIR=\"$HOME/Yorum\"\nXDG_DESKTOP_DIR=\"$HOME/Eski\"\n"
                          "  XDG_DESKTOP_DIR=\"${HOME}/Masa \\\"Üstü\\\"\"\n",
                          "~/Masa \"Üstü\""},
                         {"XDG_DESKTOP_DIR=\"/tmp/\"\n", "/tmp"},
                         {"XDG_DESKTOP_DIR=\"Masaüstü\"\n", "~/Desktop"},  // relative: ignored
                         {"XDG_DESKTOP_DIR=\"$HOMEPATH/x\"\n", "~/Desktop"}}) {
    test::TempHome scratch;
    writeFile(scratch.home() / ".config/user-dirs.dirs", c.userDirs);
    std::string expected =
        c.expected[0] == '~' ? scratch.home().string() + c.expected.substr(1) : c.expected;
    host::HostPlatform platform;
    EXPECT_EQ(platform.CreateWshShell()->SpecialFolders("Desktop"), expected) << c.userDirs;
  }
}

// The real substitute, with the setup folder chosen by the test where it must differ from the
// running test program's own.
class SetupFolderAt : public host::HostPlatform {
 public:
  std::optional<std::string> setupFolder;
  std::string AppPath() override {
    return setupFolder ? *setupFolder : host::HostPlatform::AppPath();
  }
};

TEST(CreateShortCutOnTheSubstitute, ADesktopEntryReplacingAnOldOne) {
  test::TempHome scratch;
  fs::path desktop = scratch.home() / "Masa Üstü $ %50";
  writeFile(scratch.home() / ".config/user-dirs.dirs",
            "XDG_DESKTOP_DIR=\"$HOME/Masa Üstü $ %50\"\n");
  writeFile(desktop / "Tovren.lnk", std::string(500, 'x'));
  SetupFolderAt platform;
  Form1 form(platform);
  form.userPath = form.GetDesktop();
  form.CreateShortCut();  // from the test program's folder
  // "$" is escaped for Exec, "%" doubled, and the escaping backslash doubled for the file.
  EXPECT_EQ(readFile(desktop / "Tovren.lnk"),
            "[Desktop Entry]\nType=Application\nName=Tovren\nComment=Tovren\nExec=\"" +
                scratch.home().string() + "/Masa Üstü \\\\$ %%50/Tovren/Tovren.exe\"\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(desktop), {}), 1);  // no temporary left
}

TEST(CreateShortCutOnTheSubstitute, NotFromTheDesktopItselfButFromItInAnotherCase) {
  test::TempHome scratch;
  SetupFolderAt platform;
  fs::path programFolder = platform.AppPath();
  writeFile(scratch.home() / ".config/user-dirs.dirs",
            "XDG_DESKTOP_DIR=\"" + programFolder.string() + "\"\n");
  fs::remove(programFolder / "Tovren.lnk");
  Form1 form(platform);
  form.CreateShortCut();
  EXPECT_FALSE(fs::exists(programFolder / "Tovren.lnk"));
  platform.setupFolder = UCase(programFolder.string());
  form.CreateShortCut();
  EXPECT_TRUE(fs::remove(programFolder / "Tovren.lnk"));
}

}  // namespace
}  // namespace tk
