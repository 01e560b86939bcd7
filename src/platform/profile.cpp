// The portable reading of an ini file: its encoding, then its text as Windows'
// GetPrivateProfileString reads it.
#include "platform/profile.h"

#include <utility>

#include "platform/error.h"
#include "platform/text.h"

namespace tk {
namespace {

PlatformError unreadable(std::string why) {
  return PlatformError(err::kInvalidFileFormat, std::move(why));
}

// UTF-16 LE after its byte-order mark, every surrogate paired.
std::string fromUtf16Le(std::string_view bytes) {
  if (bytes.size() % 2 != 0)
    throw unreadable("UTF-16 metninin bayt sayısı tek");
  std::string text;
  for (std::size_t at = 0; at < bytes.size(); at += 2) {
    auto unit = [&](std::size_t k) {
      return static_cast<char32_t>(static_cast<unsigned char>(bytes[k]) |
                                   static_cast<unsigned char>(bytes[k + 1]) << 8);
    };
    char32_t c = unit(at);
    if (c >= 0xD800 && c <= 0xDBFF && at + 3 < bytes.size() && unit(at + 2) >= 0xDC00 &&
        unit(at + 2) <= 0xDFFF) {
      at += 2;
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(at) - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      throw unreadable("UTF-16 metninde eşi olmayan vekil karakter var");
    }
    if (c == 0)
      throw unreadable("Metinde NUL karakteri var");
    appendUtf8(c, text);
  }
  return text;
}

std::string_view trim(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r";
  std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string_view unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

std::string profileText(std::string_view bytes, const AnsiDecoder& decodeAnsi) {
  if (bytes.size() > kMaxProfileBytes)
    throw unreadable("Dosya " + std::to_string(kMaxProfileBytes) + " bayttan büyük");
  if (bytes.starts_with("\xFF\xFE"))
    return fromUtf16Le(bytes.substr(2));
  if (bytes.starts_with("\xFE\xFF"))
    throw unreadable("UTF-16 BE (büyük sonlu) kodlaması okunmuyor");
  bool marked = bytes.starts_with("\xEF\xBB\xBF");
  if (marked)
    bytes.remove_prefix(3);
  if (bytes.find('\0') != std::string_view::npos)
    throw unreadable("Metinde NUL baytı var");
  if (isValidUtf8(bytes))
    return std::string(bytes);
  if (marked)
    throw unreadable("UTF-8 işaretinden sonra UTF-8 olmayan baytlar var");
  std::optional<std::string> text = decodeAnsi(bytes);
  if (!text)
    throw unreadable("Sistemin kod sayfasında karşılığı olmayan baytlar var");
  return *text;
}

std::optional<std::string> profileValue(std::string_view text, std::string_view section,
                                        std::string_view key) {
  enum { Before, Inside, After } where = Before;
  while (!text.empty() && where != After) {
    std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = trim(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.starts_with('[')) {
      std::size_t close = line.find(']');
      std::string_view name = trim(line.substr(1, close == line.npos ? line.npos : close - 1));
      if (where == Inside)
        where = After;
      else if (equalsIgnoringCase(name, section))
        where = Inside;
      continue;
    }
    std::size_t equals = line.find('=');
    if (where == Inside && equals != line.npos &&
        equalsIgnoringCase(trim(line.substr(0, equals)), key))
      return std::string(unquote(trim(line.substr(equals + 1))));
  }
  return std::nullopt;
}

}  // namespace tk
