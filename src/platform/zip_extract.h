// The program's zip reader on the host's files: what checks every archive before the shell's
// folder objects extract it, and what extracts it where the shell itself gives no folder for an
// archive (Windows without a zip-folder handler) and always on the substitute.
#pragma once

#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/code_pages.h"
#include "platform/error.h"
#include "platform/progress.h"
#include "platform/temp_file.h"
#include "platform/text.h"
#include "zip/driver_archive.h"
#include "zip/zip_reader.h"

namespace tk::host {

// What an archive may hold: whatever the reader accepts, or only the driver's files
// (zip::DriverArchive), which is all the program itself ever extracts or downloads.
enum class Content { Any, Driver };

// Extracts the archive at `archive` into the existing folder `destination` (host paths, UTF-8).
// Names are matched ignoring case against what already lies there, as on Windows, so a file is
// replaced rather than doubled. Failures throw PlatformError.
zip::ExtractStats extractArchive(const std::string& archive, const std::string& destination,
                                 Content content);

// Reads the whole driver archive at `archive` (a host path) with every check of the extraction
// into its own folder and every CRC, writing nothing: whatever the reason, a refused archive is a
// damaged one (321). A file that cannot be opened fails with its own number.
void checkArchive(const std::string& archive);

// Writes the driver's files at the top of `inner`: out of the one folder that newer driver
// archives wrap them in (chromedriver-win32/), where the older archives put them. The rule knows
// that folder once the reader has checked every entry, before it writes any.
class UnwrappedDriver : public zip::Destination {
 public:
  UnwrappedDriver(zip::Destination& inner, const zip::DriverArchive& driver)
      : inner_(inner), driver_(driver) {}
  void makeFolder(const std::string& path) override {
    if (path.size() > driver_.folder().size())
      inner_.makeFolder(inside(path));
  }
  std::unique_ptr<zip::OutputFile> create(const std::string& path, bool executable) override {
    return inner_.create(inside(path), executable);
  }
  uint64_t freeSpace() override { return inner_.freeSpace(); }
  bool fits(const std::string& path, bool folder) override {
    return path.size() <= driver_.folder().size() || inner_.fits(inside(path), folder);
  }

 private:
  // Every entry of a driver archive lies in the driver's folder ("" or "name", any letter case).
  std::string inside(const std::string& path) const {
    std::size_t folder = driver_.folder().size();
    return folder == 0 ? path : path.substr(folder + 1);
  }

  zip::Destination& inner_;
  const zip::DriverArchive& driver_;
};

// The reader run as a long work: the form's window stays served, and a long extraction shows
// its progress over it. Without `write` the archive is only checked (zip::check), its names
// measured against `destination` as they would be written there. The driver's archive is
// extracted out of its one folder (UnwrappedDriver); `driverFolder`, when given, learns that
// folder ("" for none), for the shell to extract from it too.
inline zip::ExtractStats runAsLongWork(zip::ArchiveSource& archive, zip::Destination& destination,
                                       Content content, bool write = true,
                                       std::string* driverFolder = nullptr) {
  struct Observer : zip::ExtractObserver {
    LongWork work{WorkKind::Extraction};
    void started(uint64_t totalBytes) override { work.setTotal(totalBytes); }
    void written(uint64_t bytes) override { work.advance(bytes); }
  } observer;
  std::optional<zip::DriverArchive> driver;
  if (content == Content::Driver)
    driver.emplace();
  zip::Options options{driver ? &*driver : nullptr, &observer};
  zip::ExtractStats stats;
  observer.work.run([&] {
    std::optional<UnwrappedDriver> unwrapped;
    if (driver)
      unwrapped.emplace(destination, *driver);
    zip::Destination& target = unwrapped ? static_cast<zip::Destination&>(*unwrapped) : destination;
    if (write)
      stats = zip::extract(archive, target, decodeOem, options);
    else
      zip::check(archive, decodeOem, options, &target);
  });
  if (driverFolder != nullptr && driver)
    *driverFolder = driver->folder();
  return stats;
}

// Removes from `folder` (a host path) the temporary files that an extraction ended in its middle
// left for the files `names`, matched ignoring case as the hosts match names; whether the folder
// was there.
inline bool removeExtractionLeftovers(const std::string& folder,
                                      const std::vector<std::string>& names) {
  std::unordered_set<std::string> folded;
  for (const std::string& name : names)
    folded.insert(foldCase(name));
  return TempFile::removeLeftovers(
      folder, [&folded](std::string_view found) { return folded.count(foldCase(found)) > 0; });
}

// checkArchive on an archive that each host opens its own way, measured against the folder it
// would be extracted into.
inline void checkDriverArchive(zip::ArchiveSource& archive, zip::Destination& folder) {
  zip::DriverArchive driver;
  UnwrappedDriver unwrapped(folder, driver);
  try {
    zip::check(archive, decodeOem, {.rule = &driver}, &unwrapped);
  } catch (const PlatformError& refused) {
    throw PlatformError(err::kInvalidFileFormat, refused.description);
  }
}

// An extracted file on its way into place. It is not flushed before its rename: the archive
// stays beside it, so an extraction cut short is simply made again.
class ExtractedFile : public zip::OutputFile {
 public:
  ExtractedFile(const std::string& path, bool executable)
      : file_(path, {.flush = false, .executable = executable}) {}
  void write(const unsigned char* data, std::size_t length) override { file_.write(data, length); }
  void commit() override { file_.commit(); }

 private:
  TempFile file_;
};

}  // namespace tk::host
