// The local header and the data descriptor of an entry, checked against its central record: a
// reader that walks the local headers must find the same entry that the central directory names.
#include <algorithm>

#include "zip/zip_format.h"

namespace tk::zip {
namespace {

constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr uint32_t kDescriptorSignature = 0x08074b50;
// The flags that change how an entry is read: encryption, where its CRC and sizes are, how its
// name is encoded, a masked local header.
constexpr uint16_t kFlagsThatMatter =
    kFlagEncrypted | kFlagDescriptor | kFlagStrongEncryption | kFlagUtf8 | kFlagMaskedHeader;

PlatformError disagrees(const std::string& name, const char* what) {
  return corrupt("'" + name + "' girdisinin yerel başlığı merkezi dizinle uyuşmuyor (" + what +
                 ")");
}

PlatformError outsideData(const std::string& name) {
  return corrupt("'" + name + "' dosyasının verisi bozuk");
}

// What the local header says, with its own zip64 field applied.
struct LocalValues {
  uint32_t crc;
  uint64_t compressedSize;
  uint64_t size;
  bool zip64;
};

// The data descriptor after `dataEnd`: with or without its signature, with 4- or 8-byte sizes,
// it must give the central record's CRC and sizes. Gives where it ends.
uint64_t checkDescriptor(ArchiveSource& archive, const CentralEntry& entry, uint64_t dataEnd,
                         uint64_t dataLimit, bool zip64, const std::string& name) {
  unsigned char descriptor[24];
  auto available = static_cast<std::size_t>(std::min<uint64_t>(24, dataLimit - dataEnd));
  archive.readAt(dataEnd, descriptor, available);
  for (bool signature : {true, false}) {
    for (bool wide : {zip64, !zip64}) {
      std::size_t lead = signature ? 4 : 0;
      std::size_t length = lead + (wide ? 20 : 12);
      if (length > available || (signature && le32(descriptor) != kDescriptorSignature))
        continue;
      const unsigned char* at = descriptor + lead;
      uint64_t compressed = wide ? le64(at + 4) : le32(at + 4);
      uint64_t size = wide ? le64(at + 12) : le32(at + 8);
      if (le32(at) == entry.crc && compressed == entry.compressedSize && size == entry.size)
        return dataEnd + length;
    }
  }
  throw corrupt("'" + name + "' girdisinin veri tanımlayıcısı merkezi dizinle uyuşmuyor");
}

// The name, the Unicode name and the values of the local header, whose fixed part is `fixed`.
LocalValues compareNames(const unsigned char* fixed, const std::string& variable,
                         const CentralEntry& entry, const std::string& name) {
  std::size_t nameLength = le16(fixed + 26);
  if (std::string_view(variable).substr(0, nameLength) != entry.rawName)
    throw disagrees(name, "ad");
  ExtraFields fields = findExtraFields(std::string_view(variable).substr(nameLength));
  std::string unicode = unicodePath(fields.unicodePath, entry.rawName);
  if (!unicode.empty() && unicode != entry.unicodeName)
    throw disagrees(name, "Unicode ad");
  LocalValues values{le32(fixed + 14), le32(fixed + 18), le32(fixed + 22),
                     fields.zip64.has_value()};
  applyZip64(fields.zip64, {{values.size, 0xFFFFFFFF, 8}, {values.compressedSize, 0xFFFFFFFF, 8}});
  return values;
}

}  // namespace

Span checkLocalHeader(ArchiveSource& archive, const CentralEntry& entry, uint64_t dataLimit,
                      const std::string& name) {
  if (entry.localOffset > dataLimit || dataLimit - entry.localOffset < kLocalHeaderSize)
    throw corrupt("'" + name + "' girdisinin yeri arşivin dışında");
  unsigned char fixed[kLocalHeaderSize];
  archive.readAt(entry.localOffset, fixed, kLocalHeaderSize);
  uint64_t dataStart = dataOffset(fixed, entry, name);
  if (dataStart > dataLimit || entry.compressedSize > dataLimit - dataStart)
    throw outsideData(name);
  std::string variable(dataStart - entry.localOffset - kLocalHeaderSize, '\0');
  archive.readAt(entry.localOffset + kLocalHeaderSize,
                 reinterpret_cast<unsigned char*>(variable.data()), variable.size());
  if (((le16(fixed + 6) ^ entry.flags) & kFlagsThatMatter) != 0)
    throw disagrees(name, "bayraklar");
  if (le16(fixed + 8) != entry.method)
    throw disagrees(name, "sıkıştırma yöntemi");
  LocalValues local = compareNames(fixed, variable, entry, name);
  uint64_t dataEnd = dataStart + entry.compressedSize;
  if ((entry.flags & kFlagDescriptor) == 0) {
    if (local.crc != entry.crc || local.compressedSize != entry.compressedSize ||
        local.size != entry.size)
      throw disagrees(name, "CRC ya da boyut");
    return {entry.localOffset, dataEnd};
  }
  // Streaming writers leave the values at zero until the descriptor; some write them all.
  if ((local.crc != 0 && local.crc != entry.crc) ||
      (local.compressedSize != 0 && local.compressedSize != entry.compressedSize) ||
      (local.size != 0 && local.size != entry.size))
    throw disagrees(name, "CRC ya da boyut");
  return {entry.localOffset,
          checkDescriptor(archive, entry, dataEnd, dataLimit, local.zip64, name)};
}

uint64_t dataOffset(const unsigned char* localHeader, const CentralEntry& entry,
                    const std::string& shownName) {
  if (le32(localHeader) != kLocalSignature)
    throw corrupt("'" + shownName + "' girdisinin yerel başlığı bulunamadı");
  return entry.localOffset + kLocalHeaderSize + le16(localHeader + 26) + le16(localHeader + 28);
}

}  // namespace tk::zip
