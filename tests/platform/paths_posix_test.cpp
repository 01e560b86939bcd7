// The substitute's own mapping of drive letters onto folders under $HOME.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "contract_support.h"
#include "platform/posix/paths_posix.h"

namespace fs = std::filesystem;

namespace tk {
namespace {

TEST(SubstitutePaths, DriveCStandsForAFolderUnderHome) {
  test::ScratchFolder scratch;
  const char* home = std::getenv("HOME");
  std::string savedHome = home != nullptr ? home : "";
  setenv("HOME", scratch.path().c_str(), 1);
  scratch.folder(".tovrenkur\\drive_c\\Windows\\SysWOW64");
  scratch.file(".tovrenkur\\drive_c\\Windows\\SysWOW64\\wmp.dll");
  test::HostPlatform platform;
  EXPECT_EQ(platform.Dir("C:\\Windows\\SysWOW64", 16), "SysWOW64");
  EXPECT_EQ(platform.Dir("C:\\WINDOWS\\syswow64\\WMP.DLL", 2), "wmp.dll");
  EXPECT_EQ(host::windowsText(host::hostPath("C:\\Windows\\SysWOW64")), "C:\\Windows\\SysWOW64");
  if (home != nullptr)
    setenv("HOME", savedHome.c_str(), 1);
  else
    unsetenv("HOME");
}

}  // namespace
}  // namespace tk
