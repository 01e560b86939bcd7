// A small PE image of our own with one version resource, as a link editor lays it out, and a
// reader of bytes held in memory: for the version readers on both hosts.
#pragma once

#include <cstring>
#include <string>

#include "platform/pe_version.h"

namespace tk::test {

// Headers in the first 0x200 bytes, one ".rsrc" section at address 0x1000 (file offset 0x200)
// holding the type, name and language folders, the data entry and VS_VERSIONINFO.
inline std::string peWithVersion(FileVersionNumber version) {
  std::string image(0x400, '\0');
  auto put16 = [&image](std::size_t at, uint32_t v) {
    image[at] = static_cast<char>(v), image[at + 1] = static_cast<char>(v >> 8);
  };
  auto put32 = [&](std::size_t at, uint32_t v) { put16(at, v & 0xFFFF), put16(at + 2, v >> 16); };
  constexpr std::size_t kOptional = 0x58, kSection = 0x138, kRsrc = 0x200, kBlock = kRsrc + 0x58;
  image.replace(0, 2, "MZ");
  put32(0x3C, 0x40);
  image.replace(0x40, 4, std::string("PE\0\0", 4));
  put16(0x44, 0x14C), put16(0x46, 1), put16(0x54, 0xE0), put16(0x56, 0x2102);  // i386, a DLL
  put16(kOptional, 0x10B), put32(kOptional + 32, 0x1000), put32(kOptional + 36, 0x200);
  put32(kOptional + 56, 0x2000), put32(kOptional + 60, 0x200), put32(kOptional + 92, 16);
  put32(kOptional + 112, 0x1000), put32(kOptional + 116, 0xB4);
  image.replace(kSection, 5, ".rsrc");
  put32(kSection + 8, 0xB4), put32(kSection + 12, 0x1000), put32(kSection + 16, 0x200);
  put32(kSection + 20, kRsrc), put32(kSection + 36, 0x40000040);
  const uint32_t folders[][2] = {{16, 0x80000018}, {1, 0x80000030}, {0x409, 0x48}};
  for (std::size_t k = 0; k < 3; ++k)
    put16(kRsrc + 0x18 * k + 14, 1), put32(kRsrc + 0x18 * k + 16, folders[k][0]),
        put32(kRsrc + 0x18 * k + 20, folders[k][1]);
  put32(kRsrc + 0x48, 0x1058), put32(kRsrc + 0x4C, 92);
  put16(kBlock, 92), put16(kBlock + 2, 52);
  for (std::size_t k = 0; k < 15; ++k)
    put16(kBlock + 6 + 2 * k, static_cast<unsigned char>("VS_VERSION_INFO"[k]));
  put32(kBlock + 40, 0xFEEF04BD), put32(kBlock + 44, 0x10000);
  put32(kBlock + 48, static_cast<uint32_t>(version >> 32)),
      put32(kBlock + 52, static_cast<uint32_t>(version));
  return image;
}

inline host::ReadAt memoryReader(const std::string& bytes) {
  return [&bytes](uint64_t offset, unsigned char* buffer, std::size_t length) {
    if (offset > bytes.size() || length > bytes.size() - offset)
      return false;
    std::memcpy(buffer, bytes.data() + offset, length);
    return true;
  };
}

}  // namespace tk::test
