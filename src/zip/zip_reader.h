// The zip reader, a library of its own used on both hosts: it reads an archive, and writes into
// a destination only through the small interfaces below, which each host implements.
// Its contract: an archive is extracted only when the whole of it is sound, every record agreeing
// with the others (another reader of the same bytes must not see another archive), every name
// inside the destination, creatable on Windows and the only name of its file, and every entry
// allowed by the content rule when one is given; all of it decided before the first byte is
// written. Failures throw PlatformError.
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
  // Whether an entry fits here as it will be written: its whole path, and a file's temporary
  // name beside it, within what the host's file system takes. Asked of every entry before
  // anything is written.
  virtual bool fits(const std::string& path, bool folder) {
    (void)path, (void)folder;
    return true;
  }
  // Removes what an earlier extraction, ended in its middle, left in the folder `path` ("" for
  // the destination itself) beside the files `names` (bare names) that this one writes there,
  // and gives whether the folder was there. Called at most once per folder before anything is
  // written, parents first, and not for a folder inside one that was not there.
  virtual bool removeLeftovers(const std::string& path, const std::vector<std::string>& names) {
    (void)path, (void)names;  // nothing is ever left in a destination that writes nothing
    return false;
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

// Where an entry lands: relative to the destination, parts joined by "/"; "" for the
// destination itself.
struct EntryPath {
  std::string path;
  bool folder = false;
};

// What an archive may hold beyond the reader's own rules, judged on every entry's path before
// anything is written. A rule keeps what it learns, so each run takes a fresh one.
class ContentRule {
 public:
  virtual ~ContentRule() = default;
  // Throws PlatformError (321) for an entry that the archive may not hold.
  virtual void add(const EntryPath& entry) = 0;
  // Throws when the entries as a whole are not what the archive must hold.
  virtual void finish() = 0;
};

struct Options {
  ContentRule* rule = nullptr;
  ExtractObserver* observer = nullptr;
};

// Extracts every entry of the archive into the destination. Before anything is written, every
// entry is checked: an unsafe or invalid name (52), an encrypted entry (70), an unknown
// compression method or a split archive, records that disagree, entries that share data, two
// names that Windows takes for one file or a file that is also a folder, more entries or bytes
// than the limits above, an entry that the content rule refuses (321), more bytes than the
// destination has free (61), a name that does not fit the destination (52) refuse the whole
// archive. Each folder is made once. Each file is written under a temporary
// name and renamed into place only once its size and CRC-32 are right, so a corrupt or
// truncated archive leaves no half-written file behind. What an earlier extraction, ended in its
// middle, left beside the entries' files is removed first.
ExtractStats extract(ArchiveSource& archive, Destination& destination, OemDecoder decodeOem,
                     const Options& options = {});

// Reads the whole archive as extract does, with the same checks and every CRC, and writes
// nothing: it fails exactly as extract into `measured` (when given; else into any folder)
// would with room enough, with the same number.
void check(ArchiveSource& archive, OemDecoder decodeOem, const Options& options = {},
           Destination* measured = nullptr);

}  // namespace tk::zip
