// What the program reads in the driver lists that Google publishes: the JSON lists of Chrome for
// Testing (Chrome 115 on) and the version texts of the older driver server (Chrome 106 to 114).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tk {

// What a list gave: the driver's address, or why it gave none (for the support log).
struct ListAnswer {
  std::optional<std::string> address;
  std::string problem;
};

// The address of the 32-bit Windows chromedriver in one entry of a Chrome for Testing list:
// `group` "builds" keyed by MAJOR.MINOR.BUILD, or "milestones" keyed by the major, each entry
// holding "downloads" with a "chromedriver" array of {"platform", "url"}. Nothing when the text
// is not well-formed JSON (UTF-8), or the entry or its "win32" driver is missing.
ListAnswer chromedriverWin32(std::string_view json, std::string_view group, std::string_view key);

// The numbered parts of a version text ("131.0.6778.85"): digits only, separated by dots, at most
// five digits each; nothing for any other text.
std::optional<std::vector<int>> versionParts(std::string_view text);

}  // namespace tk
