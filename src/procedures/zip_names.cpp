// Decoding entry names and checking where they would land.
#include "procedures/zip_names.h"

#include <array>
#include <string_view>

#include "platform/error.h"
#include "platform/text.h"

namespace tk::zip {
namespace {

constexpr unsigned kHostUnix = 3;
constexpr unsigned kHostDarwin = 19;

bool isAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80)
      return false;
  }
  return true;
}

PlatformError outside(const std::string& name) {
  return PlatformError(err::kBadFileName, "Arşivdeki '" + name +
                                              "' girdisi hedef klasörün dışına yazılmak "
                                              "isteniyor; arşivden hiçbir şey çıkarılmadı");
}

PlatformError invalid(const std::string& name) {
  return PlatformError(err::kBadFileName, "Arşivdeki '" + name +
                                              "' girdisinin adı geçerli bir Windows dosya adı "
                                              "değil; arşivden hiçbir şey çıkarılmadı");
}

// CON, NUL, COM1... name devices on Windows whatever their extension.
bool isDeviceName(std::string_view part) {
  std::string base(part.substr(0, part.find('.')));
  while (!base.empty() && base.back() == ' ')
    base.pop_back();
  for (char& c : base) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 32);
  }
  static constexpr std::array<std::string_view, 6> kDevices{"CON", "PRN",    "AUX",
                                                            "NUL", "CONIN$", "CONOUT$"};
  for (std::string_view device : kDevices) {
    if (base == device)
      return true;
  }
  return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
         base[3] >= '1' && base[3] <= '9';
}

bool isValidPart(std::string_view part) {
  if (part.find_first_not_of(". ") == std::string_view::npos)
    return false;  // Win32 trims trailing dots and blanks: "..." would become ".." or ""
  for (char c : part) {
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("<>:\"|?*").find(c) != std::string_view::npos)
      return false;
  }
  return !isDeviceName(part);
}

}  // namespace

std::string decodeName(const CentralEntry& entry, OemDecoder decodeOem) {
  const std::string& raw = entry.rawName;
  if ((entry.flags & kFlagUtf8) != 0) {
    if (!isValidUtf8(raw))
      throw invalid("?");
    return raw;
  }
  if (!entry.unicodeName.empty() && isValidUtf8(entry.unicodeName))
    return entry.unicodeName;
  unsigned host = entry.madeBy >> 8;
  if (isAscii(raw) || ((host == kHostUnix || host == kHostDarwin) && isValidUtf8(raw)))
    return raw;
  return decodeOem(raw);
}

EntryPath safePath(const std::string& name) {
  std::string text = name;
  for (char& c : text) {
    if (c == '\\')
      c = '/';
  }
  if (text.empty())
    throw invalid(name);
  if (text.front() == '/' || (text.size() >= 2 && text[1] == ':'))
    throw outside(name);
  EntryPath result;
  result.folder = text.back() == '/';
  std::string_view rest = text;
  while (!rest.empty()) {
    std::size_t slash = rest.find('/');
    std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".")
      continue;
    if (part == "..")
      throw outside(name);
    if (!isValidPart(part))
      throw invalid(name);
    if (!result.path.empty())
      result.path += '/';
    result.path += part;
  }
  return result;
}

}  // namespace tk::zip
