// Reading the zip records: the end record and its zip64 form, central file headers with their
// zip64 and Unicode Path extra fields, and local headers.
#include "zip/zip_format.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace tk::zip {
namespace {

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kZip64EndSignature = 0x06064b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kZip64EndSize = 56;
constexpr std::size_t kLocatorSize = 20;
constexpr std::size_t kCentralSize = 46;
constexpr std::size_t kMaxComment = 0xFFFF;
constexpr std::size_t kDirectoryBuffer = 64 * 1024;

// The position of the end record within `tail` (the archive's last bytes), or npos.
std::size_t findEndRecord(const std::vector<unsigned char>& tail) {
  if (tail.size() < kEndSize)
    return std::string::npos;
  for (std::size_t at = tail.size() - kEndSize + 1; at-- > 0;) {
    if (le32(&tail[at]) == kEndSignature && at + kEndSize + le16(&tail[at + 20]) <= tail.size())
      return at;
  }
  return std::string::npos;
}

// The zip64 end record named by the locator just before the end record at `endAt`, if any.
bool readZip64(ArchiveSource& archive, uint64_t endAt, Directory& directory, uint64_t& limit) {
  if (endAt < kLocatorSize)
    return false;
  unsigned char locator[kLocatorSize];
  archive.readAt(endAt - kLocatorSize, locator, kLocatorSize);
  if (le32(locator) != kZip64LocatorSignature)
    return false;
  if (le32(locator + 4) != 0 || le32(locator + 16) > 1)
    throw splitArchive();
  uint64_t recordAt = le64(locator + 8);
  if (recordAt > endAt - kLocatorSize || endAt - kLocatorSize - recordAt < kZip64EndSize)
    throw corrupt("zip64 arşiv sonu kaydının yeri geçersiz");
  unsigned char record[kZip64EndSize];
  archive.readAt(recordAt, record, kZip64EndSize);
  if (le32(record) != kZip64EndSignature)
    throw corrupt("zip64 arşiv sonu kaydı bulunamadı");
  if (le32(record + 16) != 0 || le32(record + 20) != 0 || le64(record + 24) != le64(record + 32))
    throw splitArchive();
  directory = {le64(record + 32), le64(record + 48), le64(record + 40)};
  limit = recordAt;
  return true;
}

}  // namespace

PlatformError corrupt(const std::string& detail) {
  return PlatformError(err::kInvalidFileFormat, "Zip arşivi bozuk veya eksik: " + detail);
}

PlatformError splitArchive() {
  return PlatformError(err::kInvalidFileFormat,
                       "Birden çok parçaya bölünmüş zip arşivleri desteklenmiyor");
}

Directory readDirectory(ArchiveSource& archive) {
  uint64_t size = archive.size();
  if (size < kEndSize)
    throw corrupt("arşiv sonu kaydı bulunamadı (dosya bir zip arşivi değil ya da yarım kalmış)");
  std::size_t tailSize = static_cast<std::size_t>(std::min<uint64_t>(size, kEndSize + kMaxComment));
  std::vector<unsigned char> tail(tailSize);
  archive.readAt(size - tailSize, tail.data(), tailSize);
  std::size_t found = findEndRecord(tail);
  if (found == std::string::npos)
    throw corrupt("arşiv sonu kaydı bulunamadı (dosya bir zip arşivi değil ya da yarım kalmış)");
  const unsigned char* end = &tail[found];
  uint64_t endAt = size - tailSize + found;
  Directory directory{le16(end + 10), le32(end + 16), le32(end + 12)};
  uint64_t limit = endAt;
  if (!readZip64(archive, endAt, directory, limit)) {
    if (le16(end + 4) != 0 || le16(end + 6) != 0 || le16(end + 8) != le16(end + 10))
      throw splitArchive();
    if (directory.offset == 0xFFFFFFFF || directory.size == 0xFFFFFFFF)
      throw corrupt("zip64 arşiv sonu kaydı eksik");
  }
  if (directory.offset > limit || directory.size > limit - directory.offset)
    throw corrupt("merkezi dizin arşivin dışında");
  if (directory.entries > directory.size / kCentralSize)
    throw corrupt("merkezi dizindeki girdi sayısı tutarsız");
  return directory;
}

CentralDirectoryReader::CentralDirectoryReader(ArchiveSource& archive, const Directory& directory)
    : archive_(archive),
      position_(directory.offset),
      end_(directory.offset + directory.size),
      buffer_(kDirectoryBuffer) {}

