// Before anything is replaced, the programs that hold files this run replaces (the driver in the
// package folder, the application and the components in the desktop tree, the components in the
// system folder) are found and, once the user agrees (a silent run: /CLOSEAPPLICATIONS), closed:
// a rerun while Tovren or its driver still runs then replaces them instead of failing. Nothing
// here ends the run: a file that cannot be looked at, or a program that stays, fails later at its
// own step as it would have.
#include <algorithm>
#include <chrono>
#include <string>
#include <utility>
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

// One line per program, as Windows names it: "Tovren (PID 1234)", or for several processes of
// one name "chromedriver.exe (2 işlem)".
std::string programLines(const std::vector<FileHolder>& holders) {
  std::vector<std::pair<const FileHolder*, int>> programs;  // in the order found
  for (const FileHolder& holder : holders) {
    auto named = [&](const auto& program) { return program.first->name == holder.name; };
    auto found = std::find_if(programs.begin(), programs.end(), named);
    if (found == programs.end())
      programs.emplace_back(&holder, 1);
    else
      ++found->second;
  }
  std::string lines;
  for (const auto& [holder, count] : programs) {
    lines += "\r\n• " + (count == 1 ? processText(*holder)
                                    : holder->name + " (" + std::to_string(count) + " işlem)");
  }
  return lines;
}

std::string closeQuestion(const std::vector<FileHolder>& holders) {
  return "Kurulumun yenileyeceği dosyaları şu anda çalışan programlar kullanıyor:\r\n" +
         programLines(holders) +
         "\r\n\r\nBu programlar kapatılıp kuruluma devam edilsin mi ? Kaydedilmemiş işleriniz "
         "varsa önce kaydedin.\r\n\r\nHayır derseniz programlar açık kalır ve kullandıkları "
         "dosyalar değiştirilemeyebilir.";
}

std::string endText(HolderEnd end) {
  switch (end) {
    case HolderEnd::Closed:
      return "kapandı";
    case HolderEnd::Ended:
      return "kapanmadı, sonlandırıldı";
    case HolderEnd::Running:
      break;
  }
  return "kapanmadı, çalışıyor";
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
  passOver([&] {
    for (std::string name = platform_.Dir(packageFolder + "\\", vbHidden); !name.empty();
         name = platform_.Dir()) {
      if (equalsIgnoringCase(name, kArchive) || equalsIgnoringCase(name, kDriver) ||
          zip::isNoticeName(name)) {
        files.push_back(packageFolder + "\\" + name);
      }
    }
  });
  files.push_back(userPath + "\\Tovren\\Tovren.exe");
  // The components: those of the missing rows, which are copied into the tree, and whatever the
  // tree's folder holds, all of which the registration copies on into the system folder, each
  // with the file the system folder's copy is compared with.
  const std::string tree = userPath + "\\Tovren\\prgDosyaları\\";
  std::vector<std::pair<std::string, std::string>> components;
  for (int r = 0; r <= 6; ++r) {
    if (!Text1(r).Text().empty())
      components.emplace_back(Text1(r).Text(),
                              platform_.AppPath() + "\\Tovren Bileşenleri\\" + Text1(r).Text());
  }
  passOver([&] {
    for (std::string name = platform_.Dir(tree, vbNormal); !name.empty(); name = platform_.Dir()) {
      auto same = [&](const auto& component) { return equalsIgnoringCase(component.first, name); };
      if (std::none_of(components.begin(), components.end(), same))
        components.emplace_back(name, tree + name);
    }
  });
  for (const auto& [name, packaged] : components) {
    files.push_back(tree + name);
    std::string system = "C:\\Windows\\" + sisDir + name;
    if (!systemHasNewer(platform_, packaged, system))  // a newer one there is kept, not replaced
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
