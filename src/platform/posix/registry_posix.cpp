// RegRead on the substitute: the only value the installer reads, Chrome's version, comes from the
// "Last Version" file that Chrome (or Chromium) writes into the user's profile folder once it has
// run, as the registry value appears on Windows.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/error.h"
#include "platform/posix/handles_posix.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace tk::host {
namespace {

constexpr const char* kVersionValue =
    "HKEY_CURRENT_USER\\Software\\Google\\Chrome\\BLBeacon\\version";

fs::path configFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/')
    return xdg;
  const char* home = std::getenv("HOME");
  return fs::path(home != nullptr ? home : "/") / ".config";
}

// The whole text of a small file; "" when it cannot be read.
std::string fileText(const fs::path& path) {
  std::string text;
  UniqueFile file(std::fopen(path.c_str(), "rb"));
  char buffer[256];
  for (std::size_t got; file && (got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;)
    text.append(buffer, got);
  return text;
}

std::string trimmed(const std::string& text) {
  const char* blanks = " \t\r\n";
  std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos)
    return "";
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

std::string regRead(const std::string& name) {
  // Value names ignore case, as the registry's do.
  if (equalsIgnoringCase(name, kVersionValue)) {
    for (const char* profile : {"google-chrome", "chromium"}) {
      std::string text = trimmed(fileText(configFolder() / profile / "Last Version"));
      if (!text.empty())
        return text;
    }
  }
  throw makeError(err::kRegValueMissing);
}

}  // namespace tk::host
