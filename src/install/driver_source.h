// The driver source: the setting that chooses it, and for a Chrome outside the table the driver
// that the lists Google publishes name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/options.h"
#include "platform/platform.h"

namespace tk {

// The largest list the program reads (the lists weigh a few megabytes): a larger answer is
// refused as it arrives.
inline constexpr uint64_t kMaxListSize = uint64_t{16} << 20;

// Whether a list may name `address` as the driver of its entry of `version`: exactly the address
// Google publishes it under, https://<the newer drivers' host>/chrome-for-testing-public/
// <version>/win32/chromedriver-win32.zip. Every other object on that host (anyone's public files
// lie there) is refused.
bool isDriverAddress(std::string_view address, std::string_view version);

// The driver for the Chrome of `versionText` from the published lists, in their order (Chrome 115
// on: the entry of its MAJOR.MINOR.BUILD, else of its major, in the Chrome for Testing lists;
// Chrome 106 to 114: the older driver server's LATEST_RELEASE texts); "" when none gives one.
// Each list's answer, and why it gave nothing, goes to the support log.
std::string publishedDriverAddress(Platform& platform, std::string_view versionText);

// The driver source of this run, logged: /DRIVER when given, else `Source` in the `[Driver]`
// section of TovrenKur.ini in the setup folder, else the table. A value in the file that is
// neither, or a file that is there but cannot be read as text, gives no source, and `refusal`
// names the file and the key and value or why: the program must then end without changing
// anything.
std::optional<DriverSource> driverSourceSetting(Platform& platform, const Options& options,
                                                std::string& refusal);

}  // namespace tk
