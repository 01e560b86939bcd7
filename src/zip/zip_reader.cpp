// Extraction: a first pass over the central directory checks every entry before anything is
// written; a second pass writes each file under a temporary name, streaming it through a fixed
// window of the archive and zlib, and renames it into place once its size and CRC are right.
#include "zip/zip_reader.h"

#include <zlib.h>

#include <algorithm>
#include <map>
#include <unordered_set>
#include <vector>

#include "platform/error.h"
#include "platform/text.h"
#include "zip/zip_format.h"
#include "zip/zip_names.h"

namespace tk::zip {
namespace {

constexpr std::size_t kWindowSize = 512 * 1024;
constexpr std::size_t kOutputSize = 256 * 1024;

// A fixed window over the archive: small records and small files are served from one read.
class Window {
 public:
  explicit Window(ArchiveSource& archive)
      : archive_(archive), size_(archive.size()), data_(kWindowSize) {}
  // `length` (at most the window size) bytes at `offset`, valid until the next call.
  const unsigned char* at(uint64_t offset, std::size_t length) {
    if (offset < start_ || offset - start_ > filled_ || length > filled_ - (offset - start_)) {
      if (offset > size_ || length > size_ - offset)
        throw corrupt("arşiv erken bitiyor");
      filled_ = static_cast<std::size_t>(std::min<uint64_t>(data_.size(), size_ - offset));
      archive_.readAt(offset, data_.data(), filled_);
      start_ = offset;
    }
    return data_.data() + (offset - start_);
  }

 private:
  ArchiveSource& archive_;
  uint64_t size_;
  std::vector<unsigned char> data_;
  uint64_t start_ = 0;
  std::size_t filled_ = 0;
};

struct Inflater {
  z_stream stream{};
  Inflater() {
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
      throw makeError(err::kOutOfMemory);
  }
  ~Inflater() { inflateEnd(&stream); }
};

PlatformError badData(const std::string& path) {
  return corrupt("'" + path + "' dosyasının verisi bozuk");
}

class Extractor {
 public:
  Extractor(ArchiveSource& archive, Destination& destination, uint64_t dataEnd,
            ExtractObserver* observer)
      : window_(archive),
        destination_(destination),
        dataEnd_(dataEnd),
        output_(kOutputSize),
        observer_(observer) {}

  void extractEntry(const CentralEntry& entry, const EntryPath& target);
  ExtractStats stats;

 private:
  void makeParents(const std::string& path);
  void wrote(std::size_t bytes) {
    if (observer_ != nullptr)
      observer_->written(bytes);
  }
  uint32_t copyStored(uint64_t at, const CentralEntry& entry, const std::string& path,
                      OutputFile& file);
  uint32_t inflateData(uint64_t at, const CentralEntry& entry, const std::string& path,
                       OutputFile& file);

