// A small PE image of our own with one version resource, laid out as a link editor lays it out:
// headers, then one ".rsrc" section at address 0x1000 (file offset 0x200) holding the type, name
// and language folders, the data entry and VS_VERSIONINFO, whose last byte is at 0x2B3.
#pragma once

#include <string>

#include "platform/platform.h"

namespace tk::test {

inline std::string peWithVersion(FileVersionNumber version) {
  std::string image(0x400, '\0');
  auto put = [&image](std::size_t at, uint32_t value) {
    for (int k = 0; k < 4; ++k)
      image[at + k] = static_cast<char>(value >> 8 * k);
  };
  // Offset and 32-bit value (two 16-bit fields where they share one).
  // clang-format off
  const uint32_t fields[][2] = {
      {0, 0x5A4D}, {0x3C, 0x40}, {0x40, 0x4550}, {0x44, 0x1014C}, {0x54, 0x210200E0},
      {0x58, 0x10B}, {0x78, 0x1000}, {0x7C, 0x200}, {0x90, 0x2000}, {0x94, 0x200}, {0xB4, 16},
      {0xC8, 0x1000}, {0xCC, 0xB4}, {0x140, 0xB4}, {0x144, 0x1000}, {0x148, 0x200},
      {0x14C, 0x200}, {0x15C, 0x40000040}, {0x20C, 0x10000}, {0x210, 16}, {0x214, 0x80000018},
      {0x224, 0x10000}, {0x228, 1}, {0x22C, 0x80000030}, {0x23C, 0x10000}, {0x240, 0x409},
      {0x244, 0x48}, {0x248, 0x1058}, {0x24C, 92}, {0x258, 0x34005C}, {0x280, 0xFEEF04BD},
      {0x284, 0x10000}, {0x288, static_cast<uint32_t>(version >> 32)},
      {0x28C, static_cast<uint32_t>(version)}};
  // clang-format on
  for (const auto& [at, value] : fields)
    put(at, value);
  for (std::size_t k = 0; k < 15; ++k)
    image[0x25E + 2 * k] = "VS_VERSION_INFO"[k];
  return image.replace(0x138, 5, ".rsrc");
}

}  // namespace tk::test
