// The Chrome stage: every row of the driver table, versions outside it, and no Chrome at all.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "fake_platform.h"
#include "install/driver_table.h"

namespace tk {
namespace {

const std::string kValue = "HKEY_CURRENT_USER\\Software\\Google\\Chrome\\BLBeacon\\version";
const std::string kMissingText =
    " Chrome yüklü değil ! Öncelikle Chrome Browser kurulumu yapınız. Daha sonra TovrenKur 'u "
    "yeniden çalıştırınız.";
const std::string kUrlStart = std::string("https://") + TOVRENKUR_DRIVER_HOST;

std::string unsupportedText(const std::string& version) {
  return " Chrome Tarayıcı versiyonu 90.x ile 105.x arası destekleniyor. Sizin versiyonunuz: " +
         version + " lütfen destek isteyiniz. " + std::string(kSupportAddress);
}

struct Supported {
  std::string version, key, release;
};

void PrintTo(const Supported& c, std::ostream* out) {
  *out << c.version;
}

class SupportedVersion : public ::testing::TestWithParam<Supported> {};

TEST_P(SupportedVersion, PicksTheRowOfItsKey) {
  const Supported& c = GetParam();
  fake::FakePlatform platform;
  platform.registry[kValue] = c.version;
  Form1 form(platform);
  Form1::DriverChoice choice = form.chooseDriver();
  EXPECT_EQ(choice.versionKey, c.key);
  EXPECT_EQ(choice.address, kUrlStart + "/" + c.release + "/chromedriver_win32.zip");
  EXPECT_TRUE(platform.shown.empty());
  EXPECT_EQ(platform.calls,
            (std::vector<fake::Call>{{"CreateObject", {"WScript.Shell"}}, {"RegRead", {kValue}}}));
}

INSTANTIATE_TEST_SUITE_P(EveryRow, SupportedVersion,
                         ::testing::Values(Supported{"105.0.5195.102", "105", "105.0.5195.52"},
                                           Supported{"104.0.5112.81", "104", "104.0.5112.79"},
                                           Supported{"103.0.5060.53", "103", "103.0.5060.134"},
                                           Supported{"102.0.5005.115", "102", "102.0.5005.27"},
                                           Supported{"101.0.4951.67", "101", "101.0.4951.41"},
                                           Supported{"100.0.4896.127", "100", "100.0.4896.60"},
                                           Supported{"99.0.4844.84", "99.", "99.0.4844.51"},
                                           Supported{"98.0.4758.102", "98.", "98.0.4758.102"},
                                           Supported{"97.0.4692.99", "97.", "97.0.4692.71"},
                                           Supported{"96.0.4664.110", "96.", "96.0.4664.45"},
                                           Supported{"95.0.4638.54", "95.", "95.0.4638.69"},
                                           Supported{"94.0.4606.81", "94.", "94.0.4606.113"},
                                           Supported{"93.0.4577.82", "93.", "93.0.4577.63"},
                                           Supported{"92.0.4515.159", "92.", "92.0.4515.107"},
                                           Supported{"91.0.4472.124", "91.", "91.0.4472.101"},
                                           Supported{"90.0.4430.212", "90.", "90.0.4430.24"},
                                           // Only the first three characters count.
                                           Supported{"105", "105", "105.0.5195.52"},
                                           Supported{"99.x", "99.", "99.0.4844.51"}),
                         [](const auto& info) { return "Row" + std::to_string(info.index); });

struct Unsupported {
  std::string version, key;
};

void PrintTo(const Unsupported& c, std::ostream* out) {
  *out << c.version;
}

class UnsupportedVersion : public ::testing::TestWithParam<Unsupported> {};

TEST_P(UnsupportedVersion, ToldAndGoesOnWithoutAddress) {
  const Unsupported& c = GetParam();
  fake::FakePlatform platform;
  platform.registry[kValue] = c.version;
  Form1 form(platform);
  Form1::DriverChoice choice = form.chooseDriver();  // no End
  EXPECT_EQ(choice.versionKey, c.key);
  EXPECT_EQ(choice.address, "");
  ASSERT_EQ(platform.shown.size(), 1u);
  EXPECT_EQ(platform.shown[0].prompt, unsupportedText(c.version));
  EXPECT_EQ(platform.shown[0].buttons, 0);
  EXPECT_EQ(platform.shown[0].title, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Odd, UnsupportedVersion,
                         ::testing::Values(Unsupported{"106.0.5249.62", "106"},
                                           Unsupported{"89.0.4389.128", "89."},
                                           Unsupported{"9.1.2", "9.1"},
                                           Unsupported{"10.0.1", "10."}, Unsupported{"99", "99"},
                                           Unsupported{" 99.0.1", " 99"},
                                           Unsupported{"9ş.0.1", "9ş."}),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(NoChrome, MissingOrEmptyValueShowsMessageOneAndEnds) {
  for (bool present : {false, true}) {
    fake::FakePlatform platform;
    if (present)
      platform.registry[kValue] = "";
    Form1 form(platform);
    EXPECT_THROW(form.chooseDriver(), ProgramEnd) << "present: " << present;
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0],
              (fake::MsgBoxShown{kMissingText, 64, std::string("TovrenKur v1.0.0"), 1}));
    EXPECT_EQ(platform.calls.back().op, "MsgBox");  // nothing after the box
  }
}

TEST(OtherFailures, TravelOnWithoutAMessage) {
  struct Case {
    std::string op, argument;
    int32_t number;
  };
  for (const Case& c : {Case{"RegRead", "*", -2147024891},  // access denied
                        Case{"RegRead", "*", -2147024883},  // value of another type
                        Case{"CreateObject", "WScript.Shell", 429}}) {
    fake::FakePlatform platform;
    platform.registry[kValue] = "105.0.5195.102";
    platform.failOn(c.op, c.argument, c.number);
    Form1 form(platform);
    try {
      form.chooseDriver();
      ADD_FAILURE() << c.op << " " << c.number << " did not travel on";
    } catch (const PlatformError& error) {
      EXPECT_EQ(error.number, c.number);
    }
    EXPECT_TRUE(platform.shown.empty());
  }
}

}  // namespace
}  // namespace tk
