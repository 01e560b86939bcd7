// The Chrome stage of the Continue action: the sixteen-row driver table, the version key, the two
// texts it shows, and the hosts the drivers come from.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tk {

struct DriverRow {
  std::string_view key;   // the first three characters of a Chrome version text
  std::string_view path;  // the archive's path on the driver download server
};

// Compared in this order, first match wins.
inline constexpr std::array<DriverRow, 16> kDriverTable{{
    {"105", "/105.0.5195.52/chromedriver_win32.zip"},
    {"104", "/104.0.5112.79/chromedriver_win32.zip"},
    {"103", "/103.0.5060.134/chromedriver_win32.zip"},
    {"102", "/102.0.5005.27/chromedriver_win32.zip"},
    {"101", "/101.0.4951.41/chromedriver_win32.zip"},
    {"100", "/100.0.4896.60/chromedriver_win32.zip"},
    {"99.", "/99.0.4844.51/chromedriver_win32.zip"},
    {"98.", "/98.0.4758.102/chromedriver_win32.zip"},
    {"97.", "/97.0.4692.71/chromedriver_win32.zip"},
    {"96.", "/96.0.4664.45/chromedriver_win32.zip"},
    {"95.", "/95.0.4638.69/chromedriver_win32.zip"},
    {"94.", "/94.0.4606.113/chromedriver_win32.zip"},
    {"93.", "/93.0.4577.63/chromedriver_win32.zip"},
    {"92.", "/92.0.4515.107/chromedriver_win32.zip"},
    {"91.", "/91.0.4472.101/chromedriver_win32.zip"},
    {"90.", "/90.0.4430.24/chromedriver_win32.zip"},
}};

// The registry value that Chrome keeps its installed version in, for the current user.
inline constexpr std::string_view kChromeVersionValue =
    "HKEY_CURRENT_USER\\Software\\Google\\Chrome\\BLBeacon\\version";

// Where users of an unsupported Chrome ask for help.
inline constexpr std::string_view kSupportAddress = "destek@tovren.com.tr";

// The host of the driver download server, fixed when the program is built.
std::string_view driverHost();
// The host of the published driver lists, and the host of the drivers they name, likewise fixed.
std::string_view driverListsHost();
std::string_view driverDownloadHost();

// The first three characters of the version text, the whole text when it is shorter.
std::string versionKey(std::string_view versionText);

// The path of the first row whose key equals `key`; nothing when no row does.
std::optional<std::string_view> driverPath(std::string_view key);

// The box shown when no Chrome is installed for this user.
std::string chromeMissingText();

// The box shown for a version outside the table, with the whole version text.
std::string unsupportedVersionText(std::string_view versionText);

}  // namespace tk
