// Decoding entry names and checking where they would land.
#include "zip/zip_names.h"

#include <algorithm>
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

// A name as a message shows it: a long one cut short.
std::string shown(const std::string& name) {
  constexpr std::size_t kShown = 120;
  return characterCount(name) <= kShown ? name : Left(name, kShown) + "…";
}

PlatformError outside(const std::string& name) {
  return PlatformError(err::kBadFileName, "Arşivdeki '" + shown(name) +
                                              "' girdisi hedef klasörün dışına yazılmak "
                                              "isteniyor; arşivden hiçbir şey çıkarılmadı");
}

PlatformError invalid(const std::string& name) {
  return PlatformError(err::kBadFileName, "Arşivdeki '" + shown(name) +
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

// "NAME~1.EXT": the part before the extension ends in "~" and digits. On a volume with short
// names such a name may already be another file's second name ("CHROME~1.EXE" is
// "chromedriver.exe"), so writing it would replace that file.
bool isShortNameAlias(std::string_view part) {
  std::string_view base = part.substr(0, part.rfind('.'));
  std::size_t digits = base.size();
  while (digits > 0 && base[digits - 1] >= '0' && base[digits - 1] <= '9')
    --digits;
  return digits < base.size() && digits > 0 && base[digits - 1] == '~';
}

// UTF-16 units of a UTF-8 text: two for a character beyond the basic plane (a 4-byte sequence),
// one for any other.
std::size_t utf16Units(std::string_view text) {
  std::size_t units = 0;
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80)
      units += byte >= 0xF0 ? 2 : 1;
  }
  return units;
}

bool isValidPart(std::string_view part) {
  // Win32 trims trailing dots and blanks: "install.cmd " would replace "install.cmd", and "..."
  // would become ".." or "".
  if (part.back() == '.' || part.back() == ' ' || utf16Units(part) > kMaxPartUnits)
    return false;
  for (char c : part) {
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("<>:\"|?*").find(c) != std::string_view::npos)
      return false;
  }
  return !isDeviceName(part) && !isShortNameAlias(part);
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
  return plainName(entry, decodeOem);
}

std::string plainName(const CentralEntry& entry, OemDecoder decodeOem) {
  const std::string& raw = entry.rawName;
  unsigned host = entry.madeBy >> 8;
  if (isAscii(raw) || ((host == kHostUnix || host == kHostDarwin) && isValidUtf8(raw)))
    return raw;
  return decodeOem(raw);
}

EntryPath safePath(const std::string& name) {
  std::string text = name;
  std::replace(text.begin(), text.end(), '\\', '/');
  if (text.empty())
    throw invalid(name);
  if (text.front() == '/' || (text.size() >= 2 && text[1] == ':'))
    throw outside(name);
  EntryPath result;
  result.folder = text.back() == '/';
  std::string_view rest = text;
  std::size_t depth = 0;
  while (!rest.empty()) {
    std::size_t slash = rest.find('/');
    std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".")
      continue;
    if (part == "..")
      throw outside(name);
    if (!isValidPart(part) || ++depth > kMaxDepth)
      throw invalid(name);
    if (!result.path.empty())
      result.path += '/';
    result.path += part;
  }
  return result;
}

void NameCollisions::add(const EntryPath& entry) {
  if (!entry.path.empty())  // the destination folder itself
    names_.push_back({foldCase(entry.path), entry.path, entry.folder});
}

// Sorted with "/" before every other byte, the names that lie under a name follow it at once:
// a name is a file and a folder exactly when the name after it continues it with "/". The
// names are kept once each, so the memory stays linear in their length, however deep they are.
void NameCollisions::finish() {
  auto before = [](const Name& a, const Name& b) {
    return std::lexicographical_compare(
        a.folded.begin(), a.folded.end(), b.folded.begin(), b.folded.end(), [](char x, char y) {
          auto rank = [](char c) { return c == '/' ? 0 : static_cast<unsigned char>(c) + 1; };
          return rank(x) < rank(y);
        });
  };
  std::sort(names_.begin(), names_.end(), before);
  for (std::size_t k = 1; k < names_.size(); ++k) {
    const Name& name = names_[k - 1];
    const std::string& next = names_[k].folded;
    if (next == name.folded)
      throw corrupt("'" + names_[k].shown + "' adı arşivde birden çok kez geçiyor");
    if (!name.folder && next.size() > name.folded.size() && next[name.folded.size()] == '/' &&
        next.starts_with(name.folded))
      throw corrupt("'" + name.shown + "' arşivde hem dosya hem klasör olarak geçiyor");
  }
  names_.clear();
}

bool fitsUnder(std::size_t rootLength, std::string_view path, bool folder, std::size_t suffix,
               const PathLimits& limits) {
  auto length = [&limits](std::string_view text) {
    return limits.utf16 ? utf16Units(text) : text.size();
  };
  std::size_t cut = path.rfind('/');
  std::size_t parent =
      cut == std::string_view::npos ? rootLength - 1 : rootLength + length(path.substr(0, cut));
  for (std::size_t start = 0; start < path.size();) {
    std::size_t end = std::min(path.find('/', start), path.size());
    bool name = end == path.size();
    if (length(path.substr(start, end - start)) + (name && !folder ? suffix : 0) > limits.part)
      return false;
    start = end + 1;
  }
  std::size_t whole = rootLength + length(path) + (folder ? 0 : suffix);
  return parent <= limits.folder && whole <= (folder ? limits.folder : limits.path);
}

}  // namespace tk::zip
