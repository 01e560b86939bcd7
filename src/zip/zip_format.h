// The zip archive's records: the end of the central directory (zip64 as well), the central
// directory's file headers, their extra fields and the local headers, read through an
// ArchiveSource. Every record is checked against the others it must agree with.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"
#include "platform/little_endian.h"
#include "zip/zip_reader.h"

namespace tk::zip {

inline constexpr uint16_t kFlagEncrypted = 0x0001;
inline constexpr uint16_t kFlagDescriptor = 0x0008;  // CRC and sizes follow the data
inline constexpr uint16_t kFlagStrongEncryption = 0x0040;
inline constexpr uint16_t kFlagUtf8 = 0x0800;
inline constexpr uint16_t kFlagMaskedHeader = 0x2000;
inline constexpr uint16_t kMethodStored = 0;
inline constexpr uint16_t kMethodDeflated = 8;
inline constexpr std::size_t kLocalHeaderSize = 30;

// Where the central directory lies and how many headers it holds.
struct Directory {
  uint64_t entries = 0;
  uint64_t offset = 0;
  uint64_t size = 0;
};

// One file header of the central directory, with the zip64 values already applied.
struct CentralEntry {
  uint16_t madeBy = 0;  // the high byte is the host system (0 DOS, 3 Unix, ...)
  uint16_t flags = 0;
  uint16_t method = 0;
  uint32_t crc = 0;
  uint64_t compressedSize = 0;
  uint64_t size = 0;
  uint64_t localOffset = 0;
  uint32_t diskStart = 0;
  uint32_t externalAttributes = 0;
  std::string rawName;
  std::string unicodeName;  // the UTF-8 name of an Info-ZIP Unicode Path field that matches
};

// One entry's bytes in the archive, from its local header to the end of its data descriptor.
struct Span {
  uint64_t start;
  uint64_t end;
  bool operator<(const Span& other) const { return start < other.start; }
};

// The failures of a damaged archive: 321 with a Turkish description of what is wrong.
PlatformError corrupt(const std::string& detail);
PlatformError splitArchive();

// Finds the end record (and the zip64 one where it is present) and checks that they agree with
// each other and with what is there: the comment ends the file, and the central directory ends
// where the end records begin. A missing or inconsistent end record (a truncated file, or no
// zip at all) throws; a split archive is refused.
Directory readDirectory(ArchiveSource& archive);

// Reads the central directory's file headers in order, through a buffer of its own.
class CentralDirectoryReader {
 public:
  CentralDirectoryReader(ArchiveSource& archive, const Directory& directory);
  // The next header; throws when the directory ends before its count of headers.
  void next(CentralEntry& entry);
  // Throws when the directory holds more than the end record's count of headers.
  void finish() const;

 private:
  void read(unsigned char* out, std::size_t length);
  void skip(std::size_t length);

  ArchiveSource& archive_;
  uint64_t position_;
  uint64_t end_;
  std::vector<unsigned char> buffer_;
  std::string extra_;
  std::size_t at_ = 0;
  std::size_t filled_ = 0;
};

// The extra fields of one header that carry sizes or names. Every field must lie inside the
// block, and neither of these may appear twice.
struct ExtraFields {
  std::optional<std::string_view> zip64;
  std::optional<std::string_view> unicodePath;
};
ExtraFields findExtraFields(std::string_view block);

// One value of a fixed header that a zip64 field may replace: `width` bytes there when the
// header holds `saturated`.
struct Zip64Slot {
  uint64_t& value;
  uint64_t saturated;
  std::size_t width;
};
// Replaces the saturated values, in order, by those of the zip64 field, which holds only them.
void applyZip64(const std::optional<std::string_view>& field,
                std::initializer_list<Zip64Slot> slots);

// The UTF-8 name of a Unicode Path field that belongs to `rawName`, "" for none.
std::string unicodePath(const std::optional<std::string_view>& field, const std::string& rawName);

// Checks the entry's local header, and its data descriptor when it has one, against the central
// record: the same method, flags, name and Unicode name, CRC and sizes, and data that ends
// before `dataLimit`. Gives the entry's span.
Span checkLocalHeader(ArchiveSource& archive, const CentralEntry& entry, uint64_t dataLimit,
                      const std::string& shownName);

// The offset of an entry's data, given the first kLocalHeaderSize bytes of its local header.
uint64_t dataOffset(const unsigned char* localHeader, const CentralEntry& entry,
                    const std::string& shownName);

inline const unsigned char* bytes(std::string_view text) {
  return reinterpret_cast<const unsigned char*>(text.data());
}

}  // namespace tk::zip
