// Form_Load: the start-up scan for the seven components the application needs in the Windows
// system folder, and the verdict it leaves in the window.
#include <array>
#include <string>

#include "app/form1.h"

namespace tk {
namespace {

// The component table; the row number is the index of the Text1 element that carries it.
constexpr std::array<const char*, 7> kComponents{"msvbvm60.dll", "MSSTDFMT.DLL", "shell32.dll",
                                                 "MSCOMCTL.OCX", "MSCOMCTL.DEP", "MSCOMCTL.SRG",
                                                 "wmp.dll"};

constexpr const char* kMissingVerdict =
    "Tovren çalışabilmek için bazı Windows bileşenlerine ihtiyaç duyar. Sisteminizde mevcut "
    "olmayan bileşenler aşağıya listelendi.";
constexpr const char* kMissingInstruction =
    "Bu dosyaları sistem klasörüne ekleyebilmesi için , TovrenKur'un 'YÖNETİCİ' yetkisiyle "
    "başlatılmış olması gerekir. Bunu yapmadıysanız DEVAM tuşuna kliklemeden kurulumdan çıkınız.";
constexpr const char* kPresentVerdict =
    "Kur sisteminizi taradı, Tovren'in çalışması için gerekli Windows bileşenleri sisteminizde "
    "mevcut.";
constexpr const char* kPresentInstruction =
    "Bir sonraki kurulum aşamasına geçmek için Devam butonunu tıklayın.";

}  // namespace

void Form1::Form_Load() {
  for (i = 0; i <= 6; ++i)
    Text1(i).setText(kComponents[static_cast<std::size_t>(i)]);

  chooseSystemFolder();

  for (i = 0; i <= 6; ++i) {
    if (!platform_.Dir("C:\\Windows\\" + sisDir + Text1(i).Text(), vbHidden).empty()) {
      Text1(i).setText("");
    }
  }

  // Row 6 (wmp.dll) takes no part in the list or the verdict.
  char verdict = 'N';
  std::array<std::string, 7> list;  // slots 1 to 6
  j = 1;
  for (i = 0; i <= 5; ++i) {
    if (!Text1(i).Text().empty()) {
      list[static_cast<std::size_t>(j)] = Text1(i).Text();
      verdict = 'Y';
      j = j + 1;
    }
  }

  Text13.setText(list[1] + "\r\n" + list[2] + "\r\n" + list[3] + "\r\n" + list[4] + "\r\n" +
                 list[5] + "\r\n" + list[6]);

  if (verdict == 'Y') {
    Text12.setText(kMissingVerdict);
    Text14.setText(kMissingInstruction);
    // Without administrator rights, Devam will ask for them; a silent run never asks.
    if (!options_.unattended() && !systemFacts().elevated)
      Command1.setElevationRequired(true);
  } else {
    Text12.setText(kPresentVerdict);
    Text14.setText(kPresentInstruction);
  }

  // For the support log: every missing row, wmp.dll's included.
  std::string missing;
  for (int row = 0; row <= 6; ++row) {
    if (!Text1(row).Text().empty())
      missing += (missing.empty() ? "" : ", ") + Text1(row).Text();
  }
  log("Başlangıç taraması: C:\\Windows\\" + sisDir +
      " içinde eksik bileşenler: " + (missing.empty() ? "yok" : missing));
}

void Form1::chooseSystemFolder() {
  // A folder or an ordinary file named SysWOW64 means a 64-bit Windows.
  if (!platform_.Dir("C:\\Windows\\SysWOW64", vbDirectory).empty()) {
    sisDir = "SysWOW64\\";
  } else {
    sisDir = "System32\\";
  }
}

}  // namespace tk
