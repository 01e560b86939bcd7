// The download on the real platform (libcurl natively, WinINet under Wine) against the loopback
// servers that tests/support/http_servers.py starts: dosyaIndir end to end, with message boxes
// recorded instead of shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "platform/host_platform.h"
#include "platform/http.h"

using RealPlatform = tk::host::HostPlatform;

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

// The one entry of the servers' stored archive (/zip/N), between its 46 and 84 bytes of records.
std::string entryOf(const std::string& archive) {
  return archive.size() < 130 ? "" : archive.substr(46, archive.size() - 130);
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

std::string http(const std::string& path) {
  return "http://127.0.0.1:" + port("TK_HTTP_PORT") + path;
}

std::string https(const char* portName, const std::string& path) {
  return "https://localhost:" + port(portName) + path;
}

TEST(Download, AgainstLoopbackServers) {
  if (port("TK_HTTP_PORT").empty())
    GTEST_SKIP() << "run through tests/support/http_servers.py";
  struct Case {
    std::string url;
    long long newSize;  // the new archive's entry size; -1: the old file stays
    int32_t number;     // reported number, 0 for none
    bool missingFolder = false;
  };
  std::vector<Case> cases{
      {http("/zip/300007"), 300007, 0},
      {http("/redirect/5000"), 5000, 0},
      {http("/zip/6000000"), 6000000, 0},
      // A body that is no archive the program accepts never replaces the old one: an empty
      // one, a hotel network's login page, anything above the ceiling (refused as it arrives).
      {http("/bytes/0"), -1, err::kInvalidFileFormat},
      {http("/page"), -1, err::kInvalidFileFormat},
      {http("/endless"), -1, host::http::kBodyTooLarge},
      {http("/status/404"), -1, 0},
      {http("/status/500"), -1, 0},
      // The temporary file is made only for a 200, so a 404 into a missing folder is silent.
      {http("/status/404"), -1, 0, true},
      {http("/bytes/10"), -1, 76, true},
      {http("/cut/400000/150000"), -1, -2147012866},
      {http("/cut/1000/0"), -1, -2147012866},
      {https("TK_SELFSIGNED_PORT", "/bytes/10"), -1, -2147012851},
      {"http://127.0.0.1:" + port("TK_REFUSED_PORT") + "/x", -1, -2147012867},
      {"", -1, -2147012891},
      {"127.0.0.1/bytes/10", -1, -2147012891},
      {"ftp://127.0.0.1/bytes/10", -1, -2147012891}};
  if (!port("TK_HTTPS_PORT").empty()) {  // the test CA is trusted by this build
    cases.push_back({https("TK_HTTPS_PORT", "/zip/100000"), 100000, 0});
    cases.push_back({https("TK_HTTPS_PORT", "/status/404"), -1, 0});
    cases.push_back({https("TK_HTTPS_PORT", "/to-http/100"), -1, host::http::kRedirectToHttp});
  }
  fs::path folder = fs::temp_directory_path() / fs::path(u8"tk-indir-Şİ");
  fs::path target = folder / "chromedriver_win32.zip";
  const std::string old = "eski arşiv, önceki kurulumdan";
  for (const Case& c : cases) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::ofstream(target, std::ios::binary) << old;
    Recording platform;
    Form1 form(platform);
    form.dosyaIndir(c.url, utf8(c.missingFolder ? folder / "yok" / "arşiv.zip" : target));

    std::vector<std::string> report;
    if (c.number != 0)
      report.push_back("Kurulum sırasında hata oluştu ! Hata No: " + std::to_string(c.number));
    EXPECT_EQ(platform.shown, report) << "'" << c.url << "'";
    std::string content = readAll(target);
    bool expected = c.newSize < 0 ? content == old : entryOf(content) == pattern(c.newSize);
    EXPECT_TRUE(expected) << c.url << ": " << content.size() << " bytes";
    // Nothing else in the folder: no temporary file left behind, no folder created.
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
      names.push_back(utf8(entry.path().filename()));
    EXPECT_EQ(names, std::vector<std::string>{"chromedriver_win32.zip"}) << c.url;
  }
  fs::remove_all(folder);
}

// What a run killed during its download left beside the archive goes before the next download;
// other files stay, even when their names look alike. 4294967 is no process id on either host
// (above Linux's largest, and no multiple of 4 as Windows' are).
TEST(Download, RemovesTheLeftoverOfAKilledRunAndNothingElse) {
  if (port("TK_HTTP_PORT").empty())
    GTEST_SKIP() << "run through tests/support/http_servers.py";
  fs::path folder = fs::temp_directory_path() / fs::path(u8"tk-artık-Ş");
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::vector<std::string> names{"başka.zip.4294967-0.part", "chromedriver_win32.zip",
                                 "chromedriver_win32.zip.4294967-0.part.bak",
                                 "chromedriver_win32.zip.42x-0.part"};
  for (const std::string& name : names)
    std::ofstream(folder / fs::path(std::u8string(name.begin(), name.end()))) << "x";
  std::ofstream(folder / "chromedriver_win32.zip.4294967-3.part") << "yarım arşiv";
  Recording platform;
  Form1(platform).dosyaIndir(http("/zip/1000"), utf8(folder / "chromedriver_win32.zip"));
  std::vector<std::string> left;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    left.push_back(utf8(entry.path().filename()));
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, names);
  EXPECT_EQ(platform.shown, std::vector<std::string>{});
  fs::remove_all(folder);
}

// The proxy line of the log never shows a user name or a password, whatever the setting's form.
TEST(Download, TheProxyAsTheLogShowsItHoldsNoCredentials) {
  EXPECT_EQ(host::http::withoutCredentials("http://a:b@c:3128 https=u:p@v:80;ftp=w"),
            "http://***@c:3128 https=***@v:80;ftp=w");
  // A password may hold ";", "," and "=" as they are.
  EXPECT_EQ(host::http::withoutCredentials("http://ad:p;a,r=o@c:3128 ad:p=a@c:80"),
            "http://***@c:3128 ***@c:80");
}

}  // namespace
}  // namespace tk
