// GetDesktop and CreateShortCut on the fake: where the shortcut goes, what it holds, when it is
// left out, and that failures reach the caller.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "fake_platform.h"

namespace tk {
namespace {

const std::string kDesktop = "C:\\Users\\Ayşe Işık\\Desktop";

struct ShortcutCase {
  std::string title, appPath;
  bool written;
};

// Parameters print as their case name in test listings.
void PrintTo(const ShortcutCase& c, std::ostream* out) {
  *out << c.title;
}

class CreateShortCutFrom : public ::testing::TestWithParam<ShortcutCase> {};

TEST_P(CreateShortCutFrom, WritesUnlessStartedFromTheDesktopItselfExactly) {
  fake::FakePlatform platform;
  platform.addFolder(kDesktop);
  platform.appPath = GetParam().appPath;
  Form1 form(platform);
  EXPECT_EQ(form.GetDesktop(), kDesktop);
  // A userPath unlike the desktop shows which value each property is built from.
  form.userPath = "D:\\Başka";
  form.CreateShortCut();
  ASSERT_EQ(platform.shortcuts.size(), GetParam().written ? 1u : 0u);
  if (GetParam().written) {
    const auto& shortcut = platform.shortcuts.at(kDesktop + "\\Tovren.lnk");
    EXPECT_EQ(shortcut.Description, "Tovren");
    EXPECT_EQ(shortcut.TargetPath, "D:\\Başka\\Tovren\\Tovren.exe");
  }
  EXPECT_TRUE(platform.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CreateShortCutFrom,
    ::testing::Values(ShortcutCase{"AnotherFolder", "C:\\Kurulum", true},
                      ShortcutCase{"AFolderInsideTheDesktop", kDesktop + "\\Kur", true},
                      ShortcutCase{"TheDesktopItself", kDesktop, false},
                      ShortcutCase{"TheDesktopInAnotherCase", "C:\\USERS\\Ayşe Işık\\Desktop",
                                   true},
                      ShortcutCase{"TurkishCaseChange", "C:\\Users\\AYŞE IŞIK\\Desktop", true}),
    [](const auto& info) { return info.param.title; });

TEST(CreateShortCutFailure, EachFailureReachesTheCaller) {
  for (const auto& [op, argument] : {std::pair<std::string, std::string>{"CreateObject", "*"},
                                     {"SpecialFolders", "*"},
                                     {"Save", "*"}}) {
    fake::FakePlatform platform;
    platform.addFolder(kDesktop);
    platform.failOn(op, argument, -2147024891);
    Form1 form(platform);
    EXPECT_THROW(form.CreateShortCut(), PlatformError) << op;
    EXPECT_TRUE(platform.shortcuts.empty());
  }
}

}  // namespace
}  // namespace tk