  Window window_;
  Destination& destination_;
  uint64_t dataEnd_;
  std::vector<unsigned char> output_;
  std::unordered_set<std::string> made_;  // every folder made so far, each asked for once
  ExtractObserver* observer_;
};

// Every folder on the way to `path` that is not made yet, from the top down.
void Extractor::makeParents(const std::string& path) {
  std::size_t cut = path.rfind('/');
  if (cut == std::string::npos || made_.count(path.substr(0, cut)) > 0)
    return;
  for (std::size_t at = path.find('/'); at <= cut; at = path.find('/', at + 1)) {
    if (made_.insert(path.substr(0, at)).second)
      destination_.makeFolder(path.substr(0, at));
  }
}

void Extractor::extractEntry(const CentralEntry& entry, const EntryPath& target) {
  if (target.path.empty())
    return;
  makeParents(target.path);
  if (target.folder) {
    if (made_.insert(target.path).second)
      destination_.makeFolder(target.path);
    ++stats.folders;
    return;
  }
  uint64_t at = dataOffset(window_.at(entry.localOffset, kLocalHeaderSize), entry, target.path);
  if (at > dataEnd_ || entry.compressedSize > dataEnd_ - at)
    throw badData(target.path);
  bool executable = (entry.madeBy >> 8) == 3 && (entry.externalAttributes >> 16 & 0111) != 0;
  std::unique_ptr<OutputFile> file = destination_.create(target.path, executable);
  uint32_t crc = entry.method == kMethodStored ? copyStored(at, entry, target.path, *file)
                                               : inflateData(at, entry, target.path, *file);
  if (crc != entry.crc)
    throw corrupt("'" + target.path + "' dosyasının CRC denetimi tutmadı");
  file->commit();
  ++stats.files;
  stats.bytes += entry.size;
}

uint32_t Extractor::copyStored(uint64_t at, const CentralEntry& entry, const std::string& path,
                               OutputFile& file) {
  if (entry.compressedSize != entry.size)
    throw badData(path);
  uLong crc = crc32(0, nullptr, 0);
  for (uint64_t left = entry.size; left > 0;) {
    auto part = static_cast<std::size_t>(std::min<uint64_t>(left, kWindowSize));
    const unsigned char* data = window_.at(at, part);
    crc = crc32(crc, data, static_cast<uInt>(part));
    file.write(data, part);
    wrote(part);
    at += part;
    left -= part;
  }
  return static_cast<uint32_t>(crc);
}

uint32_t Extractor::inflateData(uint64_t at, const CentralEntry& entry, const std::string& path,
                                OutputFile& file) {
  Inflater inflater;
  z_stream& z = inflater.stream;
  uLong crc = crc32(0, nullptr, 0);
  uint64_t left = entry.compressedSize;
  uint64_t produced = 0;
  for (int result = Z_OK; result != Z_STREAM_END;) {
    if (z.avail_in == 0) {
      if (left == 0)
        throw badData(path);  // the stream needs more than the entry holds
      auto part = static_cast<std::size_t>(std::min<uint64_t>(left, kWindowSize));
      z.next_in = const_cast<Bytef*>(window_.at(at, part));
      z.avail_in = static_cast<uInt>(part);
      at += part;
      left -= part;
    }
    z.next_out = output_.data();
    z.avail_out = static_cast<uInt>(output_.size());
    result = inflate(&z, Z_NO_FLUSH);
    if (result == Z_MEM_ERROR)
      throw makeError(err::kOutOfMemory);
    if (result != Z_OK && result != Z_STREAM_END && !(result == Z_BUF_ERROR && z.avail_in == 0))
      throw badData(path);
    std::size_t got = output_.size() - z.avail_out;
    produced += got;
    if (produced > entry.size)
      throw badData(path);  // more than the directory announced: stop before filling the disk
    crc = crc32(crc, output_.data(), static_cast<uInt>(got));
    file.write(output_.data(), got);
    wrote(got);
  }
  if (produced != entry.size)
    throw badData(path);
  return static_cast<uint32_t>(crc);
}

// The checks of one entry on its own: encryption, the disk, the method, and its local header
// against its central record.
Span checkEntry(ArchiveSource& archive, const Directory& directory, const CentralEntry& entry,
                const EntryPath& target) {
  if ((entry.flags & (kFlagEncrypted | kFlagStrongEncryption)) != 0) {
    throw PlatformError(err::kPermissionDenied,
                        "Arşivdeki '" + target.path +
                            "' dosyası parolayla şifrelenmiş; şifreli zip arşivleri açılamaz");
  }
  if (entry.diskStart != 0)
    throw splitArchive();
  if (!target.folder && entry.method != kMethodStored && entry.method != kMethodDeflated) {
    throw PlatformError(err::kInvalidFileFormat,
                        "Arşivdeki '" + target.path +
                            "' dosyası desteklenmeyen bir yöntemle sıkıştırılmış (yöntem " +
                            std::to_string(entry.method) + ")");
  }
  return checkLocalHeader(archive, entry, directory.offset, target.path);
}

// The entry's name as the reader extracts it, and as a reader that ignores the Unicode Path
// field would: that one must be safe as well, and the content rule sees both.
EntryPath checkName(const CentralEntry& entry, OemDecoder decodeOem, ContentRule* rule) {
  EntryPath target = safePath(decodeName(entry, decodeOem));
  if (rule != nullptr)
    rule->add(target);
  if ((entry.flags & kFlagUtf8) == 0 && !entry.unicodeName.empty()) {
    EntryPath plain = safePath(plainName(entry, decodeOem));
    if (rule != nullptr && !equalsIgnoringCase(plain.path, target.path))
      rule->add(plain);
  }
  return target;
}

// The first pass: the whole archive is refused before anything is written. Besides each entry's
// own checks, the limits that keep a small archive from filling the disk: no two entries share
// data, the sizes add up to at most kMaxTotalSize, and no entry replaces another. Gives the sum
// of the sizes.
uint64_t checkEntries(ArchiveSource& archive, const Directory& directory, OemDecoder decodeOem,
                      ContentRule* rule) {
  if (directory.entries > kMaxEntries)
    throw corrupt("arşivde " + std::to_string(directory.entries) + " girdi var, en çok " +
                  std::to_string(kMaxEntries) + " girdi açılır");
  CentralDirectoryReader reader(archive, directory);
  CentralEntry entry;
  NameCollisions names;
  std::vector<Span> spans;
  spans.reserve(static_cast<std::size_t>(directory.entries));
  uint64_t total = 0;
  for (uint64_t n = 0; n < directory.entries; ++n) {
    reader.next(entry);
    EntryPath target = checkName(entry, decodeOem, rule);
    spans.push_back(checkEntry(archive, directory, entry, target));
    names.add(target);
    if (entry.size > kMaxTotalSize - total)
      throw corrupt("açılmış boyutu " + std::to_string(kMaxTotalSize >> 20) + " MB'ı aşıyor");
    total += entry.size;
  }
  reader.finish();
  names.finish();
  std::sort(spans.begin(), spans.end());
  for (std::size_t k = 1; k < spans.size(); ++k) {
    if (spans[k].start < spans[k - 1].end)
      throw corrupt("iki girdi aynı veriyi paylaşıyor");
  }
  if (rule != nullptr)
    rule->finish();
  return total;
}

// Each folder's file names, keyed by the folder's path ("" for the destination itself).
using FilesByFolder = std::map<std::string, std::vector<std::string>>;

// The last pass before anything is written: every entry must fit the destination as it will be
// written there (a refusal is 52), and each folder's files are gathered for the sweep.
FilesByFolder planEntries(ArchiveSource& archive, const Directory& directory, OemDecoder decodeOem,
                          Destination& destination) {
  FilesByFolder filesByFolder;
  CentralDirectoryReader reader(archive, directory);
  CentralEntry entry;
  for (uint64_t n = 0; n < directory.entries; ++n) {
    reader.next(entry);
    EntryPath target = safePath(decodeName(entry, decodeOem));
    if (!target.path.empty() && !destination.fits(target.path, target.folder)) {
      throw PlatformError(err::kBadFileName, "Arşivdeki '" + target.path +
                                                 "' hedef klasörde yazılamayacak kadar uzun");
    }
    if (target.folder)
      continue;
    std::size_t cut = target.path.rfind('/');
    std::string folder = cut == std::string::npos ? "" : target.path.substr(0, cut);
    filesByFolder[folder].push_back(target.path.substr(cut + 1));
  }
  return filesByFolder;
}

// Whether `folder` was there, asking the destination (which sweeps it) once per folder, after
// its parent: nothing was ever left inside a folder that was not there, so on a fresh
// destination the sweep ends at the first missing folder. Each folder is handed its file names
// at once, so that it is looked through once whatever the number of entries.
bool sweep(const std::string& folder, const FilesByFolder& files, Destination& destination,
           std::unordered_set<std::string>& asked, std::unordered_set<std::string>& missing) {
  if (!asked.insert(folder).second)
    return missing.count(folder) == 0;
  std::size_t cut = folder.rfind('/');
  bool parent = folder.empty() || sweep(cut == std::string::npos ? "" : folder.substr(0, cut),
                                        files, destination, asked, missing);
  auto found = files.find(folder);
  if (parent && destination.removeLeftovers(
                    folder, found != files.end() ? found->second : std::vector<std::string>()))
    return true;
  missing.insert(folder);
  return false;
}

void removeLeftovers(const FilesByFolder& filesByFolder, Destination& destination) {
  std::unordered_set<std::string> asked, missing;
  for (const auto& [folder, names] : filesByFolder)
    sweep(folder, filesByFolder, destination, asked, missing);
}

// What check extracts into: nothing is made and nothing is written.
class NoOutput : public OutputFile {
 public:
  void write(const unsigned char*, std::size_t) override {}
  void commit() override {}
};

class NoDestination : public Destination {
 public:
  explicit NoDestination(Destination* measured) : measured_(measured) {}
  void makeFolder(const std::string&) override {}
  std::unique_ptr<OutputFile> create(const std::string&, bool) override {
    return std::make_unique<NoOutput>();
  }
  uint64_t freeSpace() override { return UINT64_MAX; }
  bool fits(const std::string& path, bool folder) override {
    return measured_ == nullptr || measured_->fits(path, folder);
  }

