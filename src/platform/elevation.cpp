// Arguments joined into a command line for another run of this program.
#include "platform/elevation.h"

namespace tk {
namespace {

std::string quoted(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos)
    return argument;
  std::string text = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count only before a quote: there each is doubled, and the quote escaped.
    text.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    text += c;
    backslashes = 0;
  }
  text.append(2 * backslashes, '\\');  // before the closing quote
  return text + "\"";
}

}  // namespace

std::string joinArguments(const std::vector<std::string>& arguments) {
  std::string line;
  for (const std::string& argument : arguments)
    line.append(line.empty() ? "" : " ").append(quoted(argument));
  return line;
}

}  // namespace tk
