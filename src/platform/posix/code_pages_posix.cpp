// The code pages of a Turkish Windows: Windows-1254 (ANSI), in which the record file is written,
// and 857 (OEM), in which zip tools on a Turkish Windows store names without the UTF-8 flag.
#include <string>
#include <string_view>

#include "platform/code_pages.h"
#include "platform/error.h"
#include "platform/text.h"

namespace tk::host {
namespace {

// The characters of bytes 0x80-0xFF. Bytes 0xD5, 0xE7 and 0xF2 have no character in 857.
constexpr char16_t kHighHalf[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x0131, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x0130, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x015E, 0x015F,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x011E, 0x011F,  // A0
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,  // B0
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // C8
    0x00BA, 0x00AA, 0x00CA, 0x00CB, 0x00C8, 0xFFFD, 0x00CD, 0x00CE,  // D0
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,  // D8
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0xFFFD,  // E0
    0x00D7, 0x00DA, 0x00DB, 0x00D9, 0x00EC, 0x00FF, 0x00AF, 0x00B4,  // E8
    0x00AD, 0x00B1, 0xFFFD, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,  // F0
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,  // F8
};

// The characters of Windows-1254's bytes 0x80-0x9F. The bytes it leaves undefined become the C1
// control of the same number, as MultiByteToWideChar gives them even with MB_ERR_INVALID_CHARS.
constexpr char16_t kAnsiHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x008E, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x009E, 0x0178,  // 98
};

// The letters where Windows-1254 departs from Latin-1: the Turkish ones take the places of Ð ð
// Ý ý Þ þ, which the code page therefore lacks.
constexpr CodeGroup<char32_t, char> kTurkishLetters[] = {
    {'\xD0', {U'Ğ'}},
    {'\xF0', {U'ğ'}},
    {'\xDD', {U'İ'}},
    {'\xFD', {U'ı'}},
    {'\xDE', {U'Ş'}},
    {'\xFE', {U'ş'}},
    {'?', {U'Ð', U'ð', U'Ý', U'ý', U'Þ', U'þ'}},
};

// Windows-1254 for one code point; '?' where the code page has no such letter.
char toCodePage1254(char32_t c) {
  if (c < 0x80)
    return static_cast<char>(c);
  char fallback = c >= 0xA0 && c <= 0xFF ? static_cast<char>(c) : '?';
  return lookup(kTurkishLetters, c, fallback);
}

}  // namespace

std::string toAnsi(std::string_view utf8) {
  std::string out;
  for (char32_t c : codePoints(utf8))
    out += toCodePage1254(c);
  return out;
}

std::string decodeOem(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size() * 2);
  for (char byte : bytes) {
    auto b = static_cast<unsigned char>(byte);
    appendUtf8(b < 0x80 ? char32_t{b} : char32_t{kHighHalf[b - 0x80]}, text);
  }
  return text;
}

std::optional<std::string> decodeAnsi(std::string_view bytes) {
  std::string text;
  for (char byte : bytes) {
    auto b = static_cast<unsigned char>(byte);
    char32_t c = b < 0x80 ? b : b < 0xA0 ? kAnsiHighControls[b - 0x80] : b;
    for (const auto& letter : kTurkishLetters) {
      if (letter.value == byte && byte != '?')
        c = *letter.codes.begin();
    }
    appendUtf8(c, text);
  }
  return text;
}

}  // namespace tk::host
