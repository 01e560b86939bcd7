// The start-up scan: which rows stay, which system folder is chosen, and the verdict texts.
#include <gtest/gtest.h>

#include <tuple>

#include "app/form1.h"
#include "fake_platform.h"
#include "number_raised.h"

namespace tk {
namespace {

const char* const kNames[7] = {"msvbvm60.dll", "MSSTDFMT.DLL", "shell32.dll", "MSCOMCTL.OCX",
                               "MSCOMCTL.DEP", "MSCOMCTL.SRG", "wmp.dll"};
const std::string kMissingVerdict =
    "Tovren çalışabilmek için bazı Windows bileşenlerine ihtiyaç duyar. Sisteminizde mevcut "
    "olmayan bileşenler aşağıya listelendi.";
const std::string kMissingInstruction =
    "Bu dosyaları sistem klasörüne ekleyebilmesi için , TovrenKur'un 'YÖNETİCİ' yetkisiyle "
    "başlatılmış olması gerekir. Bunu yapmadıysanız DEVAM tuşuna kliklemeden kurulumdan çıkınız.";
const std::string kPresentVerdict =
    "Kur sisteminizi taradı, Tovren'in çalışması için gerekli Windows bileşenleri sisteminizde "
    "mevcut.";
const std::string kPresentInstruction =
    "Bir sonraki kurulum aşamasına geçmek için Devam butonunu tıklayın.";

struct ScanCase {
  std::string title;
  std::vector<int> missing;  // rows absent from the system folder
  std::string list;          // expected Text13
  bool verdictMissing;
};

// Parameters print as their case name in test listings.
void PrintTo(const ScanCase& c, std::ostream* out) {
  *out << c.title;
}

class ScanTest : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanTest, RowsListAndVerdict) {
  const ScanCase& c = GetParam();
  fake::FakePlatform platform;
  platform.addFolder("C:\\Windows\\SysWOW64");
  for (int row = 0; row < 7; ++row) {
    if (std::find(c.missing.begin(), c.missing.end(), row) == c.missing.end()) {
      platform.addFile(std::string("C:\\Windows\\SysWOW64\\") + kNames[row]);
    }
  }
  Form1 form(platform);
  form.Form_Load();

