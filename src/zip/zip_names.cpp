// Decoding entry names and checking where they would land.
#include "zip/zip_names.h"

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

// CON, NUL, COM1... name devices on Windows whatever their extension; so do COM and LPT with a
// superscript digit (¹ ² ³ in UTF-8).
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
  if (!base.starts_with("COM") && !base.starts_with("LPT"))
    return false;
  std::string_view digit = std::string_view(base).substr(3);
  return (digit.size() == 1 && digit[0] >= '1' && digit[0] <= '9') || digit == "\xC2\xB9" ||
         digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

bool isValidPart(std::string_view part) {
  // Win32 trims trailing dots and blanks: "install.cmd " would replace "install.cmd", and "..."
  // would become ".." or "".
  if (part.back() == '.' || part.back() == ' ')
    return false;
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

void NameCollisions::add(const EntryPath& entry) {
  if (entry.path.empty())
    return;  // the destination folder itself
  std::string folded = foldCase(entry.path);
  if (!entries_.emplace(folded, entry.folder).second)
    throw corrupt("'" + entry.path + "' adı arşivde birden çok kez geçiyor");
  for (std::size_t at = folded.find('/'); at != std::string::npos; at = folded.find('/', at + 1))
    folders_.insert(folded.substr(0, at));
}

void NameCollisions::finish() const {
  for (const auto& [folded, folder] : entries_) {
    if (!folder && folders_.count(folded) != 0)
      throw corrupt("'" + folded + "' arşivde hem dosya hem klasör olarak geçiyor");
  }
}

}  // namespace tk::zip
