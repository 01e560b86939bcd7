// Dir on the real substitute platform, on real folders: masks, hidden entries, letter case,
// enumeration, and the empty answer for what is not there.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "platform/posix/paths_posix.h"
#include "platform/posix/posix_platform.h"

namespace fs = std::filesystem;

namespace tk {
namespace {

class DirContract : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tk-dir-XXXXXX";
    root_ = mkdtemp(pattern);
    touch("MSCOMCTL.OCX");
    touch("msvbvm60.dll");
    touch(".gizli.dll");  // hidden on the host
    fs::create_directory(root_ / "Tovren Bileşenleri");
    touch("Tovren Bileşenleri/shell32.dll");
    fs::create_directory(root_ / "prgDosyaları");
  }
  void TearDown() override { fs::remove_all(root_); }

  void touch(const std::string& name) { std::ofstream(root_ / name) << "x"; }
  std::string win(const std::string& tail) { return root_.string() + tail; }

  std::set<std::string> enumerate(const std::string& path, int mask) {
    std::set<std::string> names;
    for (std::string name = platform_.Dir(path, mask); !name.empty(); name = platform_.Dir()) {
      EXPECT_TRUE(names.insert(name).second) << "returned twice: " << name;
    }
    return names;
  }

  fs::path root_;
  posix::PosixPlatform platform_;
};

TEST_F(DirContract, SingleNamesFollowTheMask) {
  EXPECT_EQ(platform_.Dir(win("\\MSCOMCTL.OCX"), 0), "MSCOMCTL.OCX");
  EXPECT_EQ(platform_.Dir(win("\\mscomctl.ocx"), 2), "MSCOMCTL.OCX");  // stored case comes back
  EXPECT_EQ(platform_.Dir(win("\\.gizli.dll"), 0), "");
  EXPECT_EQ(platform_.Dir(win("\\.gizli.dll"), 2), ".gizli.dll");
  EXPECT_EQ(platform_.Dir(win("\\Tovren Bileşenleri"), 2), "");
  EXPECT_EQ(platform_.Dir(win("\\tovren bileşenleri"), 16), "Tovren Bileşenleri");
  EXPECT_EQ(platform_.Dir(win("\\MSCOMCTL.OCX"), 16), "MSCOMCTL.OCX");  // files count under 16
  EXPECT_EQ(platform_.Dir(win("\\yok.dll"), 2), "");
  EXPECT_EQ(platform_.Dir(win("\\Yok Klasör\\yok.dll"), 2), "");
}

TEST_F(DirContract, EnumerationOfAFolderEndingInBackslash) {
  EXPECT_EQ(enumerate(win("\\"), 0), (std::set<std::string>{"MSCOMCTL.OCX", "msvbvm60.dll"}));
  EXPECT_EQ(enumerate(win("\\"), 2),
            (std::set<std::string>{"MSCOMCTL.OCX", "msvbvm60.dll", ".gizli.dll"}));
  EXPECT_EQ(enumerate(win("\\"), 16),
            (std::set<std::string>{"MSCOMCTL.OCX", "msvbvm60.dll", "Tovren Bileşenleri",
                                   "prgDosyaları"}));
  EXPECT_EQ(enumerate(win("\\TOVREN BİLEŞENLERİ\\"), 0), (std::set<std::string>{}));
  EXPECT_EQ(enumerate(win("\\Tovren BILEŞENLERI\\"), 0), (std::set<std::string>{"shell32.dll"}));
  EXPECT_EQ(enumerate(win("\\prgDosyaları\\"), 0), (std::set<std::string>{}));
  EXPECT_EQ(enumerate(win("\\*.dll"), 0), (std::set<std::string>{"msvbvm60.dll"}));
  EXPECT_EQ(platform_.Dir(), "");  // stays exhausted
}

TEST_F(DirContract, DriveCStandsForAFolderUnderHome) {
  const char* home = std::getenv("HOME");
  setenv("HOME", root_.c_str(), 1);
  fs::create_directories(root_ / ".tovrenkur/drive_c/Windows/SysWOW64");
  std::ofstream(root_ / ".tovrenkur/drive_c/Windows/SysWOW64/wmp.dll") << "x";
  EXPECT_EQ(platform_.Dir("C:\\Windows\\SysWOW64", 16), "SysWOW64");
  EXPECT_EQ(platform_.Dir("C:\\WINDOWS\\syswow64\\WMP.DLL", 2), "wmp.dll");
  EXPECT_EQ(posix::windowsText(posix::hostPath("C:\\Windows\\SysWOW64")), "C:\\Windows\\SysWOW64");
  if (home != nullptr)
    setenv("HOME", home, 1);
}

TEST_F(DirContract, AFailureOtherThanNotFoundIsAnErrorNotAnEmptyAnswer) {
  try {
    platform_.Dir(win("\\" + std::string(300, 'a') + "\\"), 0);
    FAIL() << "an unusable name was taken for a missing one";
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.number, err::kBadFileName);
  }
}

TEST_F(DirContract, AppPathIsTheFolderOfTheRunningProgram) {
  EXPECT_EQ(platform_.AppPath(), fs::read_symlink("/proc/self/exe").parent_path().string());
}

}  // namespace
}  // namespace tk
