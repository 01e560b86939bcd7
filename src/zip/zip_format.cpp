// Reading the zip records: the end record and its zip64 form, central file headers with their
// zip64 and Unicode Path extra fields, and the extra fields of any header.
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
constexpr uint16_t kZip64Field = 0x0001;
constexpr uint16_t kUnicodePathField = 0x7075;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kZip64EndSize = 56;
constexpr std::size_t kZip64EndLead = 12;  // signature and size, which the size leaves out
constexpr std::size_t kLocatorSize = 20;
constexpr std::size_t kCentralSize = 46;
constexpr std::size_t kMaxComment = 0xFFFF;
constexpr std::size_t kDirectoryBuffer = 64 * 1024;

PlatformError notZip() {
  return corrupt("arşiv sonu kaydı bulunamadı (dosya bir zip arşivi değil ya da yarım kalmış)");
}

// The position of the last end-record signature within `tail` (the archive's last bytes), or
// npos. The last one: a reader that searches from the end takes it, whatever lies before.
std::size_t findEndRecord(const std::vector<unsigned char>& tail) {
  if (tail.size() < kEndSize)
    return std::string::npos;
  for (std::size_t at = tail.size() - kEndSize + 1; at-- > 0;) {
    if (le32(&tail[at]) == kEndSignature)
      return at;
  }
  return std::string::npos;
}

// Each field of the plain end record either says "in the zip64 record" or holds the same value.
bool agrees(uint64_t plain, uint64_t saturated, uint64_t zip64) {
  return plain == saturated || plain == zip64;
}

