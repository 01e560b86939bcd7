// The program's zip reader on the host's files: what checks every archive before the shell's
// folder objects extract it, and what extracts it where the shell itself gives no folder for an
// archive (Windows without a zip-folder handler) and always on the substitute.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/code_pages.h"
#include "platform/error.h"
#include "platform/platform.h"
#include "platform/progress.h"
#include "platform/temp_file.h"
#include "zip/driver_archive.h"
#include "zip/zip_reader.h"

namespace tk::host {

// What an archive may hold: whatever the reader accepts, or only the driver's files
// (zip::DriverArchive), which is all the program itself ever extracts or downloads.
enum class Content { Any, Driver };

// Extracts the archive at `archive` into the existing folder `destination` (host paths, UTF-8):
// all of it, or only what lies in `folder` inside it ("name/"), which then lands at the top of
// the destination. Names are matched ignoring case against what already lies there, as on
// Windows, so a file is replaced rather than doubled. Failures throw PlatformError.
zip::ExtractStats extractArchive(const std::string& archive, const std::string& destination,
                                 Content content, const std::string& folder = "");

// Every path the archive at `archive` holds, files ("a/b") and folders ("a/"), read with every
// check of the extraction, writing nothing.
std::vector<std::string> archivePaths(const std::string& archive);

// Reads the whole driver archive at `archive` (a host path) with every check of the extraction
// and every CRC, writing nothing: whatever the reason, a refused archive is a damaged one (321).
// A file that cannot be opened fails with its own number.
void checkArchive(const std::string& archive);

// The reader run as a long work: the form's window stays served, and a long extraction shows
// its progress over it. Without a destination the archive is only checked (zip::check).
inline zip::ExtractStats runAsLongWork(zip::ArchiveSource& archive, zip::Destination* destination,
                                       Content content) {
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
    if (destination != nullptr)
      stats = zip::extract(archive, *destination, decodeOem, options);
    else
      zip::check(archive, decodeOem, options);
  });
  return stats;
}

// The reader's side of both hosts, in zip_extract.cpp.

// What an archive holds as the shell's zip folder shows it, where the program's reader stands in
// for the shell: the items of `folder` inside the archive ("" for its top level, else "name/"),
// each name once (letter case ignored, as on Windows). CopyHere extracts them with extractArchive.
class ArchiveItems : public FolderItems {
 public:
  ArchiveItems(std::string archive, std::string folder)
      : archive(std::move(archive)), folder(std::move(folder)) {}
  int Count() override { return static_cast<int>(names().size()); }
  std::unique_ptr<FolderItem> Item(int index) override;

  const std::string archive;  // host path
  const std::string folder;

 private:
  // The items' names, a folder's with a closing "/", read from the archive once.
  const std::vector<std::string>& names();
  std::optional<std::vector<std::string>> names_;
};

// The paths of an archive's entries, as archivePaths gives them.
std::vector<std::string> listPaths(zip::ArchiveSource& archive);

// Writes only what lies in `folder` ("name/", or "" for everything), at the top of `inner`.
class FolderDestination : public zip::Destination {
 public:
  FolderDestination(zip::Destination& inner, std::string folder)
      : inner_(inner), folder_(std::move(folder)) {}
  void makeFolder(const std::string& path) override;
  std::unique_ptr<zip::OutputFile> create(const std::string& path, bool executable) override;
  uint64_t freeSpace() override { return inner_.freeSpace(); }

 private:
  // The path below the folder; nothing for a path outside it or the folder itself.
  std::optional<std::string> inside(const std::string& path) const;

  zip::Destination& inner_;
  std::string folder_;
};
// checkArchive on an archive that each host opens its own way.
inline void checkDriverArchive(zip::ArchiveSource& archive) {
  zip::DriverArchive driver;
  try {
    zip::check(archive, decodeOem, {.rule = &driver});
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
