// The download on the real platform (libcurl natively, WinINet under Wine) against the loopback
// servers that tests/support/http_servers.py starts: dosyaIndir end to end, with message boxes
// recorded instead of shown.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "app/form1.h"
#ifdef _WIN32
#include "platform/windows/win_platform.h"
using RealPlatform = tk::win::WinPlatform;
#else
#include "platform/posix/posix_platform.h"
using RealPlatform = tk::posix::PosixPlatform;
#endif

namespace fs = std::filesystem;

namespace tk {
namespace {

class Recording : public RealPlatform {
 public:
  using Platform::MsgBox;
  int MsgBox(const std::string& prompt, int, const std::optional<std::string>&) override {
    shown.push_back(prompt);
    return vbOK;
  }
  std::vector<std::string> shown;
};

// The servers' body: byte i is i % 251.
std::string pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<char>(i % 251);
  return bytes;
}

std::string port(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string utf8(const fs::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string readAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Compares a file with the expected bytes, reporting sizes and the first difference only.
::testing::AssertionResult hasContent(const fs::path& path, const std::string& expected) {
  std::string actual = readAll(path);
  if (actual == expected)
    return ::testing::AssertionSuccess();
  std::size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
    ++at;
  return ::testing::AssertionFailure() << utf8(path) << ": " << actual.size() << " bytes, expected "
                                       << expected.size() << "; first difference at " << at;
}

const std::string kOld = "eski arşiv, önceki kurulumdan";

class Download : public ::testing::Test {
 protected:
  void SetUp() override {
    if (port("TK_HTTP_PORT").empty())
      GTEST_SKIP() << "run through tests/support/http_servers.py";
    folder_ = fs::temp_directory_path() / fs::path(u8"tk-indir-Şİ") /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    std::ofstream(target(), std::ios::binary) << kOld;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_.parent_path(), ignored);
  }

  fs::path target() const { return folder_ / "chromedriver_win32.zip"; }
  static std::string http(const std::string& path) {
    return "http://127.0.0.1:" + port("TK_HTTP_PORT") + path;
  }
  static std::string https(const char* portName, const std::string& path) {
    return "https://localhost:" + port(portName) + path;
  }
  // Downloads into `path`; returns the message shown, if any.
  std::optional<std::string> download(const std::string& url, const fs::path& path) {
    Form1 form(platform_);
    form.dosyaIndir(url, utf8(path));
    EXPECT_LE(platform_.shown.size(), 1u);
    if (platform_.shown.empty())
      return std::nullopt;
    return platform_.shown.back();
  }
  // The folder holds exactly the target: no temporary file was left behind.
  void expectOnlyTheTarget() {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder_))
      names.push_back(utf8(entry.path().filename()));
    EXPECT_EQ(names, std::vector<std::string>{"chromedriver_win32.zip"});
  }

  fs::path folder_;
  Recording platform_;
};

std::string report(int32_t number) {
  return "Kurulum sırasında hata oluştu ! Hata No: " + std::to_string(number);
}

TEST_F(Download, Status200ReplacesByteForByte) {
  struct Case {
    std::string url;
    std::size_t size;
  };
  std::vector<Case> cases{{http("/bytes/300007"), 300007},
                          {http("/redirect/5000"), 5000},
                          {http("/bytes/0"), 0},
                          {http("/bytes/6000000"), 6000000}};
  if (!port("TK_HTTPS_PORT").empty())
    cases.push_back({https("TK_HTTPS_PORT", "/bytes/100000"), 100000});
  for (const Case& c : cases) {
    std::ofstream(target(), std::ios::binary) << kOld;
    EXPECT_EQ(download(c.url, target()), std::nullopt) << c.url;
    EXPECT_TRUE(hasContent(target(), pattern(c.size))) << c.url;
    expectOnlyTheTarget();
  }
}

TEST_F(Download, OtherStatusesLeaveTheOldFileAndShowNothing) {
  std::vector<std::string> urls{http("/status/404"), http("/status/500"), http("/nothing")};
  if (!port("TK_HTTPS_PORT").empty())
    urls.push_back(https("TK_HTTPS_PORT", "/status/404"));
  for (const std::string& url : urls) {
    EXPECT_EQ(download(url, target()), std::nullopt) << url;
    EXPECT_TRUE(hasContent(target(), kOld)) << url;
    expectOnlyTheTarget();
  }
  // The temporary file is created only for a 200, so a 404 into a missing folder is silent too.
  EXPECT_EQ(download(http("/status/404"), folder_ / "yok" / "arşiv.zip"), std::nullopt);
  EXPECT_FALSE(fs::exists(folder_ / "yok"));
}

TEST_F(Download, FailuresAreReportedAndKeepTheOldFile) {
  struct Case {
    std::string url;
    int32_t number;
  };
  for (const Case& c :
       {Case{http("/cut/400000/150000"), -2147012866}, Case{http("/cut/1000/0"), -2147012866},
        Case{https("TK_SELFSIGNED_PORT", "/bytes/10"), -2147012851},
        Case{"http://127.0.0.1:" + port("TK_REFUSED_PORT") + "/x", -2147012867},
        Case{"", -2147012891}, Case{"127.0.0.1/bytes/10", -2147012891},
        Case{"ftp://127.0.0.1/bytes/10", -2147012891}}) {
    EXPECT_EQ(download(c.url, target()), report(c.number)) << "'" << c.url << "'";
    EXPECT_TRUE(hasContent(target(), kOld)) << c.url;
    expectOnlyTheTarget();
    platform_.shown.clear();
  }
}

TEST_F(Download, MissingFolderIsPathNotFound) {
  fs::path missing = folder_ / "Tovren-Selvane" / "chromedriver_win32.zip";
  EXPECT_EQ(download(http("/bytes/10"), missing), report(76));
  EXPECT_FALSE(fs::exists(missing.parent_path()));
  expectOnlyTheTarget();
}

}  // namespace
}  // namespace tk
