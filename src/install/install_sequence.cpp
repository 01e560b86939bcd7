// Command1_Click: the Continue action, from the Chrome version check to the started application.
// In the first half the first failure ends the program (the handler boundary reports it); from
// the application copy on, each unit of work is passed over and the sequence goes on.
#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "app/failure_handling.h"
#include "app/form1.h"
#include "app/pass_over.h"

namespace tk {
namespace {

constexpr std::array<const char*, 6> kTree{"\\Tovren",           "\\Tovren\\Firmalarım",
                                           "\\Tovren\\Data",     "\\Tovren\\prgDosyaları",
                                           "\\Tovren\\Raporlar", "\\Tovren\\Yedek"};

constexpr const char* kScriptQuestion =
    "Chrome bağlantı ayarları şimdi yapılsın mı ? (EVET önerilir.)";

// One step of the second half: its units run in order, each passed over on failure; the step's
// first failure is reported before the sequence goes on, so the user learns what was not installed.
void runStep(Platform& platform, std::initializer_list<std::function<void()>> units) {
  bool reported = false;
  for (const std::function<void()>& unit : units) {
    std::optional<PlatformError> failure = passOver(unit);
    if (failure && !reported) {
      reported = true;
      passOver([&] { reportInstallFailure(platform, *failure); });
    }
  }
}

}  // namespace

void Form1::Command1_Click() {
  DriverChoice driver = chooseDriver();

  userPath = GetDesktop();

  // Any entry named Tovren, folder or file, means the tree is there: none of it is made again.
  if (platform_.Dir(userPath + "\\Tovren", vbDirectory).empty()) {
    for (const char* folder : kTree)
      platform_.MkDir(userPath + folder);
  }

  indirDosya = "chromedriver_win32.zip";
  myUrl = driver.address;
  myPath = platform_.AppPath() + "\\Tovren-Selvane\\" + indirDosya;
  dosyaIndir(myUrl, myPath);
  unzip();

  isWillReg = platform_.MsgBox(kScriptQuestion, vbYesNoQuestionNo, std::string(kTitleV100));
  if (isWillReg == vbYes) {
    // Quoted for cmd's /s rule, so a package folder with blanks or parentheses still works.
    platform_.Shell(
        "cmd.exe /s /c \"\"" + platform_.AppPath() + "\\Tovren-Selvane\\install.cmd\"\"",
        vbMinimizedFocus);
  }

  for (int r = 0; r <= 6; ++r) {
    if (!Text1(r).Text().empty()) {
      copyFromStr = platform_.AppPath() + "\\Tovren Bileşenleri\\" + Text1(r).Text();
      copyToStr = userPath + "\\Tovren\\prgDosyaları\\" + Text1(r).Text();
      platform_.FileCopy(copyFromStr, copyToStr);
    }
  }

  finishInstallation(driver.versionKey);
}

void Form1::finishInstallation(const std::string& versionKey) {
  runStep(platform_, {[&] { copyFromStr = platform_.AppPath() + "\\Tovren.exe"; },
                      [&] { copyToStr = userPath + "\\Tovren\\Tovren.exe"; },
                      [&] { platform_.FileCopy(copyFromStr, copyToStr); }});
  // A workbook from an earlier installation holds the user's data: it is kept, whatever its
  // attributes, by a copy that never replaces a file.
  runStep(platform_, {[&] { copyFromStr = platform_.AppPath() + "\\DATA.xlsx"; },
                      [&] { copyToStr = userPath + "\\Tovren\\Data\\DATA.xlsx"; },
                      [&] { platform_.FileCopyIfAbsent(copyFromStr, copyToStr); }});
  runStep(platform_, {[&] { CreateShortCut(); }});
  runStep(platform_, {[&] { regTovrenComponents(); }});
  writeDriverRecord(versionKey);

  passOver([&] { Text12.setText("Kurulum işlemi tamamlandı !"); });
  passOver([&] {
    Text13.setText(
        "Gerekli Windows Bileşenleri masaüstü\\Tovren\\prgDosyaları klasörüne başarıyla "
        "kaydedildi !");
  });
  passOver([&] {
    Text14.setText(
        "Lütfen şimdi kur'u kapatın TovrenKur klasörü ve içeriğini silebilirsiniz. Tovren "
        "uygulaması başlatılacak.");
  });
  passOver([&] { Command3.setVisible(true); });
  passOver([&] { Command2.setVisible(false); });
  passOver([&] { Command1.setVisible(false); });

  std::unique_ptr<DispatchObject> browser = checkBrowser();

  runStep(platform_, {[&] {
            platform_.MsgBox("Chrome bağlantısı test edildi.", vbInformation,
                             std::string(kTitleV109));
          }});
  // Quoted, so a desktop path with blanks cannot start some other program.
  runStep(platform_,
          {[&] { platform_.Shell("\"" + userPath + "\\Tovren\\Tovren.exe\"", vbNormalFocus); }});
}

void Form1::writeDriverRecord(const std::string& versionKey) {
  std::unique_ptr<FileSystemObject> fileSystem;
  std::unique_ptr<TextStream> record;
  runStep(platform_,
          {[&] { fileSystem = platform_.CreateFileSystemObject(); },
           [&] {
             record = requireObject(fileSystem)
                          .CreateTextFile(
                              userPath + "\\Tovren\\prgDosyaları\\ChromeDriverVersiyon.txt", true);
           },
           [&] { requireObject(record).writeline("[" + versionKey + "]"); },
           [&] { requireObject(record).Close(); }});
}

}  // namespace tk
