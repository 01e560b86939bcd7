// RegRead on the substitute: Chrome's version from the profile folders, and a missing value for
// everything else.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "number_raised.h"
#include "platform/error.h"
#include "platform/registry.h"

namespace fs = std::filesystem;

namespace tk {
namespace {

const std::string kValue = "HKEY_CURRENT_USER\\Software\\Google\\Chrome\\BLBeacon\\version";

int32_t failure(const std::string& name) {
  return test::numberRaised([&] { host::regRead(name); });
}

void write(const fs::path& config, const std::string& profile, const std::string& text) {
  fs::create_directories(config / profile);
  std::ofstream(config / profile / "Last Version") << text;
}

TEST(ChromeVersion, FromChromeThenChromiumProfileAndNothingElse) {
  char pattern[] = "/tmp/tk-chrome-XXXXXX";
  fs::path home = mkdtemp(pattern);
  std::string oldHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
  setenv("HOME", home.c_str(), 1);
  unsetenv("XDG_CONFIG_HOME");
  fs::path config = home / ".config";

  EXPECT_EQ(failure(kValue), err::kRegValueMissing);
  write(config, "chromium", "99.0.4844.84");
  EXPECT_EQ(host::regRead(kValue), "99.0.4844.84");
  write(config, "google-chrome", "  \n");  // present but empty: Chromium's still counts
  EXPECT_EQ(host::regRead(kValue), "99.0.4844.84");
  write(config, "google-chrome", "105.0.5195.102\n");
  EXPECT_EQ(host::regRead(kValue), "105.0.5195.102");
  EXPECT_EQ(host::regRead("hkey_current_user\\software\\google\\chrome\\blbeacon\\VERSION"),
            "105.0.5195.102");
  for (const std::string& other : {kValue + "x", std::string("HKEY_CURRENT_USER\\Software\\"),
                                   std::string("HKEY_LOCAL_MACHINE\\Software\\Google\\Chrome\\"
                                               "BLBeacon\\version")}) {
    EXPECT_EQ(failure(other), err::kRegValueMissing) << other;
  }
  setenv("XDG_CONFIG_HOME", (home / "elsewhere").c_str(), 1);  // Chrome honours it too
  write(home / "elsewhere", "google-chrome", "104.0.5112.81");
  EXPECT_EQ(host::regRead(kValue), "104.0.5112.81");

  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", oldHome.c_str(), 1);
  fs::remove_all(home);
}

}  // namespace
}  // namespace tk
