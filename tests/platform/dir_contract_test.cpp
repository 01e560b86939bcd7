// Dir on the host's real platform, on real folders, with one set of expectations for Linux and
// for Windows under Wine: masks, hidden entries, letter case, Turkish names, enumeration, and the
// difference between "not there" (an empty answer) and a failure (the runtime's number).
#include <gtest/gtest.h>

#include <set>

#include "contract_support.h"
#include "number_raised.h"

namespace tk {
namespace {

class DirContract : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_.file("MSCOMCTL.OCX");
    scratch_.file("msvbvm60.dll");
    scratch_.file(".gizli.dll");
    test::makeHidden(scratch_.host(".gizli.dll"));
    scratch_.folder("Tovren Bileşenleri");
    scratch_.file("Tovren Bileşenleri\\shell32.dll");
    scratch_.folder("prgDosyaları");
  }

  // Every name of a search: `tail` is appended to the scratch folder as it stands.
  std::set<std::string> enumerate(const std::string& tail, int mask) {
    std::set<std::string> names;
    for (std::string name = platform_.Dir(scratch_.path() + tail, mask); !name.empty();
         name = platform_.Dir()) {
      EXPECT_TRUE(names.insert(name).second) << "returned twice: " << name;
    }
    return names;
  }

  test::ScratchFolder scratch_;
  test::HostPlatform platform_;
};

TEST_F(DirContract, SingleNamesFollowTheMaskAndComeBackInTheirStoredCase) {
  struct Case {
    const char* tail;
    int mask;
    const char* expected;
  };
  const Case cases[] = {
      {"MSCOMCTL.OCX", 0, "MSCOMCTL.OCX"},
      {"mscomctl.ocx", 2, "MSCOMCTL.OCX"},
      {"MsVbVm60.DLL", 0, "msvbvm60.dll"},
      {"MSCOMCTL.OCX", 16, "MSCOMCTL.OCX"},  // files count under 16 too
      {".gizli.dll", 0, ""},
      {".gizli.dll", 2, ".gizli.dll"},
      {".gizli.dll", 16, ""},
      {"Tovren Bileşenleri", 0, ""},
      {"Tovren Bileşenleri", 2, ""},
      {"tovren bileŞenleri", 16, "Tovren Bileşenleri"},
      {"PRGDOSYALARı", 16, "prgDosyaları"},  // ı has no ASCII capital: it stays as written
      {"PRGDOSYALARI", 16, ""},              // ... so I does not match it
      {"Tovren Bileşenleri\\SHELL32.dll", 0, "shell32.dll"},
      {"yok.dll", 2, ""},
      {"Yok Klasör\\yok.dll", 2, ""},
      {"Yok Klasör\\", 16, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform_.Dir(scratch_.path(c.tail), c.mask), c.expected)
        << c.tail << " under mask " << c.mask;
  }
}

TEST_F(DirContract, APathEndingInBackslashEnumeratesTheFolder) {
  using Names = std::set<std::string>;
  EXPECT_EQ(enumerate("", 0), Names{}) << "a folder's own name is no file";
  EXPECT_EQ(enumerate("\\", 0), (Names{"MSCOMCTL.OCX", "msvbvm60.dll"}));
  EXPECT_EQ(enumerate("\\", 2), (Names{"MSCOMCTL.OCX", "msvbvm60.dll", ".gizli.dll"}));
  EXPECT_EQ(enumerate("\\", 16),
            (Names{"MSCOMCTL.OCX", "msvbvm60.dll", "Tovren Bileşenleri", "prgDosyaları"}));
  EXPECT_EQ(enumerate("\\", 18), (Names{"MSCOMCTL.OCX", "msvbvm60.dll", ".gizli.dll",
                                        "Tovren Bileşenleri", "prgDosyaları"}));
  EXPECT_EQ(enumerate("\\Tovren BILEŞENLERI\\", 0), Names{"shell32.dll"});
  EXPECT_EQ(enumerate("\\TOVREN BİLEŞENLERİ\\", 0), Names{});  // İ is no capital i for names
  EXPECT_EQ(enumerate("\\prgDosyaları\\", 16), Names{});       // no "." or ".."
  EXPECT_EQ(enumerate("\\*.dll", 2), (Names{"msvbvm60.dll", ".gizli.dll"}));
  EXPECT_EQ(enumerate("\\Tovren Bile?enleri", 16), Names{"Tovren Bileşenleri"});  // ? is one ş
  EXPECT_EQ(enumerate("\\prgDosyalar?", 16), Names{"prgDosyaları"});
  EXPECT_EQ(platform_.Dir(), "") << "an exhausted enumeration stays exhausted";
}

TEST_F(DirContract, ANewSearchReplacesTheEnumerationInProgress) {
  const std::string folder = scratch_.path() + "\\";
  EXPECT_NE(platform_.Dir(folder, 16), "");
  EXPECT_EQ(platform_.Dir(scratch_.path("yok.dll"), 0), "");
  EXPECT_EQ(platform_.Dir(), "") << "a search that found nothing left the old one running";
  EXPECT_NE(platform_.Dir(folder, 16), "");
  EXPECT_EQ(platform_.Dir(scratch_.path("msvbvm60.dll"), 0), "msvbvm60.dll");
  EXPECT_EQ(platform_.Dir(), "") << "the folder's other entries leaked into the new search";
}

TEST(DirWithoutSearch, IsAnInvalidCall) {
  test::HostPlatform platform;
  EXPECT_EQ(test::numberRaised([&] { platform.Dir(); }), err::kInvalidCall);
}

TEST_F(DirContract, AnUnusableNameIsAFailureNotAnEmptyAnswer) {
  try {
    std::string answer = platform_.Dir(scratch_.path(test::kUnusableFolder), 0);
    FAIL() << "an unusable name was taken for a missing one, answer '" << answer << "'";
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.number, err::kBadFileName);
    EXPECT_EQ(error.description, errorDescription(err::kBadFileName));
  }
}

TEST(AppPath, IsTheFolderOfTheRunningProgramWithoutAClosingSeparator) {
  test::HostPlatform platform;
  std::string folder = platform.AppPath();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
  EXPECT_NE(folder.back(), '/');
  const std::string program(test::kTestProgram);
  EXPECT_EQ(platform.Dir(folder + "\\" + program, 0), program) << "App.Path was " << folder;
}

}  // namespace
}  // namespace tk
