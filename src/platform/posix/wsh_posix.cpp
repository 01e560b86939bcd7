// The script shell's host pieces on the substitute: the XDG desktop folder, and shortcuts written
// as freedesktop desktop entries.
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/posix/paths_posix.h"
#include "platform/temp_file.h"
#include "platform/text.h"
#include "platform/wsh.h"

namespace fs = std::filesystem;

namespace tk::host {
namespace {

std::string homeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0')
    return home;
  const passwd* user = getpwuid(getuid());
  return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "/";
}

// The value of a user-dirs.dirs line: shell-quoted, "$HOME" (or "${HOME}") at the start stands
// for the home folder; anything that is then not an absolute path is ignored, as xdg-user-dirs
// does.
std::optional<std::string> userDirValue(std::string_view raw, const std::string& home) {
  std::string value;
  if (!raw.empty() && raw[0] == '"') {
    for (std::size_t at = 1; at < raw.size() && raw[at] != '"'; ++at) {
      if (raw[at] == '\\' && at + 1 < raw.size())
        ++at;
      value += raw[at];
    }
  } else {
    value = std::string(raw.substr(0, raw.find_first_of(" \t\r")));
  }
  for (std::string_view prefix : {"$HOME", "${HOME}"}) {
    if (value.rfind(prefix, 0) == 0 &&
        (value.size() == prefix.size() || value[prefix.size()] == '/')) {
      value = home + value.substr(prefix.size());
    }
  }
  if (value.empty() || value[0] != '/')
    return std::nullopt;
  return value;
}

std::optional<std::string> xdgDesktopSetting(const std::string& home) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  fs::path folder =
      config != nullptr && config[0] == '/' ? fs::path(config) : fs::path(home) / ".config";
  std::ifstream in(folder / "user-dirs.dirs");
  std::optional<std::string> found;
  std::string line;
  while (std::getline(in, line)) {
    std::size_t start = line.find_first_not_of(" \t");
    constexpr std::string_view kKey = "XDG_DESKTOP_DIR=";
    if (start == std::string::npos || line.compare(start, kKey.size(), kKey) != 0)
      continue;
    // Later lines win, as when the file is sourced by a shell.
    if (auto value = userDirValue(std::string_view(line).substr(start + kKey.size()), home))
      found = value;
  }
  return found;
}

// A desktop entry's string value: backslash, line breaks and tabs escaped.
std::string entryString(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// One Exec argument in double quotes, with the characters the Exec key reserves escaped.
std::string execArgument(const std::string& argument) {
  std::string out = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\')
      out += '\\';
    out += c == '%' ? "%%" : std::string(1, c);
  }
  return out + "\"";
}

}  // namespace

// The desktop folder as the logic sees paths: symbolic links resolved like the setup folder's,
// no closing slash.
std::string desktopFolder() {
  std::string home = homeFolder();
  fs::path desktop = xdgDesktopSetting(home).value_or(home + "/Desktop");
  std::error_code error;
  fs::path resolved = fs::weakly_canonical(desktop, error);
  desktop = (error ? desktop.lexically_normal() : resolved);
  std::string text = desktop.string();
  while (text.size() > 1 && text.back() == '/')
    text.pop_back();
  return windowsText(fs::path(text));
}

// Written beside the destination and renamed over it, so an existing shortcut is replaced whole.
void saveShortcut(const std::string& path, const WshShortcut& shortcut) {
  std::string entry = "[Desktop Entry]\nType=Application\nName=Tovren\nComment=" +
                      entryString(shortcut.Description) + "\nExec=" +
                      entryString(execArgument(hostPath(shortcut.TargetPath).string())) + "\n";
  // Executable, so that desktops which only launch trusted entries offer to start it.
  TempFile file(hostPath(path).string(), {.executable = true});
  file.write(entry.data(), entry.size());
  file.commit();
}

}  // namespace tk::host
