// Before anything is replaced, the programs that hold files this run replaces (the driver in the
// package folder, the application and the components in the desktop tree, the components in the
// system folder) are found and, once the user agrees (a silent run: /CLOSEAPPLICATIONS), closed:
// a rerun while Tovren or its driver still runs then replaces them instead of failing. Nothing
// here ends the run: a file that cannot be looked at, or a program that stays, fails later at its
// own step as it would have.
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/pass_over.h"
#include "platform/text.h"
#include "registration/newer_component.h"
#include "zip/driver_archive.h"

namespace tk {
namespace {

// How long the programs asked to close are waited for, all together.
constexpr std::chrono::seconds kCloseWait{10};
constexpr const char* kDriver = "chromedriver.exe";
constexpr const char* kArchive = "chromedriver_win32.zip";

std::string processText(const FileHolder& holder) {
  return holder.name + " (PID " + std::to_string(holder.processId) + ")";
}

// Each program named once, as Windows names it: "Tovren (PID 1234)", or for several processes of
// one name "chromedriver.exe (2 işlem)".
std::string closeQuestion(const std::vector<FileHolder>& holders) {
  std::string text = "Kurulumun yenileyeceği dosyaları şu anda çalışan programlar kullanıyor:\r\n";
  for (std::size_t k = 0; k < holders.size(); ++k) {
    std::size_t count = 0, first = k;
    for (std::size_t other = 0; other < holders.size(); ++other) {
      if (holders[other].name == holders[k].name) {
        ++count;
        first = std::min(first, other);
      }
    }
    if (first == k) {
      text += "\r\n• " + (count == 1 ? processText(holders[k])
                                     : holders[k].name + " (" + std::to_string(count) + " işlem)");
    }
  }
  return text +
         "\r\n\r\nBu programlar kapatılıp kuruluma devam edilsin mi ? Kaydedilmemiş işleriniz "
         "varsa önce kaydedin.\r\n\r\nHayır derseniz programlar açık kalır ve kullandıkları "
         "dosyalar değiştirilemeyebilir.";
}

const char* endText(HolderEnd end) {
  return end == HolderEnd::Closed  ? "kapandı"
         : end == HolderEnd::Ended ? "kapanmadı, sonlandırıldı"
                                   : "kapanmadı, çalışıyor";
}

// The names in a folder; as many as could be read (a file not looked at fails at its own step).
std::vector<std::string> namesIn(Platform& platform, const std::string& folder, int attributes) {
  std::vector<std::string> names;
  passOver([&] {
    for (std::string name = platform.Dir(folder, attributes); !name.empty(); name = platform.Dir())
      names.push_back(name);
  });
  return names;
}

}  // namespace

// The installer's own programs, which it ends when they do not close: the application it
// installs, and a driver run from the package folder or from anywhere in the desktop tree.
bool Form1::isOwnProgram(const std::string& program, const std::string& packageFolder) {
  if (equalsIgnoringCase(program, userPath + "\\Tovren\\Tovren.exe"))
    return true;
  std::size_t cut = program.rfind('\\');
  if (cut == std::string::npos || !equalsIgnoringCase(program.substr(cut + 1), kDriver))
    return false;
  std::string folder = program.substr(0, cut);
  return equalsIgnoringCase(folder, packageFolder) ||
         foldCase(folder + "\\").starts_with(foldCase(userPath + "\\Tovren\\"));
}

std::vector<std::string> Form1::filesToReplace(const std::string& packageFolder) {
  std::vector<std::string> files;
  // The driver as the package folder holds it now: its archive, the driver and its notices.
  for (const std::string& name : namesIn(platform_, packageFolder + "\\", vbHidden)) {
    if (equalsIgnoringCase(name, kArchive) || equalsIgnoringCase(name, kDriver) ||
        zip::isNoticeName(name)) {
      files.push_back(packageFolder + "\\" + name);
    }
  }
  files.push_back(userPath + "\\Tovren\\Tovren.exe");
  // The components: those of the missing rows, copied from the package into the tree, and
  // whatever else the tree's folder holds; the registration copies all of them on into the
  // system folder, where a newer one is kept.
  const std::string tree = userPath + "\\Tovren\\prgDosyaları\\";
  std::vector<std::string> names;
  for (int r = 0; r <= 6; ++r) {
    if (!Text1(r).Text().empty())
      names.push_back(Text1(r).Text());
  }
  const std::size_t fromPackage = names.size();
  for (const std::string& name : namesIn(platform_, tree, vbNormal)) {
    auto same = [&](const std::string& missing) { return equalsIgnoringCase(missing, name); };
    if (std::none_of(names.begin(), names.begin() + fromPackage, same))
      names.push_back(name);
  }
  for (std::size_t k = 0; k < names.size(); ++k) {
    files.push_back(tree + names[k]);
    std::string packaged = k < fromPackage
                               ? platform_.AppPath() + "\\Tovren Bileşenleri\\" + names[k]
                               : tree + names[k];
    std::string system = "C:\\Windows\\" + sisDir + names[k];
    if (!systemHasNewer(platform_, packaged, system))
      files.push_back(system);
  }
  return files;
}

void Form1::closeFileHolders(const std::string& packageFolder) {
  std::vector<std::string> files = filesToReplace(packageFolder);
  std::vector<FileHolder> found = platform_.FindHolders(files);
  log("Değiştirilecek " + std::to_string(files.size()) +
      " dosyayı kullanan program sayısı: " + std::to_string(found.size()));
  std::vector<FileHolder> holders;
  for (FileHolder& holder : found) {
    log("Dosyaları kullanıyor: " + processText(holder) +
        (holder.program.empty() ? "" : ", " + holder.program));
    if (!holder.closable) {
      log("Bir Windows hizmeti ya da Windows'un parçası: kapatılmaz");
      continue;
    }
    holder.mayEnd = isOwnProgram(holder.program, packageFolder);
    holders.push_back(std::move(holder));
  }
  if (holders.empty())
    return;
  if (MsgBox(Box::CloseApplications, closeQuestion(holders), vbYesNoQuestionNo,
             std::string(kTitleV100)) != vbYes) {
    log("Programlar kapatılmadı");
    return;
  }
  auto started = std::chrono::steady_clock::now();
  std::vector<HolderEnd> ends = platform_.CloseHolders(holders, kCloseWait);
  auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - started);
  for (std::size_t k = 0; k < holders.size() && k < ends.size(); ++k)
    log(processText(holders[k]) + ": " + endText(ends[k]));
  log("Programların kapatılması " + std::to_string(took.count()) + " ms sürdü");
}

}  // namespace tk
