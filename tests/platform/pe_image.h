// A small PE image of our own with one version resource, laid out as a link editor lays it out:
// headers, then one ".rsrc" section at address 0x1000 (file offset 0x200) holding the type, name
// and language folders, the data entry and VS_VERSIONINFO, whose last byte is at 0x2B3.
#pragma once

#include <string>

#include "platform/platform.h"

namespace tk::test {

inline std::string peWithVersion(FileVersionNumber version) {
  std::string image(0x400, '\0');
  auto put = [&image](std::size_t at, uint32_t value, int bytes) {
    for (int k = 0; k < bytes; ++k)
      image[at + k] = static_cast<char>(value >> 8 * k);
  };
  const uint32_t fields[][3] = {// offset, value, bytes
                                {0, 0x5A4D, 2},
                                {0x3C, 0x40, 4},
                                {0x40, 0x4550, 4},
                                {0x44, 0x14C, 2},
                                {0x46, 1, 2},
                                {0x54, 0xE0, 2},
                                {0x56, 0x2102, 2},
                                {0x58, 0x10B, 2},
                                {0x78, 0x1000, 4},
                                {0x7C, 0x200, 4},
                                {0x90, 0x2000, 4},
                                {0x94, 0x200, 4},
                                {0xB4, 16, 4},
                                {0xC8, 0x1000, 4},
                                {0xCC, 0xB4, 4},
                                {0x140, 0xB4, 4},
                                {0x144, 0x1000, 4},
                                {0x148, 0x200, 4},
                                {0x14C, 0x200, 4},
                                {0x15C, 0x40000040, 4},
                                {0x20E, 1, 2},
                                {0x210, 16, 4},
                                {0x214, 0x80000018, 4},
                                {0x226, 1, 2},
                                {0x228, 1, 4},
                                {0x22C, 0x80000030, 4},
                                {0x23E, 1, 2},
                                {0x240, 0x409, 4},
                                {0x244, 0x48, 4},
                                {0x248, 0x1058, 4},
                                {0x24C, 92, 4},
                                {0x258, 92, 2},
                                {0x25A, 52, 2},
                                {0x280, 0xFEEF04BD, 4},
                                {0x284, 0x10000, 4},
                                {0x288, static_cast<uint32_t>(version >> 32), 4},
                                {0x28C, static_cast<uint32_t>(version), 4}};
  for (const auto& [at, value, bytes] : fields)
    put(at, value, static_cast<int>(bytes));
  for (std::size_t k = 0; k < 15; ++k)
    put(0x25E + 2 * k, static_cast<unsigned char>("VS_VERSION_INFO"[k]), 2);
  return image.replace(0x138, 5, ".rsrc");
}

}  // namespace tk::test
