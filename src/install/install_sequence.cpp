// Command1_Click: the Continue action, from the Chrome version check to the started application.
// In the first half the first failure ends the program (the handler boundary reports it); from
// the application copy on, each unit of work is passed over and the sequence goes on. Each step
// is written to the support log as it starts and ends.
#include <array>
#include <memory>
#include <string>

#include "app/form1.h"
#include "app/pass_over.h"

namespace tk {
namespace {

constexpr std::array<const char*, 6> kTree{"\\Tovren",           "\\Tovren\\Firmalarım",
                                           "\\Tovren\\Data",     "\\Tovren\\prgDosyaları",
                                           "\\Tovren\\Raporlar", "\\Tovren\\Yedek"};

constexpr const char* kScriptQuestion =
    "Chrome bağlantı ayarları şimdi yapılsın mı ? (EVET önerilir.)";

}  // namespace

void Form1::Command1_Click() {
  DriverChoice driver;
  step("Chrome sürümü ve sürücü", [&] { driver = chooseDriver(); });
  step("Masaüstü klasörü", [&] {
    userPath = GetDesktop();
    log("Masaüstü klasörü: " + userPath);
  });
  step("Klasör ağacı", [&] {
    // Any entry named Tovren, folder or file, means the tree is there: none of it is made again.
    if (platform_.Dir(userPath + "\\Tovren", vbDirectory).empty()) {
      for (const char* folder : kTree)
        platform_.MkDir(userPath + folder);
    }
  });
  step("Paket klasörü", [&] { packageFolder_ = choosePackageFolder(); });
  step("Dosyaları kullanan programlar", [&] { closeFileHolders(packageFolder()); });
  step("Sürücünün indirilmesi", [&] {
    indirDosya = "chromedriver_win32.zip";
    myUrl = driver.address;
    myPath = packageFolder() + "\\" + indirDosya;
    dosyaIndir(myUrl, myPath);
  });
  step("Sürücü arşivinin açılması", [&] { unzip(); });
  step("Paket betiği", [&] {
    isWillReg =
        MsgBox(Box::ScriptQuestion, kScriptQuestion, vbYesNoQuestionNo, std::string(kTitleV100));
    if (isWillReg == vbYes) {
      // Quoted for cmd's /s rule, so a package folder with blanks or parentheses still works. A
      // run without any window shows no console either.
      int style = options_.display == Display::VerySilent ? vbHide : vbMinimizedFocus;
      Shell("cmd.exe /s /c \"\"" + packageFolder() + "\\install.cmd\"\"", style, Wait::Unattended);
    }
  });
  step("Eksik bileşenlerin kopyası", [&] {
    for (int r = 0; r <= 6; ++r) {
      if (!Text1(r).Text().empty()) {
        copyFromStr = platform_.AppPath() + "\\Tovren Bileşenleri\\" + Text1(r).Text();
        copyToStr = userPath + "\\Tovren\\prgDosyaları\\" + Text1(r).Text();
        FileCopy(copyFromStr, copyToStr);
      }
    }
  });

  finishInstallation(driver.versionKey);
  exitCode_ = passedOver_ > 0 ? kExitStepsPassedOver : kExitInstalled;
  log("Kurulum bitti; atlanan hata sayısı: " + std::to_string(passedOver_));
  // No one is there to press "Kapat": an unattended run closes its window itself.
  if (options_.unattended())
    End();
}

void Form1::finishInstallation(const std::string& versionKey) {
  runStep("Uygulamanın kopyası", {[&] { copyFromStr = platform_.AppPath() + "\\Tovren.exe"; },
                                  [&] { copyToStr = userPath + "\\Tovren\\Tovren.exe"; },
                                  [&] { FileCopy(copyFromStr, copyToStr); }});
  // A workbook from an earlier installation holds the user's data: it is kept, whatever its
  // attributes, by a copy that never replaces a file.
  runStep("Çalışma kitabının kopyası",
          {[&] { copyFromStr = platform_.AppPath() + "\\DATA.xlsx"; },
           [&] { copyToStr = userPath + "\\Tovren\\Data\\DATA.xlsx"; },
           [&] {
             log("Kopya (var olan dosya korunur): " + copyFromStr + " -> " + copyToStr);
             if (!platform_.FileCopyIfAbsent(copyFromStr, copyToStr))
               log("Çalışma kitabı zaten vardı, korundu");
           }});
  runStep("Kısayol", {[&] { CreateShortCut(); }});
  runStep("Bileşenlerin kaydı", {[&] { registerComponents(); }});
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

  // A deployment must not open Chrome or the application on someone's desktop.
  if (options_.unattended() && !options_.launch) {
    log("Tarayıcı denetimi ve uygulamanın başlatılması atlandı (/LAUNCH verilmedi)");
    return;
  }
  bool asUser = userProgramsAsUser();
  std::shared_ptr<void> browser = checkBrowser(asUser);
  runStep("Tarayıcı denetiminin bildirimi", {[&] {
            MsgBox(Box::BrowserChecked, "Chrome bağlantısı test edildi.", vbInformation,
                   std::string(kTitleV109));
          }});
  // Quoted, so a desktop path with blanks cannot start some other program.
  runStep("Uygulamanın başlatılması", {[&] {
            Shell("\"" + userPath + "\\Tovren\\Tovren.exe\"", vbNormalFocus, Wait::Never, asUser);
          }});
}

void Form1::writeDriverRecord(const std::string& versionKey) {
  std::unique_ptr<FileSystemObject> fileSystem;
  std::unique_ptr<TextStream> record;
  runStep("Sürücü kayıt dosyası",
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
