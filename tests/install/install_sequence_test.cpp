// The Continue action on the fake platform: what is copied, created, asked and started, how the
// first half ends the program and how the second half goes on after a failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "app/form1.h"
#include "app/program.h"
#include "fake_platform.h"

namespace tk {
namespace {

const std::string kDesktop = "C:\\Users\\Ayşe Işık\\Desktop";
const std::string kSetup = "C:\\Users\\Ayşe Işık\\Downloads\\Tovren Kurulum (2)";
const std::string kPrg = kDesktop + "\\Tovren\\prgDosyaları";
const std::string kVersionValue = "HKEY_CURRENT_USER\\Software\\Google\\Chrome\\BLBeacon\\version";
const std::string kHost = TOVRENKUR_DRIVER_HOST;
const std::string kUrl105 = "https://" + kHost + "/105.0.5195.52/chromedriver_win32.zip";
const std::string kUrl99 = "https://" + kHost + "/99.0.4844.51/chromedriver_win32.zip";
const std::string kDriverClass = "{0277FC34-FD1B-4616-BB19-5D556733E8C9}";
const std::string kFallbackClass = "{0277FC34-FD1B-4616-BB19-E3CCFFAB4234}";
const char* const kComponents[7] = {"msvbvm60.dll", "MSSTDFMT.DLL", "shell32.dll", "MSCOMCTL.OCX",
                                    "MSCOMCTL.DEP", "MSCOMCTL.SRG", "wmp.dll"};
const std::string kScriptQuestion = "Chrome bağlantı ayarları şimdi yapılsın mı ? (EVET önerilir.)";
const std::string kTested = "Chrome bağlantısı test edildi.";

// A Windows with SysWOW64, a setup package, Chrome 105 and a driver mirror.
struct World {
  fake::FakePlatform platform;
  Form1 form;

  explicit World(std::vector<int> missingRows, std::string version = "105.0.5195.102",
                 Options options = {})
      : form(platform, std::move(options), platform.defaultLog) {
    platform.appPath = kSetup;
    platform.desktop = kDesktop;
    platform.addFolder(kDesktop);
    platform.addFolder("C:\\Windows\\SysWOW64");
    for (int row = 0; row < 7; ++row) {
      if (std::find(missingRows.begin(), missingRows.end(), row) == missingRows.end()) {
        platform.addFile(std::string("C:\\Windows\\SysWOW64\\") + kComponents[row], "system");
      }
      platform.addFile(kSetup + "\\Tovren Bileşenleri\\" + kComponents[row],
                       std::string("paket ") + kComponents[row]);
    }
    platform.addFile(kSetup + "\\Tovren.exe", "uygulama");
    platform.addFile(kSetup + "\\DATA.xlsx", "boş çalışma kitabı");
    platform.addFile(kSetup + "\\Tovren-Selvane\\install.cmd", "@echo off");
    platform.registry[kVersionValue] = version;
    std::string zip = fake::fakeZip({{"chromedriver.exe", "sürücü"}});
    platform.http[kUrl105] = {200, zip};
    platform.http[kUrl99] = {200, zip};
    form.Form_Load();
    platform.calls.clear();
  }

  // Presses Devam as the window does: through the handler boundary. False: the program ended.
  bool pressDevam() {
    return runHandler(form, [&] { form.Click(form.Command1); });
  }

  std::vector<std::string> copiedInto(const std::string& folderPrefix) const {
    std::vector<std::string> names;
    for (const fake::Call& call : platform.callsOf("FileCopy")) {
      if (call.args[1].rfind(folderPrefix, 0) == 0)
        names.push_back(call.args[1]);
    }
    return names;
  }