  for (int row = 0; row < 7; ++row) {
    bool isMissing = std::find(c.missing.begin(), c.missing.end(), row) != c.missing.end();
    EXPECT_EQ(form.Text1(row).Text(), isMissing ? kNames[row] : "") << "row " << row;
  }
  EXPECT_EQ(form.Text1(7).Text(), "Text8");
  EXPECT_EQ(form.sisDir, "SysWOW64\\");
  EXPECT_EQ(form.Text13.Text(), c.list);
  EXPECT_EQ(form.Text12.Text(), c.verdictMissing ? kMissingVerdict : kPresentVerdict);
  EXPECT_EQ(form.Text14.Text(), c.verdictMissing ? kMissingInstruction : kPresentInstruction);
  EXPECT_TRUE(platform.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScanTest,
    ::testing::Values(
        ScanCase{"NothingMissing", {}, "\r\n\r\n\r\n\r\n\r\n", false},
        ScanCase{"OnlyWmpMissing", {6}, "\r\n\r\n\r\n\r\n\r\n", false},
        ScanCase{"Rows1And3", {1, 3}, "MSSTDFMT.DLL\r\nMSCOMCTL.OCX\r\n\r\n\r\n\r\n", true},
        ScanCase{"AllMissing",
                 {0, 1, 2, 3, 4, 5, 6},
                 "msvbvm60.dll\r\nMSSTDFMT.DLL\r\nshell32.dll\r\nMSCOMCTL.OCX\r\nMSCOMCTL.DEP\r\n"
                 "MSCOMCTL.SRG",
                 true},
        ScanCase{"LastListRowOnly", {5}, "MSCOMCTL.SRG\r\n\r\n\r\n\r\n\r\n", true}),
    [](const auto& info) { return info.param.title; });

TEST(ScanAttributes, HiddenCountsAsPresentFolderAndSystemFileAsMissing) {
  fake::FakePlatform platform;
  platform.addFolder("C:\\Windows\\SysWOW64");
  for (const char* name : kNames)
    platform.addFile(std::string("C:\\Windows\\SysWOW64\\") + name);
  platform.remove("C:\\Windows\\SysWOW64\\msvbvm60.dll");
  platform.addFile("C:\\Windows\\SysWOW64\\msvbvm60.dll", "", {.hidden = true});
  platform.remove("C:\\Windows\\SysWOW64\\MSSTDFMT.DLL");
  platform.addFolder("C:\\Windows\\SysWOW64\\MSSTDFMT.DLL");
  platform.remove("C:\\Windows\\SysWOW64\\shell32.dll");
  platform.addFile("C:\\Windows\\SysWOW64\\shell32.dll", "", {.system = true});

  Form1 form(platform);
  form.Form_Load();
  EXPECT_EQ(form.Text1(0).Text(), "");
  EXPECT_EQ(form.Text1(1).Text(), "MSSTDFMT.DLL");
  EXPECT_EQ(form.Text1(2).Text(), "shell32.dll");
  EXPECT_EQ(form.Text13.Text(), "MSSTDFMT.DLL\r\nshell32.dll\r\n\r\n\r\n\r\n");
}

TEST(ScanSystemFolder, WithoutSysWow64ComponentsAreLookedUpInSystem32) {
  fake::FakePlatform platform;
  platform.addFile("C:\\Windows\\System32\\msstdfmt.dll");  // stored in another letter case
  Form1 form(platform);
  form.Form_Load();
  EXPECT_EQ(form.sisDir, "System32\\");
  EXPECT_EQ(form.Text1(1).Text(), "");
  EXPECT_EQ(form.Text1(0).Text(), "msvbvm60.dll");
  auto dirs = platform.callsOf("Dir");
  ASSERT_EQ(dirs.size(), 8u);
  EXPECT_EQ(dirs[0].args, (std::vector<std::string>{"C:\\Windows\\SysWOW64", "16"}));
  EXPECT_EQ(dirs[1].args, (std::vector<std::string>{"C:\\Windows\\System32\\msvbvm60.dll", "2"}));
}

TEST(ScanSystemFolder, AnOrdinaryFileNamedSysWow64CountsAsTheFolder) {
  fake::FakePlatform platform;
  platform.addFile("C:\\Windows\\SysWOW64");
  Form1 form(platform);
  form.Form_Load();
  EXPECT_EQ(form.sisDir, "SysWOW64\\");
  EXPECT_EQ(form.Text1(0).Text(), "msvbvm60.dll");  // nothing can lie inside a file
}

TEST(ScanSystemFolder, AHiddenOrSystemSysWow64FolderIsNotSeenByMask16) {
  fake::FakePlatform platform;
  platform.addFolder("C:\\Windows\\SysWOW64", {.hidden = true});
  Form1 form(platform);
  form.Form_Load();
  EXPECT_EQ(form.sisDir, "System32\\");
}

TEST(ScanFailure, AFailingQueryReachesTheCaller) {
  fake::FakePlatform platform;
  platform.failOn("Dir", "C:\\Windows\\SysWOW64", err::kPermissionDenied);
  Form1 form(platform);
  EXPECT_EQ(test::numberRaised([&] { form.Form_Load(); }), err::kPermissionDenied);
}

// Devam carries the shield only where pressing it will ask for administrator rights.
TEST(ScanShield, OnlyAnInteractiveRunWithoutRightsAndWithComponentsMissing) {
  for (auto [missing, elevated, silent, shield] : {std::tuple{true, false, false, true},
                                                   {true, true, false, false},
                                                   {false, false, false, false},
                                                   {true, false, true, false}}) {
    fake::FakePlatform platform;
    platform.addFolder("C:\\Windows\\SysWOW64");
    for (int row = missing ? 1 : 0; row < 7; ++row)
      platform.addFile(std::string("C:\\Windows\\SysWOW64\\") + kNames[row]);
    platform.system.elevated = elevated;
    Options options;
    options.display = silent ? Display::Silent : Display::Interactive;
    Form1 form(platform, options);
    form.Form_Load();
    EXPECT_EQ(form.Command1.ElevationRequired(), shield) << missing << elevated << silent;
  }
}

}  // namespace
}  // namespace tk
