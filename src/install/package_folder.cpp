// The package folder the run works in, chosen once before the download: "Tovren-Selvane" itself
// when this run can have it to itself, else a working copy of its own under the temporary folder
// (a read-only share or medium, no rights, or another run, on this computer or another, at work
// in it). The download, the extraction and the package script all use the folder chosen, so the
// script finds the driver beside itself either way.
#include "app/form1.h"

namespace tk {

std::string Form1::packageFolder() {
  return packageFolder_.empty() ? platform_.AppPath() + "\\Tovren-Selvane" : packageFolder_;
}

std::string Form1::choosePackageFolder() {
  if (int removed = platform_.RemoveEndedWorkingFolders(); removed > 0)
    log("Biten kurulumların çalışma kopyaları silindi: " + std::to_string(removed));
  std::string shared = platform_.AppPath() + "\\Tovren-Selvane";
  // A package without its folder is claimed and copied by no one: the download and the
  // extraction fail there as they always did, and report it.
  if (platform_.Dir(shared, vbDirectory).empty()) {
    log("Paket klasörü yok: " + shared);
    return shared;
  }
  try {
    packageClaim_ = platform_.ClaimFolder(shared);
    log("Paket klasörü: " + shared + " (bu kurulumun kullanımında)");
    return shared;
  } catch (const PlatformError& refused) {
    log("Paket klasörü kullanılamıyor: Hata No: " + std::to_string(refused.number) + " (" +
        refused.description + ")");
  }
  // What the package holds comes along: an archive of an earlier run still stands in for a
  // download that fails.
  std::string copy = platform_.CopyToWorkingFolder(shared);
  log("Paket klasörü: " + copy + " (" + shared + " klasörünün çalışma kopyası)");
  return copy;
}

}  // namespace tk
