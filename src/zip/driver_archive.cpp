// The driver archive's rule: which entries it may hold, and where.
#include "zip/driver_archive.h"

#include <string_view>

#include "platform/error.h"
#include "platform/text.h"

namespace tk::zip {
namespace {

constexpr std::string_view kDriver = "CHROMEDRIVER.EXE";  // folded, as are the names below
constexpr std::string_view kNotices[] = {"LICENSE", "THIRD_PARTY_NOTICES"};
// A notice file's extensions: none, or one that no program, script or library has.
constexpr std::string_view kNoticeExtensions[] = {"", ".CHROMEDRIVER", ".TXT", ".MD", ".HTML"};

PlatformError unfit(const std::string& detail) {
  return PlatformError(err::kInvalidFileFormat, "Arşiv Chrome sürücüsünün arşivi değil: " + detail +
                                                    "; arşivden hiçbir şey çıkarılmadı");
}

PlatformError unexpected(const EntryPath& entry) {
  return unfit("'" + entry.path +
               "' girdisi beklenmiyor (arşivde yalnızca chromedriver.exe ile yanındaki LICENSE ve "
               "THIRD_PARTY_NOTICES dosyaları, uzantısız ya da .chromedriver, .txt, .md, .html "
               "uzantılı, olabilir)");
}

}  // namespace

void DriverArchive::add(const EntryPath& entry) {
  if (entry.path.empty())
    return;  // the archive's top folder itself
  std::size_t cut = entry.path.rfind('/');
  if (entry.folder) {
    if (cut != std::string::npos)
      throw unexpected(entry);  // a folder inside the one folder
    placeIn(entry.path, entry);
    return;
  }
  std::string folder = cut == std::string::npos ? "" : entry.path.substr(0, cut);
  if (folder.find('/') != std::string::npos)
    throw unexpected(entry);
  placeIn(folder, entry);
  std::string name = foldCase(entry.path.substr(cut + 1));
  if (name == kDriver) {
    if (driver_)
      throw unfit("arşivde ikinci bir chromedriver.exe var");
    driver_ = true;
    return;
  }
  if (!isNoticeName(name))
    throw unexpected(entry);
}

bool isNoticeName(std::string_view name) {
  std::string folded = foldCase(name);
  for (std::string_view notice : kNotices) {
    for (std::string_view extension : kNoticeExtensions) {
      if (folded.size() == notice.size() + extension.size() && folded.starts_with(notice) &&
          folded.ends_with(extension))
        return true;
    }
  }
  return false;
}

// Every entry lies in one folder: the driver's.
void DriverArchive::placeIn(const std::string& folder, const EntryPath& entry) {
  if (!placed_) {
    folder_ = folder;
    placed_ = true;
  } else if (foldCase(folder) != foldCase(folder_)) {
    throw unexpected(entry);
  }
}

void DriverArchive::finish() {
  if (!driver_)
    throw unfit("arşivde chromedriver.exe yok");
}

}  // namespace tk::zip
