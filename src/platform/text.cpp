// Character-based string operations on UTF-8 text.
#include "platform/text.h"

#include <cstdint>

#include "platform/upcase_table.h"

namespace tk {
namespace {

// Length in bytes of the UTF-8 sequence that begins with `lead`; a stray byte counts as one.
std::size_t sequenceLength(unsigned char lead) {
  if (lead < 0x80)
    return 1;
  if ((lead & 0xE0) == 0xC0)
    return 2;
  if ((lead & 0xF0) == 0xE0)
    return 3;
  if ((lead & 0xF8) == 0xF0)
    return 4;
  return 1;
}

// Byte offsets of the starts of the characters of `text`.
template <typename Visit>
void forEachCharacter(std::string_view text, Visit visit) {
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t length = sequenceLength(static_cast<unsigned char>(text[at]));
    if (at + length > text.size())
      length = text.size() - at;
    visit(text.substr(at, length));
    at += length;
  }
}

char32_t decode(std::string_view ch) {
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(ch[k]); };
  switch (ch.size()) {
    case 2:
      return ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
    case 3:
      return ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
    case 4:
      return ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) |
             (byte(3) & 0x3F);
    default:
      return byte(0);
  }
}

void encode(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Simple upper-case mapping for ASCII, Latin-1 and Latin Extended-A, where the Turkish letters
// live: "ı" becomes "I", as UCase makes it.
char32_t upper(char32_t c) {
  if (c >= U'a' && c <= U'z')
    return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
    return c - 32;
  if (c == 0xFF)
    return 0x178;
  if (c == 0x131)
    return U'I';
  if (c >= 0x100 && c <= 0x17F) {
    // Latin Extended-A pairs upper/lower as even/odd, except in 0x139-0x148 and 0x179-0x17E,
    // where they pair as odd/even.
    bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (c == 0x138 || c == 0x149 || c == 0x17F || c == 0x130)
      return c;
    bool isLower = oddUpper ? (c % 2 == 0) : (c % 2 == 1);
    return isLower ? c - 1 : c;
  }
  return c;
}

// Each character of `text` through `map`; a stray byte of broken UTF-8 stays as it is.
template <typename Map>
std::string mapCharacters(std::string_view text, Map map) {
  std::string out;
  out.reserve(text.size());
  forEachCharacter(text, [&](std::string_view ch) {
    if (ch.size() == 1 && static_cast<unsigned char>(ch[0]) >= 0x80)
      out += ch;
    else
      encode(map(decode(ch)), out);
  });
  return out;
}

}  // namespace

std::size_t characterCount(std::string_view text) {
  std::size_t count = 0;
  forEachCharacter(text, [&](std::string_view) { ++count; });
  return count;
}

std::string Left(std::string_view text, std::size_t count) {
  std::size_t bytes = 0;
  std::size_t taken = 0;
  forEachCharacter(text, [&](std::string_view ch) {
    if (taken < count) {
      bytes += ch.size();
      ++taken;
    }
  });
  return std::string(text.substr(0, bytes));
}

std::string Right(std::string_view text, std::size_t count) {
  std::size_t total = characterCount(text);
  if (count >= total)
    return std::string(text);
  std::size_t skip = total - count;
  std::size_t bytes = 0;
  std::size_t seen = 0;
  forEachCharacter(text, [&](std::string_view ch) {
    if (seen < skip) {
      bytes += ch.size();
      ++seen;
    }
  });
  return std::string(text.substr(bytes));
}

std::string UCase(std::string_view text) {
  return mapCharacters(text, upper);
}

// As NTFS compares names: every unit of the basic plane through Windows' upper-case table; a
// character beyond it (two UTF-16 units) keeps its case.
std::string foldCase(std::string_view text) {
  return mapCharacters(text, [](char32_t c) {
    return c < 0x10000 ? static_cast<char32_t>(upcaseUnit(static_cast<char16_t>(c))) : c;
  });
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return foldCase(a) == foldCase(b);
}

void appendUtf8(char32_t c, std::string& out) {
  encode(c, out);
}

bool isValidUtf8(std::string_view text) {
  bool valid = true;
  forEachCharacter(text, [&](std::string_view ch) {
    auto lead = static_cast<unsigned char>(ch[0]);
    if (lead < 0x80)
      return;
    if (ch.size() != sequenceLength(lead) || ch.size() == 1) {
      valid = false;
      return;
    }
    for (std::size_t k = 1; k < ch.size(); ++k)
      valid = valid && (static_cast<unsigned char>(ch[k]) & 0xC0) == 0x80;
    char32_t c = decode(ch);
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    valid = valid && c >= kSmallest[ch.size()] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
  });
  return valid;
}

std::u32string codePoints(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  forEachCharacter(text, [&](std::string_view ch) { out += decode(ch); });
  return out;
}

bool matchesWildcard(std::string_view name, std::string_view pattern) {
  std::u32string n = codePoints(foldCase(name));
  std::u32string p = codePoints(foldCase(pattern));
  // Classic wildcard matching with backtracking over the last '*'.
  std::size_t ni = 0, pi = 0, star = std::u32string::npos, mark = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == U'?' || p[pi] == n[ni])) {
      ++ni;
      ++pi;
    } else if (pi < p.size() && p[pi] == U'*') {
      star = pi++;
      mark = ni;
    } else if (star != std::u32string::npos) {
      pi = star + 1;
      ni = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == U'*')
    ++pi;
  return pi == p.size();
}

}  // namespace tk
