// The program's own zip reader, used by both platforms: it reads the archive and writes into the
// destination only through the small interfaces below, which each platform implements.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tk::zip {

// The archive, read at offsets.
class ArchiveSource {
 public:
  virtual ~ArchiveSource() = default;
  virtual uint64_t size() = 0;
  // Reads exactly `length` bytes at `offset`; a host failure throws PlatformError.
  virtual void readAt(uint64_t offset, unsigned char* buffer, std::size_t length) = 0;
};

// A file being written under a temporary name beside its final one. Dropped without a commit,
// it is removed.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  virtual void write(const unsigned char* data, std::size_t length) = 0;
  // Closes the file and moves it over its final name, replacing a file of that name; a late
  // failure (a full disk) throws here.
  virtual void commit() = 0;
};

// The folder that entries are extracted into. Paths are relative to it, their parts joined by
// "/", already checked: no "..", no absolute names, no drive letters, no Windows-invalid names.
class Destination {
 public:
  virtual ~Destination() = default;
  // Creates a folder whose parent exists; an existing folder is fine.
  virtual void makeFolder(const std::string& path) = 0;
  // Creates a new, uniquely named file beside `path`, opened for writing, that its commit moves
  // over `path`.
  virtual std::unique_ptr<OutputFile> create(const std::string& path, bool executable) = 0;
  // Bytes still free on the folder's volume: an archive that needs more is refused up front.
  virtual uint64_t freeSpace() = 0;
  // Removes what an earlier extraction, ended in its middle, left in the folder `path` ("" for
  // the destination itself) beside the files `names` (bare names) that this one writes there.
  // Called once per folder, before anything is written; a folder that is not there is fine.
  virtual void removeLeftovers(const std::string& path, const std::vector<std::string>& names) {
    (void)path, (void)names;  // nothing is ever left in a destination that writes nothing
  }
};

// Turns a name stored in the OEM code page (no UTF-8 flag) into UTF-8.
using OemDecoder = std::string (*)(std::string_view);

// What an extraction did, for the benchmark.
struct ExtractStats {
  uint64_t files = 0;
  uint64_t folders = 0;
  uint64_t bytes = 0;
};

// Limits far above any driver archive, so that a few kilobytes can never fill a disk: the
// entries' sizes added up, and the number of entries.
inline constexpr uint64_t kMaxTotalSize = uint64_t{1} << 30;
inline constexpr uint64_t kMaxEntries = 65535;

// Told how far an extraction has come, so that a host can keep its window alive and show it.
class ExtractObserver {
 public:
  virtual ~ExtractObserver() = default;
  // The bytes that the entries hold, once every entry has been checked.
  virtual void started(uint64_t totalBytes) = 0;
  // Bytes written since the last call; 0 after an entry that wrote none.
  virtual void written(uint64_t bytes) = 0;
};

// Extracts every entry of the archive into the destination. Before anything is written, every
// entry is checked, and what an earlier extraction left beside the entries' files is removed: an
// unsafe or invalid name (52), an encrypted entry (70), an unknown compression method or a split
// archive, entries that share data, a name given twice or for a file and a folder, more entries or
// bytes than the limits above (321), more bytes than the destination has free (61) refuse the whole
// archive. Each file is written under a temporary name and renamed into place only once its size
// and CRC-32 are right, so a corrupt or truncated archive leaves no half-written file behind.
// Failures throw PlatformError.
ExtractStats extract(ArchiveSource& archive, Destination& destination, OemDecoder decodeOem,
                     ExtractObserver* observer = nullptr);

// Reads the whole archive as extract does, with the same checks and every CRC, and writes
// nothing: whether the program accepts it as a whole. Whatever the reason, a refused archive is
// a damaged one: 321, with the reason in the description.
void check(ArchiveSource& archive, OemDecoder decodeOem);

}  // namespace tk::zip
