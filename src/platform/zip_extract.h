// The program's zip reader on the host's files: what the shell's folder objects extract with
// where the shell itself gives no folder for an archive (Windows without a zip-folder handler)
// and always on the substitute.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "platform/code_pages.h"
#include "platform/progress.h"
#include "platform/temp_file.h"
#include "platform/text.h"
#include "procedures/zip_reader.h"

namespace tk::host {

// Extracts the archive at `archive` into the existing folder `destination` (host paths, UTF-8).
// Names are matched ignoring case against what already lies there, as on Windows, so a file is
// replaced rather than doubled. Failures throw PlatformError.
zip::ExtractStats extractArchive(const std::string& archive, const std::string& destination);

// Reads the whole archive at `archive` (a host path) with every check of the extraction and
// every CRC, writing nothing (zip::check): a refused archive is 321. A file that cannot be
// opened fails with its own number.
void checkArchive(const std::string& archive);

// The reader run as a long work: the form's window stays served, and a long extraction shows
// its progress over it. Each host's extractArchive hands it its own archive and destination.
inline zip::ExtractStats extractAsLongWork(zip::ArchiveSource& archive,
                                           zip::Destination& destination) {
  struct Observer : zip::ExtractObserver {
    LongWork work{WorkKind::Extraction};
    void started(uint64_t totalBytes) override { work.setTotal(totalBytes); }
    void written(uint64_t bytes) override { work.advance(bytes); }
  } observer;
  zip::ExtractStats stats;
  observer.work.run([&] { stats = zip::extract(archive, destination, decodeOem, &observer); });
  return stats;
}

// Removes from `folder` (a host path) the temporary files that an extraction ended in its middle
// left for the files `names`, matched ignoring case as the hosts match names.
inline void removeExtractionLeftovers(const std::string& folder,
                                      const std::vector<std::string>& names) {
  std::unordered_set<std::string> folded;
  for (const std::string& name : names)
    folded.insert(foldCase(name));
  TempFile::removeLeftovers(
      folder, [&folded](std::string_view found) { return folded.count(foldCase(found)) > 0; });
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
