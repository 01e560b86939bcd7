// The version resource of a PE image: the headers, the section that holds the resources, the
// three levels of the resource tree (type, name, language) and the fixed file information.
#include "platform/pe_version.h"

#include <cstring>
#include <vector>

#include "platform/little_endian.h"

namespace tk::host {
namespace {

constexpr uint32_t kVersionType = 16;  // RT_VERSION
constexpr uint32_t kSubdirectory = 0x80000000u;
constexpr uint32_t kFixedSignature = 0xFEEF04BDu;
constexpr uint16_t kMaxSections = 96;             // what the loader accepts
constexpr uint32_t kMaxEntriesLooked = 4096;      // per resource folder
constexpr std::size_t kOptionalHeaderRead = 240;  // PE32+ with all sixteen data folders

struct Section {
  uint32_t address, rawSize, rawOffset;
};

class Image {
 public:
  explicit Image(const ReadAt& read) : read_(read) {}
  // Finds the resource folder; false when the file is no PE image or has none.
  bool open();
  // The bytes at an address of the loaded image, where a section's raw data holds all of them.
  bool readAddress(uint64_t address, unsigned char* buffer, std::size_t length) const;
  // The entry of a resource folder (an offset in the resources) that `wanted` accepts: its
  // offset to what it points at, a subfolder or not as `folder` says.
  bool entry(uint32_t at, bool folder, uint32_t wanted, uint32_t& target) const;
  uint32_t resources() const { return resources_; }

 private:
  const ReadAt& read_;
  std::vector<Section> sections_;
  uint32_t resources_ = 0;
};

bool Image::open() {
  unsigned char dos[64], header[24], optional[kOptionalHeaderRead]{};
  if (!read_(0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z')
    return false;
  uint64_t pe = le32(dos + 0x3C);
  if (!read_(pe, header, sizeof header) || std::memcmp(header, "PE\0\0", 4) != 0)
    return false;
  uint16_t count = le16(header + 6), optionalSize = le16(header + 20);
  if (count > kMaxSections ||
      !read_(pe + 24, optional, std::min<std::size_t>(optionalSize, sizeof optional)))
    return false;
  uint16_t magic = le16(optional);
  std::size_t folders = magic == 0x10B ? 96 : magic == 0x20B ? 112 : 0;
  if (folders == 0 || folders + 24 > optionalSize || le32(optional + folders - 4) < 3)
    return false;
  resources_ = le32(optional + folders + 16);
  std::vector<unsigned char> table(std::size_t{count} * 40);
  if (resources_ == 0 || !read_(pe + 24 + optionalSize, table.data(), table.size()))
    return false;
  for (std::size_t k = 0; k < count; ++k) {
    const unsigned char* row = table.data() + k * 40;
    sections_.push_back({le32(row + 12), le32(row + 16), le32(row + 20)});
  }
  return true;
}

bool Image::readAddress(uint64_t address, unsigned char* buffer, std::size_t length) const {
  for (const Section& section : sections_) {
    if (address >= section.address &&
        address + length <= uint64_t{section.address} + section.rawSize)
      return read_(section.rawOffset + (address - section.address), buffer, length);
  }
  return false;
}

bool Image::entry(uint32_t at, bool folder, uint32_t wanted, uint32_t& target) const {
  unsigned char header[16], row[8];
  if (!readAddress(uint64_t{resources_} + at, header, sizeof header))
    return false;
  uint32_t entries = std::min<uint32_t>(le16(header + 12) + le16(header + 14), kMaxEntriesLooked);
  for (uint32_t k = 0; k < entries; ++k) {
    if (!readAddress(uint64_t{resources_} + at + 16 + k * 8, row, sizeof row))
      return false;
    uint32_t name = le32(row), offset = le32(row + 4);
    bool matches = wanted == 0 || name == wanted;  // 0: any entry
    if (matches && ((offset & kSubdirectory) != 0) == folder) {
      target = offset & ~kSubdirectory;
      return true;
    }
  }
  return false;
}

}  // namespace

std::optional<FileVersionNumber> peFileVersion(const ReadAt& read) {
  Image image(read);
  uint32_t names = 0, languages = 0, leaf = 0;
  if (!image.open() || !image.entry(0, true, kVersionType, names) ||
      !image.entry(names, true, 0, languages) || !image.entry(languages, false, 0, leaf)) {
    return std::nullopt;
  }
  unsigned char data[8], block[92];
  if (!image.readAddress(uint64_t{image.resources()} + leaf, data, sizeof data) ||
      le32(data + 4) < sizeof block || !image.readAddress(le32(data), block, sizeof block)) {
    return std::nullopt;
  }
  // VS_VERSIONINFO: its lengths, its key in UTF-16, then the fixed information on a 4-byte
  // boundary, which falls at 40.
  static constexpr char kKey[] = "VS_VERSION_INFO";
  for (std::size_t k = 0; k < sizeof kKey; ++k) {
    if (le16(block + 6 + 2 * k) != static_cast<unsigned char>(kKey[k]))
      return std::nullopt;
  }
  const unsigned char* fixed = block + 40;
  if (le16(block + 2) < 52 || le32(fixed) != kFixedSignature)
    return std::nullopt;
  return (FileVersionNumber{le32(fixed + 8)} << 32) | le32(fixed + 12);
}

}  // namespace tk::host
