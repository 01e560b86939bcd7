// dosyaIndir on the fake: the calls in order, which statuses write, and which failures end in
// the message box and which go to the caller.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "fake_platform.h"

namespace tk {
namespace {

const std::string kUrl = "https://sunucu.example/105.0.5195.52/chromedriver_win32.zip";
const std::string kPath = "C:\\Kurulum\\Tovren-Selvane\\chromedriver_win32.zip";

struct Fixture {
  Fixture() { platform.addFile(kPath, "eski arşiv"); }
  fake::FakePlatform platform;
  Form1 form{platform};
};

TEST(Download, OnlyStatus200WritesWithTheseCallsInOrder) {
  for (int status : {200, 404, 500, 403, 204}) {
    Fixture f;
    f.platform.http[kUrl] = {status, "yeni arşiv"};
    f.form.dosyaIndir(kUrl, kPath);
    std::vector<fake::Call> expected{{"CreateObject", {"MSXML2.XMLHTTP"}},
                                     {"Open", {"GET", kUrl, "False"}},
                                     {"Send", {kUrl}},
                                     {"Status", {}}};
    if (status == 200)
      expected.push_back({"SaveResponseBody", {kPath}});
    EXPECT_EQ(f.platform.calls, expected) << status;
    EXPECT_EQ(f.platform.content(kPath), status == 200 ? "yeni arşiv" : "eski arşiv") << status;
    EXPECT_TRUE(f.platform.shown.empty()) << status;
  }
}

TEST(Download, FailuresAfterOpenEndInTheMessageBox) {
  struct Case {
    std::string url;
    int32_t sendError, saveError;
    std::string number;
  };
  for (const Case& c :
       {Case{kUrl, -2147012851, 0, "-2147012851"}, Case{kUrl, -2147012867, 0, "-2147012867"},
        Case{kUrl, 0, -2147012866, "-2147012866"}, Case{kUrl, 0, 76, "76"},
        // Open only records the address, so the empty one fails when it is sent.
        Case{"", 0, 0, "-2147012891"}}) {
    Fixture f;
    f.platform.http[kUrl].sendError = c.sendError;
    f.platform.http[kUrl].saveError = c.saveError;
    EXPECT_NO_THROW(f.form.dosyaIndir(c.url, kPath));
    EXPECT_EQ(
        f.platform.shown,
        (std::vector<fake::MsgBoxShown>{{"Kurulum sırasında hata oluştu ! Hata No: " + c.number, 64,
                                         std::string("TovrenKur v1.0.9"), 1}}));
    EXPECT_EQ(f.platform.content(kPath), "eski arşiv");
  }
}

TEST(Download, FailuresOfCreationAndOpenGoToTheCaller) {
  for (const char* op : {"CreateObject", "Open"}) {
    Fixture f;
    f.platform.http[kUrl] = {200, "yeni arşiv"};
    f.platform.failOn(op, "*", -2147012891);
    try {
      f.form.dosyaIndir(kUrl, kPath);
      ADD_FAILURE() << op << " did not reach the caller";
    } catch (const PlatformError& error) {
      EXPECT_EQ(error.number, -2147012891);
    }
    EXPECT_TRUE(f.platform.shown.empty());
    EXPECT_TRUE(f.platform.callsOf("Send").empty());
  }
}

}  // namespace
}  // namespace tk