// The zip64 end record named by the locator just before the end record at `endAt`, if any. It
// must end where the locator begins, and agree with the plain end record `end`.
bool readZip64(ArchiveSource& archive, const unsigned char* end, uint64_t endAt,
               Directory& directory, uint64_t& limit) {
  if (endAt < kLocatorSize)
    return false;
  unsigned char locator[kLocatorSize];
  uint64_t locatorAt = endAt - kLocatorSize;
  archive.readAt(locatorAt, locator, kLocatorSize);
  if (le32(locator) != kZip64LocatorSignature)
    return false;
  if (le32(locator + 4) != 0 || le32(locator + 16) > 1)
    throw splitArchive();
  uint64_t recordAt = le64(locator + 8);
  if (recordAt > locatorAt || locatorAt - recordAt < kZip64EndSize)
    throw corrupt("zip64 arşiv sonu kaydının yeri geçersiz");
  unsigned char record[kZip64EndSize];
  archive.readAt(recordAt, record, kZip64EndSize);
  if (le32(record) != kZip64EndSignature)
    throw corrupt("zip64 arşiv sonu kaydı bulunamadı");
  if (le64(record + 4) != locatorAt - recordAt - kZip64EndLead)
    throw corrupt("zip64 arşiv sonu kaydı ile yer göstericisi arasında fazladan bayt var");
  if (le32(record + 16) != 0 || le32(record + 20) != 0 || le64(record + 24) != le64(record + 32))
    throw splitArchive();
  directory = {le64(record + 32), le64(record + 48), le64(record + 40)};
  if (!agrees(le16(end + 4), 0xFFFF, 0) || !agrees(le16(end + 6), 0xFFFF, 0) ||
      !agrees(le16(end + 8), 0xFFFF, directory.entries) ||
      !agrees(le16(end + 10), 0xFFFF, directory.entries) ||
      !agrees(le32(end + 12), 0xFFFFFFFF, directory.size) ||
      !agrees(le32(end + 16), 0xFFFFFFFF, directory.offset))
    throw corrupt("zip64 arşiv sonu kaydı arşiv sonu kaydıyla uyuşmuyor");
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
    throw notZip();
  std::size_t tailSize = static_cast<std::size_t>(std::min<uint64_t>(size, kEndSize + kMaxComment));
  std::vector<unsigned char> tail(tailSize);
  archive.readAt(size - tailSize, tail.data(), tailSize);
  std::size_t found = findEndRecord(tail);
  if (found == std::string::npos)
    throw notZip();
  const unsigned char* end = &tail[found];
  if (found + kEndSize + le16(end + 20) != tailSize)
    throw corrupt("arşiv sonu kaydının açıklaması dosyanın sonunda bitmiyor");
  uint64_t endAt = size - tailSize + found;
  Directory directory{le16(end + 10), le32(end + 16), le32(end + 12)};
  uint64_t limit = endAt;
  if (!readZip64(archive, end, endAt, directory, limit)) {
    if (le16(end + 4) != 0 || le16(end + 6) != 0 || le16(end + 8) != le16(end + 10))
      throw splitArchive();
    if (directory.offset == 0xFFFFFFFF || directory.size == 0xFFFFFFFF)
      throw corrupt("zip64 arşiv sonu kaydı eksik");
  }
  if (directory.offset > limit)
    throw corrupt("merkezi dizin arşivin dışında");
  if (directory.size != limit - directory.offset)
    throw corrupt("merkezi dizin arşiv sonu kaydının başladığı yerde bitmiyor");
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

void CentralDirectoryReader::finish() const {
  if (at_ != filled_ || position_ != end_)
    throw corrupt("merkezi dizinde arşiv sonu kaydının saymadığı kayıtlar var");
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
  extra_.resize(le16(fixed + 30));
  read(reinterpret_cast<unsigned char*>(extra_.data()), extra_.size());
  skip(le16(fixed + 32));
  ExtraFields fields = findExtraFields(extra_);
  uint64_t disk = entry.diskStart;
  applyZip64(fields.zip64, {{entry.size, 0xFFFFFFFF, 8},
                            {entry.compressedSize, 0xFFFFFFFF, 8},
                            {entry.localOffset, 0xFFFFFFFF, 8},
                            {disk, 0xFFFF, 4}});
  entry.diskStart = static_cast<uint32_t>(disk);
  entry.unicodeName = unicodePath(fields.unicodePath, entry.rawName);
}

ExtraFields findExtraFields(std::string_view block) {
  ExtraFields fields;
  std::size_t at = 0;
  // A block may end in a few bytes too short for a field (aligning tools pad with them): no
  // reader takes them for one.
  while (block.size() - at >= 4) {
    uint16_t id = le16(bytes(block) + at);
    std::size_t length = le16(bytes(block) + at + 2);
    if (length > block.size() - at - 4)
      throw corrupt("bir ek alan bulunduğu başlığın dışına taşıyor");
    std::optional<std::string_view>* slot = id == kZip64Field         ? &fields.zip64
                                            : id == kUnicodePathField ? &fields.unicodePath
                                                                      : nullptr;
    if (slot != nullptr) {
      if (*slot)
        throw corrupt("bir başlıkta aynı zip64 ya da Unicode ad alanı iki kez var");
      *slot = block.substr(at + 4, length);
    }
    at += 4 + length;
  }
  return fields;
}

void applyZip64(const std::optional<std::string_view>& field,
                std::initializer_list<Zip64Slot> slots) {
  std::size_t used = 0;
  for (const Zip64Slot& slot : slots) {
    if (slot.value != slot.saturated)
      continue;
    if (!field)
      throw corrupt("zip64 ek alanı eksik");
    if (field->size() - used < slot.width)
      throw corrupt("zip64 ek alanı kısa");
    const unsigned char* at = bytes(*field) + used;
    slot.value = slot.width == 8 ? le64(at) : le32(at);
    used += slot.width;
  }
}

std::string unicodePath(const std::optional<std::string_view>& field, const std::string& rawName) {
  if (!field || field->size() <= 5 || (*field)[0] != 1)
    return "";
  uLong crc =
      crc32(0, reinterpret_cast<const Bytef*>(rawName.data()), static_cast<uInt>(rawName.size()));
  return le32(bytes(*field) + 1) == crc ? std::string(field->substr(5)) : "";
}

}  // namespace tk::zip
