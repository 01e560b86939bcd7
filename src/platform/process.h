// Command lines read the way Windows reads them: the program part as CreateProcessW and
// CommandLineToArgvW take it, the arguments by the C runtime's rules, and what "cmd.exe /c" runs.
// Shared by both platforms' Shell so that one command line means the same thing everywhere.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tk {

struct ProgramPart {
  std::string program;    // without quotes
  std::string arguments;  // everything after the program part, as written
  bool quoted = false;    // the program was written in quotes
  bool bare = false;      // a name without any folder ("regsvr32", "cmd.exe")
};

// Splits off the program. A quoted program ends at its closing quote. An unquoted one that holds
// a folder is taken as the longest run of blank-separated words that `isFile` accepts, so an
// unquoted "C:\Ayşe Işık\x.exe" never starts "C:\Ayşe"; failing that, its first word.
ProgramPart splitProgram(std::string_view commandLine,
                         const std::function<bool(const std::string&)>& isFile);

// The arguments after the program, split as the C runtime does: blanks separate, quotes group,
// 2n backslashes before a quote give n and the quote groups, 2n+1 give n and a literal quote,
// and "" inside quotes is a literal quote.
std::vector<std::string> splitArguments(std::string_view arguments);

// The command that cmd.exe runs for its arguments "[/s] /c <command>" (or /k), with the outer
// quotes removed as cmd does: always with /s, otherwise unless the command is exactly one quoted
// name holding a blank and no special character. No value when there is no /c or /k.
std::optional<std::string> cmdCommand(std::string_view arguments);

}  // namespace tk