  std::vector<std::string> prompts() const {
    std::vector<std::string> texts;
    for (const fake::MsgBoxShown& box : platform.shown)
      texts.push_back(box.prompt);
    return texts;
  }
};

bool finished(const Form1& form) {
  return form.Command3.Visible() && !form.Command2.Visible() && !form.Command1.Visible() &&
         form.Text12.Text() == "Kurulum işlemi tamamlandı !";
}

struct CopyCase {
  std::string title;
  std::vector<int> missing;
};

// Parameters print as their case name in test listings.
void PrintTo(const CopyCase& c, std::ostream* out) {
  *out << c.title;
}

class MissingComponents : public ::testing::TestWithParam<CopyCase> {};

TEST_P(MissingComponents, ExactlyTheMissingRowsAreCopiedInRowOrder) {
  World world(GetParam().missing);
  EXPECT_TRUE(world.pressDevam());

  std::vector<std::string> expected;
  for (int row : GetParam().missing)
    expected.push_back(kPrg + "\\" + kComponents[row]);
  EXPECT_EQ(world.copiedInto(kPrg + "\\"), expected);
  for (int row : GetParam().missing) {
    EXPECT_EQ(world.platform.content(kPrg + "\\" + kComponents[row]),
              std::string("paket ") + kComponents[row]);
  }
  std::vector<std::string> inFolder = world.platform.list(kPrg);
  EXPECT_EQ(inFolder.size(), GetParam().missing.size() + 1);  // and the record file
  EXPECT_TRUE(finished(world.form));
  ASSERT_FALSE(world.platform.started.empty());
  EXPECT_EQ(world.platform.started.back(),
            std::make_pair("\"" + kDesktop + "\\Tovren\\Tovren.exe\"", 1));
}

INSTANTIATE_TEST_SUITE_P(Rows, MissingComponents,
                         ::testing::Values(CopyCase{"NothingMissing", {}}, CopyCase{"OnlyWmp", {6}},
                                           CopyCase{"Rows1345", {1, 3, 4, 5}},
                                           CopyCase{"AllSeven", {0, 1, 2, 3, 4, 5, 6}}),
                         [](const auto& info) { return info.param.title; });

TEST(InstallSequence, FirstInstallationInOrder) {
  World world({3, 4, 5});
  world.platform.answerNext(vbYes);  // the script question
  world.platform.answerNext(vbOK);   // registration start message
  world.platform.answerNext(vbYes);  // MSCOMCTL.OCX
  EXPECT_TRUE(world.pressDevam());

  EXPECT_EQ(world.prompts(),
            (std::vector<std::string>{kScriptQuestion, "Registering işlemleri başlatılıyor ...",
                                      "MSCOMCTL.OCX Register edilsin mi ? (EVET önerilir)",
                                      "Registering işlemleri tamamlandı ...", kTested}));
  EXPECT_EQ(world.platform.shown[0].buttons, vbYesNoQuestionNo);
  EXPECT_EQ(world.platform.shown[0].title, "TovrenKur v1.0.0");
  EXPECT_EQ(world.platform.shown.back().buttons, vbInformation);
  EXPECT_EQ(world.platform.shown.back().title, "TovrenKur v1.0.9");

  std::vector<std::string> made;
  for (const fake::Call& call : world.platform.callsOf("MkDir"))
    made.push_back(call.args[0]);
  EXPECT_EQ(made, (std::vector<std::string>{
                      kDesktop + "\\Tovren", kDesktop + "\\Tovren\\Firmalarım",
                      kDesktop + "\\Tovren\\Data", kPrg, kDesktop + "\\Tovren\\Raporlar",
                      kDesktop + "\\Tovren\\Yedek"}));
  EXPECT_EQ(world.platform.content(kSetup + "\\Tovren-Selvane\\chromedriver.exe"), "sürücü");
  EXPECT_EQ(world.platform.content(kDesktop + "\\Tovren\\Tovren.exe"), "uygulama");
  EXPECT_EQ(world.platform.content(kDesktop + "\\Tovren\\Data\\DATA.xlsx"), "boş çalışma kitabı");
  EXPECT_EQ(world.platform.shortcuts[kDesktop + "\\Tovren.lnk"].TargetPath,
            kDesktop + "\\Tovren\\Tovren.exe");
  EXPECT_EQ(world.platform.content(kPrg + "\\ChromeDriverVersiyon.txt"), "[105]\r\n");
  EXPECT_EQ(world.platform.content("C:\\Windows\\SysWOW64\\MSCOMCTL.SRG"), "paket MSCOMCTL.SRG");

  using Started = std::pair<std::string, int>;
  EXPECT_EQ(world.platform.started,
            (std::vector<Started>{
                {"cmd.exe /s /c \"\"" + kSetup + "\\Tovren-Selvane\\install.cmd\"\"", 2},
                {"regsvr32 /s \"C:\\Windows\\SysWOW64\\MSCOMCTL.OCX\"", 2},
                {"\"" + kDesktop + "\\Tovren\\Tovren.exe\"", 1}}));
  EXPECT_TRUE(world.platform.callsOf("ShellAndWait").empty()) << "a person's run waits for none";
  EXPECT_EQ(world.form.exitCode(), kExitInstalled);
}

// A package folder this run cannot have (read-only, or another run at work in it): the download,
// the extraction and the script happen in a copy of its own, where the archive already in the
// package stands in for a failed download; the boxes are those of any run.
TEST(InstallSequence, ARunThatCannotHaveThePackageFolderWorksInACopy) {
  for (bool downloads : {true, false}) {
    World world({});
    std::string shared = kSetup + "\\Tovren-Selvane";
    world.platform.addFile(shared + "\\chromedriver_win32.zip",
                           fake::fakeZip({{"chromedriver.exe", "eski sürücü"}}));
    world.platform.failOn("ClaimFolder", shared, err::kPermissionDenied);
    if (!downloads)
      world.platform.http[kUrl105] = {404, ""};
    world.platform.answerNext(vbYes);
    EXPECT_TRUE(world.pressDevam());

    const std::string copy = world.platform.workingFolder;
    EXPECT_EQ(world.platform.content(copy + "\\chromedriver.exe"),
              downloads ? "sürücü" : "eski sürücü");
    EXPECT_EQ(world.platform.list(shared),
              (std::vector<std::string>{"chromedriver_win32.zip", "install.cmd"}));
    EXPECT_EQ(world.platform.started.front().first,
              "cmd.exe /s /c \"\"" + copy + "\\install.cmd\"\"");
    EXPECT_EQ(world.prompts(),
              (std::vector<std::string>{kScriptQuestion, "Registering işlemleri tamamlandı ...",
                                        kTested}));
  }
}

// A package without its folder is neither claimed nor copied: the download reports its failure
// and the extraction ends the run, as they always did.
TEST(InstallSequence, APackageWithoutItsFolderFailsAtTheDownloadAndTheExtraction) {
  World world({});
  world.platform.remove(kSetup + "\\Tovren-Selvane\\install.cmd");
  world.platform.remove(kSetup + "\\Tovren-Selvane");
  EXPECT_FALSE(world.pressDevam());
  EXPECT_TRUE(world.platform.callsOf("ClaimFolder").empty());
  EXPECT_TRUE(world.platform.callsOf("CopyToWorkingFolder").empty());
  ASSERT_EQ(world.platform.shown.size(), 2u);
  EXPECT_EQ(world.platform.shown[0].prompt.rfind("Kurulum sırasında hata oluştu ! Hata No: ", 0),
            0u);
  EXPECT_EQ(world.platform.shown[1].prompt.rfind("Çalışma zamanı hatası '91'", 0), 0u);
}

TEST(InstallSequence, NoOrEnterOnTheScriptQuestionStartsNoScript) {
  World world({});
  world.platform.expectMsgBox(kScriptQuestion, vbYesNoQuestionNo, "TovrenKur v1.0.0", vbNo);
  EXPECT_TRUE(world.pressDevam());
  for (const auto& [command, style] : world.platform.started) {
    EXPECT_EQ(command.find("install.cmd"), std::string::npos);
  }
  EXPECT_TRUE(finished(world.form));
}

TEST(InstallSequence, AnEarlierInstallationKeepsTreeAndWorkbookAndRewritesTheRest) {
  World world({1}, "99.0.4844.84");
  world.platform.addFolder(kDesktop + "\\Tovren");  // an earlier tree, without its subfolders
  world.platform.addFolder(kPrg);
  world.platform.addFolder(kDesktop + "\\Tovren\\Data");
  world.platform.addFile(kDesktop + "\\Tovren\\Data\\DATA.xlsx", "kullanıcının verisi");
  world.platform.addFile(kPrg + "\\ChromeDriverVersiyon.txt", "[105]\r\n");
  world.platform.addFile(kPrg + "\\MSSTDFMT.DLL", "eski");
  EXPECT_TRUE(world.pressDevam());

  EXPECT_TRUE(world.platform.callsOf("MkDir").empty());
  EXPECT_FALSE(world.platform.exists(kDesktop + "\\Tovren\\Yedek"));
  EXPECT_EQ(world.platform.content(kDesktop + "\\Tovren\\Data\\DATA.xlsx"), "kullanıcının verisi");
  EXPECT_EQ(world.platform.content(kPrg + "\\MSSTDFMT.DLL"), "paket MSSTDFMT.DLL");
  EXPECT_EQ(world.platform.content(kPrg + "\\ChromeDriverVersiyon.txt"), "[99.]\r\n");
  EXPECT_EQ(world.platform.content(kDesktop + "\\Tovren\\Tovren.exe"), "uygulama");
  for (const std::string& prompt : world.prompts()) {
    EXPECT_EQ(prompt.find("Hata No"), std::string::npos) << prompt;  // keeping it is no failure
  }
}

TEST(InstallSequence, AComponentMissingFromThePackageEndsTheProgramInTheFirstHalf) {
  World world({0, 3});
  world.platform.remove(kSetup + "\\Tovren Bileşenleri\\MSCOMCTL.OCX");
  EXPECT_FALSE(world.pressDevam());
  ASSERT_EQ(world.platform.shown.size(), 2u);  // the script question, then the failure report
  EXPECT_NE(world.platform.shown[1].prompt.find("53"), std::string::npos);
  EXPECT_TRUE(world.platform.shown[1].prompt.ends_with("\r\n\r\nAyrıntılar kayıt dosyasında: " +
                                                       world.platform.defaultLog));
  EXPECT_EQ(world.platform.shown[1].title, "TovrenKur");
  EXPECT_EQ(world.form.exitCode(), kExitFirstHalfFailed);
  EXPECT_TRUE(world.platform.exists(kPrg + "\\msvbvm60.dll"));  // nothing is undone
  EXPECT_FALSE(world.platform.exists(kDesktop + "\\Tovren\\Tovren.exe"));
  EXPECT_TRUE(world.platform.started.empty());
  EXPECT_FALSE(finished(world.form));
}

TEST(InstallSequence, AMissingApplicationIsReportedAndEverythingAfterStillRuns) {
  World world({});
  world.platform.remove(kSetup + "\\Tovren.exe");
  world.platform.failOn("Shell", "\"" + kDesktop + "\\Tovren\\Tovren.exe\"", err::kFileNotFound);
  EXPECT_TRUE(world.pressDevam());

  EXPECT_EQ(world.prompts(), (std::vector<std::string>{
                                 kScriptQuestion, "Kurulum sırasında hata oluştu ! Hata No: 53",
                                 "Registering işlemleri tamamlandı ...", kTested,
                                 "Kurulum sırasında hata oluştu ! Hata No: 53"}));
  EXPECT_EQ(world.platform.shown[1].buttons, vbInformation);
  EXPECT_EQ(world.platform.shown[1].title, "TovrenKur v1.0.9");
  EXPECT_TRUE(world.platform.exists(kDesktop + "\\Tovren.lnk"));
  EXPECT_EQ(world.platform.content(kPrg + "\\ChromeDriverVersiyon.txt"), "[105]\r\n");
  EXPECT_TRUE(finished(world.form));
  EXPECT_EQ(world.platform.callsOf("Shell").size(), 1u);  // the start was attempted
  EXPECT_EQ(world.form.exitCode(), kExitStepsPassedOver);
}

TEST(InstallSequence, ARecordFileThatCannotBeWrittenIsReportedOnce) {
  World world({});
  world.platform.failOn("CreateObject", "Scripting.FileSystemObject", err::kCannotCreateObject);
  EXPECT_TRUE(world.pressDevam());
  std::vector<std::string> prompts = world.prompts();
  EXPECT_EQ(
      std::count(prompts.begin(), prompts.end(), "Kurulum sırasında hata oluştu ! Hata No: 429"),
      1);
  EXPECT_FALSE(world.platform.exists(kPrg + "\\ChromeDriverVersiyon.txt"));
  EXPECT_TRUE(finished(world.form));
}

struct BrowserCase {
  std::string title;
  std::set<std::string> registered;
  std::string expectedClass;  // "" when no call can be made
};

void PrintTo(const BrowserCase& c, std::ostream* out) {
  *out << c.title;
}

class BrowserCheck : public ::testing::TestWithParam<BrowserCase> {};

TEST_P(BrowserCheck, CallsTheFirstClassThatCanBeCreatedAndStaysSilent) {
  World world({});
  world.platform.registeredClasses = GetParam().registered;
  EXPECT_TRUE(world.pressDevam());

  std::vector<fake::Invocation> expected;
  if (!GetParam().expectedClass.empty()) {
    expected = {{GetParam().expectedClass, 12, {"Chrome"}},
                {GetParam().expectedClass, 32, {"https://www.google.com/"}}};
  }
  EXPECT_EQ(world.platform.invocations, expected);
  EXPECT_EQ(world.prompts().back(), kTested);
  EXPECT_EQ(world.platform.started.back().first, "\"" + kDesktop + "\\Tovren\\Tovren.exe\"");
  for (const fake::Call& call : world.platform.callsOf("CreateDispatchObject")) {
    EXPECT_EQ(call.args[1], "{0277FC34-FD1B-4616-BB19-CC6284398AA5}");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Classes, BrowserCheck,
    ::testing::Values(BrowserCase{"DriverClass", {kDriverClass, kFallbackClass}, kDriverClass},
                      BrowserCase{"OnlyFallback", {kFallbackClass}, kFallbackClass},
                      BrowserCase{"NothingRegistered", {}, ""}),
    [](const auto& info) { return info.param.title; });

// A rerun while the installed Tovren (holding a component it loaded), two drivers from the
// package folder, another product holding the system's copy of that component and a service run.
struct Rerun : World {
  const std::string driver = kSetup + "\\Tovren-Selvane\\chromedriver.exe";
  Rerun() : World({3}) {
    platform.addFolder(kDesktop + "\\Tovren\\Data");
    platform.addFile(kDesktop + "\\Tovren\\Tovren.exe", "eski uygulama");
    platform.addFile(kPrg + "\\MSSTDFMT.DLL", "eski");  // older than the system's: not replaced
    platform.find(kPrg + "\\MSSTDFMT.DLL")->version = 1;
    platform.find("C:\\Windows\\SysWOW64\\MSSTDFMT.DLL")->version = 2;
    platform.addFile(driver, "eski sürücü");
    platform.addFile(kSetup + "\\Tovren-Selvane\\LICENSE.chromedriver");
    auto run = [&](uint32_t id, std::string name, std::string program, std::string held,
                   bool closes, bool closable = true) {
      platform.running.push_back({{id, 1, name, program, closable}, {held}, closes});
    };
    run(1234, "Tovren", kDesktop + "\\Tovren\\Tovren.exe", kPrg + "\\MSCOMCTL.OCX", true);
    run(2001, "chromedriver.exe", driver, "", false);
    run(2002, "chromedriver.exe", driver, "", false);
    run(3000, "EXCEL", "C:\\Office\\EXCEL.EXE", "C:\\Windows\\SysWOW64\\MSCOMCTL.OCX", false);
    run(4, "Windows Installer", "", "C:\\Windows\\SysWOW64\\MSCOMCTL.OCX", false, false);
  }
};

TEST(Rerun, OneQuestionNamesTheProgramsAndYesClosesThemBeforeAnythingIsReplaced) {
  for (int answer : {vbYes, vbNo}) {
    Rerun world;
    world.platform.answerNext(answer);
    EXPECT_EQ(world.pressDevam(), answer == vbYes);
    ASSERT_FALSE(world.platform.shown.empty());
    EXPECT_EQ(world.platform.shown[0],
              (fake::MsgBoxShown{"Kurulumun yenileyeceği dosyaları şu anda çalışan programlar "
                                 "kullanıyor:\r\n\r\n• Tovren (PID 1234)\r\n• chromedriver.exe "
                                 "(2 işlem)\r\n• EXCEL (PID 3000)\r\n\r\nBu programlar "
                                 "kapatılıp kuruluma devam edilsin mi ? Kaydedilmemiş işleriniz "
                                 "varsa önce kaydedin.\r\n\r\nHayır derseniz programlar açık "
                                 "kalır ve kullandıkları dosyalar değiştirilemeyebilir.",
                                 vbYesNoQuestionNo, "TovrenKur v1.0.0", answer}));
    EXPECT_EQ(
        world.platform.callsOf("FindHolders")[0].args,
        (std::vector<std::string>{world.driver, kSetup + "\\Tovren-Selvane\\LICENSE.chromedriver",
                                  kDesktop + "\\Tovren\\Tovren.exe", kPrg + "\\MSCOMCTL.OCX",
                                  "C:\\Windows\\SysWOW64\\MSCOMCTL.OCX", kPrg + "\\MSSTDFMT.DLL"}));
    std::vector<fake::Call> closed = world.platform.callsOf("CloseHolders");
    if (answer == vbNo) {  // nothing closed: the held driver cannot be extracted, as before
      EXPECT_TRUE(closed.empty());
      EXPECT_EQ(world.platform.content(world.driver), "eski sürücü");
      EXPECT_EQ(world.form.exitCode(), kExitFirstHalfFailed);
      continue;
    }
    EXPECT_EQ(closed,
              (std::vector<fake::Call>{{"CloseHolders", {"Tovren", "mayEnd", "10000"}},
                                       {"CloseHolders", {"chromedriver.exe", "mayEnd", "10000"}},
                                       {"CloseHolders", {"chromedriver.exe", "mayEnd", "10000"}},
                                       {"CloseHolders", {"EXCEL", "", "10000"}}}));
    EXPECT_EQ(world.platform.content(world.driver), "sürücü");
    EXPECT_EQ(world.platform.content(kDesktop + "\\Tovren\\Tovren.exe"), "uygulama");
    EXPECT_EQ(world.platform.content(kPrg + "\\MSCOMCTL.OCX"), "paket MSCOMCTL.OCX");
    EXPECT_EQ(world.form.exitCode(), kExitStepsPassedOver);  // EXCEL keeps the system's copy
    const std::vector<std::string>& log = world.platform.logged;
    for (const char* line : {"chromedriver.exe (PID 2002): kapanmadı, sonlandırıldı",
                             "EXCEL (PID 3000): kapanmadı, çalışıyor", "Tovren (PID 1234): kapandı",
                             "Bir Windows hizmeti ya da Windows'un parçası: kapatılmaz"})
      EXPECT_NE(std::find(log.begin(), log.end(), line), log.end()) << line;
  }
}

TEST(UnsupportedChrome, WithoutAnOldArchiveTheExtractionEndsTheProgram) {
  World world({0}, "106.0.5249.62");
  EXPECT_FALSE(world.pressDevam());
  ASSERT_EQ(world.platform.shown.size(), 3u);
  EXPECT_NE(world.platform.shown[0].prompt.find("106.0.5249.62"), std::string::npos);
  EXPECT_EQ(world.platform.shown[1].prompt, "Kurulum sırasında hata oluştu ! Hata No: -2147012891");
  EXPECT_NE(world.platform.shown[2].prompt.find("91"), std::string::npos);  // no archive folder
  EXPECT_EQ(world.platform.shown[2].title, "TovrenKur");
  EXPECT_TRUE(world.platform.callsOf("FileCopy").empty());
}

TEST(UnsupportedChrome, AnOldArchiveIsExtractedAndTheRunGoesToItsEnd) {
  World world({}, "106.0.5249.62");
  world.platform.addFile(kSetup + "\\Tovren-Selvane\\chromedriver_win32.zip",
                         fake::fakeZip({{"chromedriver.exe", "eski sürücü"}}));
  EXPECT_TRUE(world.pressDevam());
  EXPECT_EQ(world.platform.content(kSetup + "\\Tovren-Selvane\\chromedriver.exe"), "eski sürücü");
  EXPECT_EQ(world.platform.content(kPrg + "\\ChromeDriverVersiyon.txt"), "[106]\r\n");
  EXPECT_TRUE(finished(world.form));
}

TEST(NoChrome, EndsBeforeAnythingIsCreated) {
  World world({});
  world.platform.registry.clear();
  EXPECT_FALSE(world.pressDevam());
  ASSERT_EQ(world.platform.shown.size(), 1u);
  EXPECT_EQ(world.platform.shown[0].title, "TovrenKur v1.0.0");
  EXPECT_TRUE(world.platform.callsOf("MkDir").empty());
  EXPECT_FALSE(world.platform.exists(kDesktop + "\\Tovren"));
  EXPECT_EQ(world.form.exitCode(), kExitNoChrome);
}

// Unattended runs as a deployment starts them: no box is shown, the questions take their
// recommended answer unless a switch refuses it, nothing is launched without /LAUNCH, and the
// exit code and the log tell the outcome.
TEST(Unattended, ExitCodesStartsAndLog) {
  struct Case {
    std::vector<std::string> arguments;
    std::function<void(fake::FakePlatform&)> arrange;
    int exitCode;
    std::vector<std::string> started;  // how the command lines of the programs started begin
    std::string logged;                // a line the log must hold
  };
  auto runningDriver = [](fake::FakePlatform& p) {
    std::string driver = kSetup + "\\Tovren-Selvane\\chromedriver.exe";
    p.addFile(driver);
    p.running.push_back({{77, 1, "chromedriver.exe", driver}, {}, false});
  };
  const Case cases[] = {
      {{"/VERYSILENT"}, nullptr, 0, {"cmd.exe", "regsvr32"}, "Gösterilmedi, cevap: 6 (Evet)"},
      {{"/verysilent", "/NOSCRIPT", "/NOREGISTER", "/LAUNCH"},
       nullptr,
       0,
       {"\"" + kDesktop},
       "Gösterilmedi, cevap: 7 (Hayır)"},
      // Elevated above the user, whose rights no start can take: the check and the application
      // with the run's own.
      {{"/VERYSILENT", "/NOSCRIPT", "/NOREGISTER", "/LAUNCH"},
       [](fake::FakePlatform& p) {
         p.system.userRights = Platform::SystemFacts::UserRights::FromShell;
         p.failOn("ShellAsUser", "*", err::kInvalidCall);
         p.failOn("StartAsUser", "*", err::kInvalidCall);
       },
       0,
       {"\"" + kDesktop},
       "Kullanıcının yetkisiyle başlatılamadı: Hata No: 5 (Geçersiz yordam çağrısı veya bağımsız "
       "değişken): kurulumun kendi yetkileriyle başlatılıyor"},
      {{"/VERYSILENT"},
       [](fake::FakePlatform& p) {
         p.failOn("FileCopy", kPrg + "\\MSCOMCTL.OCX", err::kPathFileAccess);  // into the system
       },
       4,
       {"cmd.exe"},
       "Atlanan hata: Hata No: 75 (Yol/Dosya erişim hatası)"},
      // A driver from the package folder still runs: closed only where the switch says so.
      {{"/VERYSILENT"},
       runningDriver,
       3,
       {},
       "Dosyaları kullanıyor: chromedriver.exe (PID 77), " + kSetup +
           "\\Tovren-Selvane\\chromedriver.exe"},
      {{"/VERYSILENT", "/CLOSEAPPLICATIONS"},
       runningDriver,
       0,
       {"cmd.exe", "regsvr32"},
       "chromedriver.exe (PID 77): kapanmadı, sonlandırıldı"},
      {{"/VERYSILENT"},
       [](fake::FakePlatform& p) { p.addFile(kSetup + "\\TovrenKur.ini", "[Driver]\nSource=son"); },
       1,
       {},
       "Sürücü kaynağı: " + kSetup +
           "\\TovrenKur.ini içinde [Driver] Source değeri geçersiz: \"son\""},
      // Each registration is waited for; one that has not ended after 10 minutes counts.
      {{"/VERYSILENT"},
       [](fake::FakePlatform& p) { p.exitCodes["regsvr32"] = std::nullopt; },
       4,
       {"cmd.exe", "regsvr32"},
       "Atlanan hata: program 10 dakikada bitmedi, beklenmeden devam ediliyor: regsvr32 /s "
       "\"C:\\Windows\\SysWOW64\\MSCOMCTL.OCX\""},
  };
  for (const Case& c : cases) {
    World world({3});
    if (c.arrange)
      c.arrange(world.platform);
    EXPECT_EQ(runProgram(world.platform, {"TovrenKur.exe", c.arguments}, nullptr), c.exitCode);
    EXPECT_TRUE(world.platform.shown.empty()) << c.logged;
    std::vector<std::string> started;
    for (std::size_t k = 0; k < world.platform.started.size(); ++k) {
      const std::string& command = world.platform.started[k].first;
      started.push_back(k < c.started.size() ? command.substr(0, c.started[k].size()) : command);
    }
    EXPECT_EQ(started, c.started) << c.logged;
    EXPECT_EQ(world.platform.callsOf("CreateDispatchObject").empty(), c.arguments.size() < 4);
    const std::vector<std::string>& log = world.platform.logged;
    EXPECT_NE(std::find(log.begin(), log.end(), c.logged), log.end()) << c.logged;
    EXPECT_EQ(log.back(), "Çıkış kodu: " + std::to_string(c.exitCode)) << c.logged;
    for (const fake::Call& call : world.platform.callsOf("CopyHere"))  // the shell asks nothing
      EXPECT_EQ(call.args[1], std::to_string(kCopyNoUi));
    for (const fake::Call& call : world.platform.callsOf("ShellAndWait"))  // no console shown
      EXPECT_EQ(call.args[1] + call.args[2],
                call.args[0].starts_with("cmd") ? "0600000" : "2600000");
  }
}

// Who does the system folder's work with which rights: the run's rights, whether it may ask, and
// the consent (the step's exit code; none: refused). Without rights a copy there fails.
TEST(SystemFolderRights, TheRunTheElevatedStepOrNoOneAsTheDecisionsSay) {
  struct Case {  // asked: the consent; copiedHere: copies into the system folder tried here
    std::vector<int> missing;
    bool elevated, silent;
    std::optional<int> stepExit;
    int32_t startFailure;
    bool asked, copiedHere;
    int exitCode;
    std::string logged;  // how a line of the log begins
  };
  const std::string refused = "Yöneticinin onayı verilmedi (";
  const std::string code = "Yönetici yetkisiyle yapılan adımın çıkış kodu: ";
  const Case cases[] = {
      {{3, 4}, true, false, 0, 0, false, true, 0, "Adım bitti: Bileşenlerin kaydı"},
      {{3, 4}, true, true, 0, 0, false, true, 0, "Adım bitti: Bileşenlerin kaydı"},
      {{}, false, false, 0, 0, false, false, 0, "Mesaj kutusu, stil 0, başlık \"TovrenKur\": Reg"},
      {{3, 4}, false, false, 0, 0, true, false, 0, code + "0"},
      {{3, 4}, false, false, kStepEnded | kStepUnitsPassedOver, 0, true, false, 4, code + "48"},
      {{3, 4}, false, false, 3, 0, true, false, 4, "Atlanan hata: Hata No: 5 (Yönetici yetkisiyle"},
      {{3, 4}, false, false, std::nullopt, 0, true, true, 4, refused + "yönetici onay istemine"},
      {{3, 4}, false, false, kStepNotElevated, 0, true, true, 4, refused + "adım yönetici"},
      {{3, 4}, false, false, 0, err::kFileNotFound, true, true, 4, refused + "başlatılamadı"},
      {{3, 4}, false, true, 0, 0, false, false, 4, "Atlanan hata: Hata No: 70 (Sistem klasörüne"},
  };
  for (const Case& c : cases) {
    Options options;
    options.display = c.silent ? Display::VerySilent : Display::Interactive;
    World world(c.missing, "105.0.5195.102", options);
    world.platform.system.elevated = c.elevated;
    world.platform.elevatedExit = c.stepExit;
    if (c.startFailure != 0)
      world.platform.failOn("RunElevated", "*", c.startFailure);
    if (!c.elevated)
      world.platform.failOn("FileCopy", kPrg + "\\MSCOMCTL.DEP", err::kPathFileAccess);
    world.pressDevam();
    std::string label = std::to_string(&c - cases);
    std::vector<fake::Call> asked{{"RunElevated",
                                   {"/SYSTEMSTEP=4242 \"/DESKTOP=" + kDesktop +
                                    "\" \"/LOG=" + world.platform.defaultLog + "\""}}};
    EXPECT_EQ(world.platform.callsOf("RunElevated"), c.asked ? asked : std::vector<fake::Call>{})
        << label;
    EXPECT_EQ(!world.copiedInto("C:\\Windows\\SysWOW64\\").empty(), c.copiedHere) << label;
    EXPECT_EQ(world.form.exitCode(), c.exitCode) << label;
    const std::vector<std::string>& log = world.platform.logged;
    EXPECT_TRUE(std::any_of(log.begin(), log.end(),
                            [&](const std::string& line) { return line.starts_with(c.logged); }))
        << label << ": " << c.logged;
  }
}

}  // namespace
}  // namespace tk