void CentralDirectoryReader::read(unsigned char* out, std::size_t length) {
  while (length > 0) {
    if (at_ == filled_) {
      if (position_ == end_)
        throw corrupt("merkezi dizin erken bitiyor");
      filled_ = static_cast<std::size_t>(std::min<uint64_t>(buffer_.size(), end_ - position_));
      archive_.readAt(position_, buffer_.data(), filled_);
      position_ += filled_;
      at_ = 0;
    }
    std::size_t part = std::min(length, filled_ - at_);
    if (out != nullptr) {
      std::memcpy(out, &buffer_[at_], part);
      out += part;
    }
    at_ += part;
    length -= part;
  }
}

void CentralDirectoryReader::skip(std::size_t length) {
  read(nullptr, length);
}

void CentralDirectoryReader::next(CentralEntry& entry) {
  unsigned char fixed[kCentralSize];
  read(fixed, kCentralSize);
  if (le32(fixed) != kCentralSignature)
    throw corrupt("merkezi dizin kaydı bozuk");
  entry.madeBy = le16(fixed + 4);
  entry.flags = le16(fixed + 8);
  entry.method = le16(fixed + 10);
  entry.crc = le32(fixed + 16);
  entry.compressedSize = le32(fixed + 20);
  entry.size = le32(fixed + 24);
  entry.diskStart = le16(fixed + 34);
  entry.externalAttributes = le32(fixed + 38);
  entry.localOffset = le32(fixed + 42);
  entry.rawName.resize(le16(fixed + 28));
  read(reinterpret_cast<unsigned char*>(entry.rawName.data()), entry.rawName.size());
  std::string extra(le16(fixed + 30), '\0');
  read(reinterpret_cast<unsigned char*>(extra.data()), extra.size());
  skip(le16(fixed + 32));
  parseExtra(extra, entry);
}

// The zip64 field holds, in this order, only the values that the fixed header saturated.
void CentralDirectoryReader::parseExtra(const std::string& extra, CentralEntry& entry) {
  entry.unicodeName.clear();
  bool zip64Needed = entry.size == 0xFFFFFFFF || entry.compressedSize == 0xFFFFFFFF ||
                     entry.localOffset == 0xFFFFFFFF || entry.diskStart == 0xFFFF;
  const auto* data = reinterpret_cast<const unsigned char*>(extra.data());
  for (std::size_t at = 0; at + 4 <= extra.size();) {
    uint16_t id = le16(data + at);
    std::size_t length = std::min<std::size_t>(le16(data + at + 2), extra.size() - at - 4);
    const unsigned char* field = data + at + 4;
    if (id == 0x0001 && zip64Needed) {
      std::size_t used = 0;
      auto take = [&](uint64_t& value, uint32_t saturated, std::size_t width) {
        if (value != saturated)
          return;
        if (used + width > length)
          throw corrupt("zip64 ek alanı kısa");
        value = width == 8 ? le64(field + used) : le32(field + used);
        used += width;
      };
      uint64_t disk = entry.diskStart;
      take(entry.size, 0xFFFFFFFF, 8);
      take(entry.compressedSize, 0xFFFFFFFF, 8);
      take(entry.localOffset, 0xFFFFFFFF, 8);
      take(disk, 0xFFFF, 4);
      entry.diskStart = static_cast<uint32_t>(disk);
      zip64Needed = false;
    } else if (id == 0x7075 && length > 5 && field[0] == 1 &&
               le32(field + 1) == crc32(0, reinterpret_cast<const Bytef*>(entry.rawName.data()),
                                        static_cast<uInt>(entry.rawName.size()))) {
      entry.unicodeName.assign(reinterpret_cast<const char*>(field + 5), length - 5);
    }
    at += 4 + length;
  }
  if (zip64Needed)
    throw corrupt("zip64 ek alanı eksik");
}

uint64_t dataOffset(const unsigned char* localHeader, const CentralEntry& entry,
                    const std::string& shownName) {
  if (le32(localHeader) != kLocalSignature)
    throw corrupt("'" + shownName + "' girdisinin yerel başlığı bulunamadı");
  return entry.localOffset + kLocalHeaderSize + le16(localHeader + 26) + le16(localHeader + 28);
}

}  // namespace tk::zip