 private:
  Destination* measured_;
};

}  // namespace

ExtractStats extract(ArchiveSource& archive, Destination& destination, OemDecoder decodeOem,
                     const Options& options) {
  Directory directory = readDirectory(archive);
  uint64_t total = checkEntries(archive, directory, decodeOem, options.rule);
  FilesByFolder filesByFolder = planEntries(archive, directory, decodeOem, destination);
  if (total > destination.freeSpace()) {
    throw PlatformError(err::kDiskFull, "Zip arşivinin açılmış boyutu (" +
                                            std::to_string(total >> 20) +
                                            " MB) hedef diskteki boş yerden büyük");
  }
  removeLeftovers(filesByFolder, destination);
  ExtractObserver* observer = options.observer;
  if (observer != nullptr)
    observer->started(total);
  Extractor extractor(archive, destination, directory.offset, observer);
  CentralDirectoryReader reader(archive, directory);
  CentralEntry entry;
  for (uint64_t n = 0; n < directory.entries; ++n) {
    reader.next(entry);
    extractor.extractEntry(entry, safePath(decodeName(entry, decodeOem)));
    if (observer != nullptr)
      observer->written(0);  // folders and empty files take time too
  }
  return extractor.stats;
}

void check(ArchiveSource& archive, OemDecoder decodeOem, const Options& options,
           Destination* measured) {
  NoDestination nowhere(measured);
  extract(archive, nowhere, decodeOem, options);
}

}  // namespace tk::zip
