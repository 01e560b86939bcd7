// What the program reads in the driver lists that Google publishes: the JSON lists of Chrome for
// Testing (Chrome 115 on) and the version texts of the older driver server (Chrome 106 to 114).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tk {

// What a list gave: the driver's address and the version of its entry, or why it gave none (for
// the support log).
struct ListAnswer {
  std::optional<std::string> address;
  const char* problem = "";
  std::string version;
};

// The address of the 32-bit Windows chromedriver in one entry of a Chrome for Testing list:
// `group` "builds" keyed by MAJOR.MINOR.BUILD, or "milestones" keyed by the major, each entry
// holding its "version" and "downloads" with a "chromedriver" array of {"platform", "url"}.
// Nothing when the text is not well-formed JSON, or the entry or its "win32" driver is missing.
// The text is taken apart as it is read (its strings decoded in place).
ListAnswer chromedriverWin32(std::string& json, std::string_view group, std::string_view key);

// The four numbered parts of a version text ("131.0.6778.85"): digits only, at most five in a
// part, separated by dots; nothing for any other text.
using Version = std::array<int, 4>;
std::optional<Version> versionParts(std::string_view text);

}  // namespace tk
