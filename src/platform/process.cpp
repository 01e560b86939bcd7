// Windows command-line reading: the program part, the C runtime's argument rules, and cmd's /c.
#include "platform/process.h"

namespace tk {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

std::size_t skipBlanks(std::string_view text, std::size_t at) {
  while (at < text.size() && isBlank(text[at]))
    ++at;
  return at;
}

// The longest prefix ending before a blank (or at the end) that names a file; npos when none.
std::size_t longestFilePrefix(std::string_view text,
                              const std::function<bool(const std::string&)>& isFile) {
  for (std::size_t end = text.size(); end > 0; --end) {
    bool boundary = end == text.size() || (isBlank(text[end]) && !isBlank(text[end - 1]));
    if (boundary && isFile(std::string(text.substr(0, end))))
      return end;
  }
  return std::string_view::npos;
}

}  // namespace

ProgramPart splitProgram(std::string_view commandLine,
                         const std::function<bool(const std::string&)>& isFile) {
  std::string_view text = commandLine.substr(skipBlanks(commandLine, 0));
  ProgramPart part;
  if (!text.empty() && text[0] == '"') {
    std::size_t close = text.find('"', 1);
    part.quoted = true;
    part.program = std::string(text.substr(1, close == std::string_view::npos ? close : close - 1));
    part.arguments = close == std::string_view::npos ? "" : std::string(text.substr(close + 1));
    return part;
  }
  std::size_t firstBlank = text.find_first_of(" \t");
  std::string_view first = text.substr(0, firstBlank);
  part.bare = first.find_first_of("\\/:") == std::string_view::npos;
  std::size_t end = firstBlank;
  if (!part.bare && firstBlank != std::string_view::npos) {
    std::size_t longest = longestFilePrefix(text, isFile);
    if (longest != std::string_view::npos)
      end = longest;
  }
  part.program = std::string(text.substr(0, end));
  part.arguments = end == std::string_view::npos ? "" : std::string(text.substr(end));
  return part;
}

std::vector<std::string> splitArguments(std::string_view text) {
  std::vector<std::string> arguments;
  std::size_t at = skipBlanks(text, 0);
  while (at < text.size()) {
    std::string argument;
    bool inQuotes = false;
    while (at < text.size() && (inQuotes || !isBlank(text[at]))) {
      char c = text[at];
      if (c == '\\') {
        std::size_t run = text.find_first_not_of('\\', at);
        std::size_t count = (run == std::string_view::npos ? text.size() : run) - at;
        bool beforeQuote = run != std::string_view::npos && text[run] == '"';
        argument.append(beforeQuote ? count / 2 : count, '\\');
        at += count;
        if (beforeQuote && count % 2 == 1) {
          argument += '"';
          ++at;
        }
      } else if (c == '"') {
        if (inQuotes && at + 1 < text.size() && text[at + 1] == '"') {
          argument += '"';
          at += 2;
        } else {
          inQuotes = !inQuotes;
          ++at;
        }
      } else {
        argument += c;
        ++at;
      }
    }
    arguments.push_back(std::move(argument));
    at = skipBlanks(text, at);
  }
  return arguments;
}

namespace {

// cmd keeps the quotes of `"<name with a blank>"` and nothing else: two quotes in all, the first
// at the start, a blank and no special character between them.
bool keepsQuotes(std::string_view command) {
  if (command.empty() || command[0] != '"')
    return false;
  std::size_t close = command.find('"', 1);
  if (close == std::string_view::npos || command.find('"', close + 1) != std::string_view::npos)
    return false;
  std::string_view inside = command.substr(1, close - 1);
  return inside.find_first_of(" \t") != std::string_view::npos &&
         inside.find_first_of("&<>()@^|") == std::string_view::npos;
}

}  // namespace

std::optional<std::string> cmdCommand(std::string_view arguments) {
  bool strict = false;  // /s
  std::size_t at = skipBlanks(arguments, 0);
  while (at + 1 < arguments.size() && arguments[at] == '/') {
    char option = arguments[at + 1];
    if (option == 'c' || option == 'C' || option == 'k' || option == 'K') {
      std::string command(arguments.substr(skipBlanks(arguments, at + 2)));
      if ((strict || !keepsQuotes(command)) && !command.empty() && command[0] == '"') {
        std::size_t last = command.rfind('"');
        if (last > 0)
          command.erase(last, 1);
        command.erase(0, 1);
      }
      return command;
    }
    strict = strict || option == 's' || option == 'S';
    std::size_t next = arguments.find_first_of(" \t/", at + 2);
    at = skipBlanks(arguments, next == std::string_view::npos ? arguments.size() : next);
  }
  return std::nullopt;
}

}  // namespace tk
