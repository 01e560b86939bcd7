// The portable reading of an ini file's text, as Windows' GetPrivateProfileString reads it.
#include "platform/profile.h"

#include "platform/text.h"

namespace tk {
namespace {

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

std::optional<std::string> profileValue(std::string_view text, std::string_view section,
                                        std::string_view key) {
  if (text.starts_with("\xEF\xBB\xBF"))
    text.remove_prefix(3);
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
