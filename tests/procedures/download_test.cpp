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

TEST(Download, Status200ReplacesTheFileWithTheseCallsInOrder) {
  Fixture f;
  f.platform.http[kUrl] = {200, "yeni arşiv"};
  f.form.dosyaIndir(kUrl, kPath);
  EXPECT_EQ(f.platform.content(kPath), "yeni arşiv");
  EXPECT_TRUE(f.platform.shown.empty());
  EXPECT_EQ(f.platform.calls, (std::vector<fake::Call>{{"CreateObject", {"MSXML2.XMLHTTP"}},
                                                       {"Open", {"GET", kUrl, "False"}},
                                                       {"Send", {kUrl}},
                                                       {"Status", {}},
                                                       {"SaveResponseBody", {kPath}}}));
}

TEST(Download, OtherStatusesWriteNothingAndShowNothing) {
  for (int status : {404, 500, 403, 201, 204, 0}) {
    Fixture f;
    f.platform.http[kUrl] = {status, "hata sayfası"};
    f.form.dosyaIndir(kUrl, kPath);
    EXPECT_EQ(f.platform.content(kPath), "eski arşiv") << status;
    EXPECT_TRUE(f.platform.callsOf("SaveResponseBody").empty()) << status;
    EXPECT_TRUE(f.platform.shown.empty()) << status;
  }
}

struct Reported {
  std::string title;
  int32_t sendError;  // thrown by Send
  int32_t saveError;  // thrown by SaveResponseBody
  std::string url;
  std::string prompt;
};

void PrintTo(const Reported& c, std::ostream* out) {
  *out << c.title;
}

class ReportedFailure : public ::testing::TestWithParam<Reported> {};

TEST_P(ReportedFailure, EndsInTheMessageBoxAndReturnsNormally) {
  const Reported& c = GetParam();
  Fixture f;
  f.platform.http[kUrl].sendError = c.sendError;
  f.platform.http[kUrl].saveError = c.saveError;
  EXPECT_NO_THROW(f.form.dosyaIndir(c.url, kPath));
  ASSERT_EQ(f.platform.shown.size(), 1u);
  EXPECT_EQ(f.platform.shown[0],
            (fake::MsgBoxShown{c.prompt, 64, std::string("TovrenKur v1.0.9"), 1}));
  EXPECT_EQ(f.platform.content(kPath), "eski arşiv");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportedFailure,
    ::testing::Values(
        Reported{"CertificateFailure", -2147012851, 0, kUrl,
                 "Kurulum sırasında hata oluştu ! Hata No: -2147012851"},
        Reported{"CannotConnect", -2147012867, 0, kUrl,
                 "Kurulum sırasında hata oluştu ! Hata No: -2147012867"},
        Reported{"CutTransfer", 0, -2147012866, kUrl,
                 "Kurulum sırasında hata oluştu ! Hata No: -2147012866"},
        Reported{"MissingFolder", 0, 76, kUrl, "Kurulum sırasında hata oluştu ! Hata No: 76"},
        // Open only records the address, so the empty one fails when it is sent.
        Reported{"EmptyAddress", 0, 0, "", "Kurulum sırasında hata oluştu ! Hata No: -2147012891"}),
    [](const auto& info) { return info.param.title; });

TEST(Download, FailuresOfCreationAndOpenGoToTheCaller) {
  struct Case {
    std::string op, argument;
    int32_t number;
  };
  for (const Case& c :
       {Case{"CreateObject", "MSXML2.XMLHTTP", 429}, Case{"Open", "GET", -2147012891}}) {
    Fixture f;
    f.platform.http[kUrl] = {200, "yeni arşiv"};
    f.platform.failOn(c.op, c.argument, c.number);
    try {
      f.form.dosyaIndir(kUrl, kPath);
      ADD_FAILURE() << c.op << " did not reach the caller";
    } catch (const PlatformError& error) {
      EXPECT_EQ(error.number, c.number);
    }
    EXPECT_TRUE(f.platform.shown.empty());
    EXPECT_TRUE(f.platform.callsOf("Send").empty());
    EXPECT_EQ(f.platform.content(kPath), "eski arşiv");
  }
}

}  // namespace
}  // namespace tk
