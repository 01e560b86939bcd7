// unzip on the fake platform: the paths it builds, the shell calls in order with their
// arguments, what lands in the package folder, and the failures that go to the caller.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "fake_platform.h"

namespace tk {
namespace {

constexpr const char* kPackage = "C:\\Kurulum\\Tovren-Selvane";
constexpr const char* kArchive = "C:\\Kurulum\\Tovren-Selvane\\chromedriver_win32.zip";

class Unzip : public ::testing::Test {
 protected:
  Unzip() { form_.indirDosya = "chromedriver_win32.zip"; }

  // The error number that unzip hands to its caller, 0 when it returns normally.
  int32_t run() {
    try {
      form_.unzip();
      return 0;
    } catch (const PlatformError& error) {
      return error.number;
    }
  }

  fake::FakePlatform platform_;
  Form1 form_{platform_};
};

TEST_F(Unzip, ExtractsTheArchiveBesideItselfThroughTheShellFolders) {
  platform_.addFile(kArchive, fake::fakeZip({{"chromedriver.exe", "sürücü"}}));
  ASSERT_EQ(run(), 0);
  EXPECT_EQ(platform_.content(std::string(kPackage) + "\\chromedriver.exe"), "sürücü");
  EXPECT_TRUE(platform_.exists(kArchive)) << "the archive stays";
  std::vector<fake::Call> expected{
      {"AppPath", {}},
      {"AppPath", {}},
      {"CreateObject", {"Shell"}},
      {"NameSpace", {kArchive}},
      {"NameSpace", {std::string(kPackage) + "\\"}},
      {"Items", {kArchive}},
      {"CopyHere", {std::string(kPackage) + "\\", "256"}},
  };
  EXPECT_EQ(platform_.calls, expected);
}

TEST_F(Unzip, FoldersAndEverythingInThemAreExtracted) {
  platform_.addFile(kArchive,
                    fake::fakeZip({{"alt\\", ""}, {"alt\\bir.txt", "1"}, {"iki.txt", "2"}}));
  ASSERT_EQ(run(), 0);
  EXPECT_EQ(platform_.list(kPackage),
            (std::vector<std::string>{"alt", "chromedriver_win32.zip", "iki.txt"}));
  EXPECT_EQ(platform_.content(std::string(kPackage) + "\\alt\\bir.txt"), "1");
}

TEST_F(Unzip, TheArchiveNamedByIndirDosyaUnderTheSetupFolderIsUsed) {
  platform_.appPath = "D:\\Paket Ağacı";
  form_.indirDosya = "başka.zip";
  platform_.addFile("D:\\Paket Ağacı\\Tovren-Selvane\\başka.zip", fake::fakeZip({{"a.txt", "a"}}));
  ASSERT_EQ(run(), 0);
  EXPECT_EQ(platform_.content("D:\\Paket Ağacı\\Tovren-Selvane\\a.txt"), "a");
}

// A missing archive or folder gives no shell folder, and the next call on it is error 91.
TEST_F(Unzip, AMissingArchiveOrFolderEndsWith91InTheCaller) {
  platform_.addFolder(kPackage);
  EXPECT_EQ(run(), err::kObjectNotSet);
  EXPECT_EQ(platform_.callsOf("NameSpace").size(), 2u) << "both folders are asked for first";
  EXPECT_TRUE(platform_.callsOf("CopyHere").empty());
  EXPECT_EQ(platform_.list(kPackage), std::vector<std::string>{});

  platform_.remove(kPackage);
  EXPECT_EQ(run(), err::kObjectNotSet);
}

TEST_F(Unzip, FailuresOfTheShellGoToTheCallerUnchanged) {
  struct Case {
    const char* op;
    int32_t number;
  };
  for (const Case& c :
       {Case{"CreateObject", err::kCannotCreateObject}, Case{"NameSpace", err::kClassNotRegistered},
        Case{"Items", err::kInvalidFileFormat}, Case{"CopyHere", err::kBadFileName}}) {
    fake::FakePlatform platform;
    platform.addFile(kArchive, fake::fakeZip({{"chromedriver.exe", "x"}}));
    platform.failOn(c.op, "*", c.number);
    Form1 form(platform);
    form.indirDosya = "chromedriver_win32.zip";
    try {
      form.unzip();
      ADD_FAILURE() << c.op << ": no error";
    } catch (const PlatformError& error) {
      EXPECT_EQ(error.number, c.number) << c.op;
    }
    EXPECT_TRUE(platform.shown.empty()) << "no message of its own";
    EXPECT_FALSE(platform.exists(std::string(kPackage) + "\\chromedriver.exe")) << c.op;
  }
}

}  // namespace
}  // namespace tk
