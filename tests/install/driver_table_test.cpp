// The Chrome stage: every row of the driver table, versions outside it, and no Chrome at all.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "fake_platform.h"
#include "install/driver_table.h"

namespace tk {
namespace {

const std::string kValue = "HKEY_CURRENT_USER\\Software\\Google\\Chrome\\BLBeacon\\version";

TEST(ChooseDriver, KeyAddressAndMessageForEachVersion) {
  struct Case {
    std::string version, key, release;  // release "" = unsupported
  };
  const Case cases[] = {{"105.0.5195.102", "105", "105.0.5195.52"},
                        {"104.0.5112.81", "104", "104.0.5112.79"},
                        {"103.0.5060.53", "103", "103.0.5060.134"},
                        {"102.0.5005.115", "102", "102.0.5005.27"},
                        {"101.0.4951.67", "101", "101.0.4951.41"},
                        {"100.0.4896.127", "100", "100.0.4896.60"},
                        {"99.0.4844.84", "99.", "99.0.4844.51"},
                        {"98.0.4758.102", "98.", "98.0.4758.102"},
                        {"97.0.4692.99", "97.", "97.0.4692.71"},
                        {"96.0.4664.110", "96.", "96.0.4664.45"},
                        {"95.0.4638.54", "95.", "95.0.4638.69"},
                        {"94.0.4606.81", "94.", "94.0.4606.113"},
                        {"93.0.4577.82", "93.", "93.0.4577.63"},
                        {"92.0.4515.159", "92.", "92.0.4515.107"},
                        {"91.0.4472.124", "91.", "91.0.4472.101"},
                        {"90.0.4430.212", "90.", "90.0.4430.24"},
                        {"105", "105", "105.0.5195.52"},
                        {"106.0.5249.62", "106", ""},
                        {"89.0.4389.128", "89.", ""},
                        {"9.1.2", "9.1", ""},
                        {"10.0.1", "10.", ""},
                        {"99", "99", ""},
                        {" 99.0.1", " 99", ""},
                        {"9ş.0.1", "9ş.", ""}};
  for (const Case& c : cases) {
    fake::FakePlatform platform;
    platform.registry[kValue] = c.version;
    Form1 form(platform);
    Form1::DriverChoice choice = form.chooseDriver();
    EXPECT_EQ(choice.versionKey, c.key) << c.version;
    if (c.release.empty()) {
      EXPECT_EQ(choice.address, "") << c.version;
      std::string text =
          " Chrome Tarayıcı versiyonu 90.x ile 105.x arası destekleniyor. Sizin versiyonunuz: " +
          c.version + " lütfen destek isteyiniz. " + std::string(kSupportAddress);
      EXPECT_EQ(platform.shown, (std::vector<fake::MsgBoxShown>{{text, 0, std::nullopt, 1}}));
    } else {
      EXPECT_EQ(choice.address, std::string("https://") + TOVRENKUR_DRIVER_HOST + "/" + c.release +
                                    "/chromedriver_win32.zip");
      EXPECT_TRUE(platform.shown.empty()) << c.version;
    }
    EXPECT_EQ(platform.callsOf("RegRead"), (std::vector<fake::Call>{{"RegRead", {kValue}}}));
  }
}

TEST(ChooseDriver, MissingOrEmptyValueShowsMessageOneAndEnds) {
  for (bool present : {false, true}) {
    fake::FakePlatform platform;
    if (present)
      platform.registry[kValue] = "";
    Form1 form(platform);
    EXPECT_THROW(form.chooseDriver(), ProgramEnd) << "present: " << present;
    std::string text =
        " Chrome yüklü değil ! Öncelikle Chrome Browser kurulumu yapınız. Daha sonra TovrenKur 'u "
        "yeniden çalıştırınız.";
    EXPECT_EQ(platform.shown,
              (std::vector<fake::MsgBoxShown>{{text, 64, std::string("TovrenKur v1.0.0"), 1}}));
    EXPECT_EQ(platform.calls.back().op, "MsgBox");  // nothing after the box
  }
}

TEST(ChooseDriver, OtherFailuresTravelOnWithoutAMessage) {
  struct Case {
    std::string op, argument;
    int32_t number;
  };
  for (const Case& c : {Case{"RegRead", "*", -2147024891},  // access denied
                        Case{"RegRead", "*", -2147023266},  // a value of another type
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
