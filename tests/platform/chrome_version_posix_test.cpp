// RegRead on the substitute: Chrome's version from the profile folders, and a missing value for
// everything else.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/posix/posix_objects.h"

namespace fs = std::filesystem;

namespace tk {
namespace {

const std::string kValue = "HKEY_CURRENT_USER\\Software\\Google\\Chrome\\BLBeacon\\version";

class ChromeVersion : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tk-chrome-XXXXXX";
    home_ = mkdtemp(pattern);
    saveAndSet("HOME", home_.c_str());
    saveAndSet("XDG_CONFIG_HOME", nullptr);
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) {
      if (value)
        setenv(name.c_str(), value->c_str(), 1);
      else
        unsetenv(name.c_str());
    }
    fs::remove_all(home_);
  }
  void saveAndSet(const std::string& name, const char* value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    if (value)
      setenv(name.c_str(), value, 1);
    else
      unsetenv(name.c_str());
  }
  void write(const fs::path& config, const std::string& profile, const std::string& text) {
    fs::create_directories(config / profile);
    std::ofstream(config / profile / "Last Version") << text;
  }
  int32_t failure(const std::string& name) {
    try {
      posix::regRead(name);
    } catch (const PlatformError& error) {
      return error.number;
    }
    return 0;
  }

  fs::path home_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(ChromeVersion, ChromeFirstThenChromiumTrimmed) {
  fs::path config = home_ / ".config";
  EXPECT_EQ(failure(kValue), err::kRegValueMissing);
  write(config, "chromium", "99.0.4844.84");
  EXPECT_EQ(posix::regRead(kValue), "99.0.4844.84");
  write(config, "google-chrome", "  \n");  // present but empty: Chromium's still counts
  EXPECT_EQ(posix::regRead(kValue), "99.0.4844.84");
  write(config, "google-chrome", "105.0.5195.102\n");
  EXPECT_EQ(posix::regRead(kValue), "105.0.5195.102");
  EXPECT_EQ(posix::regRead("hkey_current_user\\software\\google\\chrome\\blbeacon\\VERSION"),
            "105.0.5195.102");
}

TEST_F(ChromeVersion, ConfigHomeIsHonoured) {
  fs::path config = home_ / "elsewhere";
  write(home_ / ".config", "google-chrome", "90.0.4430.212");
  write(config, "google-chrome", "104.0.5112.81");
  saveAndSet("XDG_CONFIG_HOME", config.c_str());
  EXPECT_EQ(posix::regRead(kValue), "104.0.5112.81");
}

TEST_F(ChromeVersion, OtherNamesAreMissing) {
  write(home_ / ".config", "google-chrome", "105.0.5195.102");
  for (const std::string& name :
       {std::string("HKEY_CURRENT_USER\\Software\\Google\\Chrome\\BLBeacon\\"),
        std::string("HKEY_LOCAL_MACHINE\\Software\\Google\\Chrome\\BLBeacon\\version"),
        std::string("HKEY_CURRENT_USER\\Software\\Google\\Chrome\\version"), std::string()}) {
    EXPECT_EQ(failure(name), err::kRegValueMissing) << name;
  }
}

}  // namespace
}  // namespace tk
