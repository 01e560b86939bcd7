// The current driver source on the fake: the lists asked in order, the first that gives a driver
// winning, every way a list gives nothing or names an address it may not; the setting.
#include <gtest/gtest.h>

#include "fake_platform.h"
#include "install/driver_source.h"
#include "platform/profile.h"

namespace tk {
namespace {

const std::string kLists = "https://" TOVRENKUR_DRIVER_LISTS_HOST "/chrome-for-testing/";
const std::string kBuilds = kLists + "latest-patch-versions-per-build-with-downloads.json";
const std::string kMilestones = kLists + "latest-versions-per-milestone-with-downloads.json";
const std::string kServer = "https://" TOVRENKUR_DRIVER_HOST,
                  kHost = TOVRENKUR_DRIVER_DOWNLOAD_HOST;
const std::string kPublic = "https://" + kHost + "/chrome-for-testing-public/";
const std::string k131 = kPublic + "131.0.6778.85/win32/chromedriver-win32.zip";
const std::string k131Milestone = kPublic + "131.0.6778.108/win32/chromedriver-win32.zip";
const std::string k110 = kServer + "/110.0.5481.77/chromedriver_win32.zip";

// One entry in the published shape: Chrome's win32 download, chromedriver's for win64, `platform`.
std::string list(const std::string& group, const std::string& key, const std::string& url,
                 const std::string& platform = "win32", std::string version = "") {
  if (version.empty())
    version = url == k131Milestone ? "131.0.6778.108" : "131.0.6778.85";
  return R"({"timestamp":"2024-11-20T10:09:13Z",")" + group + R"(":{")" + key +
         R"(":{"version":")" + version +
         R"(","downloads":{"chrome":[{"platform":"win32","url":"https://)" + kHost +
         R"(/c.zip"}],"chromedriver":[{"platform":"win64","url":"https://)" + kHost +
         R"(/64.zip"},{"platform":")" + platform + R"(","url":")" + url + R"("}]}}}})";
}

// The address the lists give for `version`, and the addresses asked, in order.
std::pair<std::string, std::vector<std::string>> resolve(
    const std::string& version, const std::map<std::string, fake::HttpScript>& http) {
  fake::FakePlatform platform;
  platform.http = http;
  std::string address = publishedDriverAddress(platform, version);
  std::vector<std::string> asked;
  for (const fake::Call& call : platform.callsOf("Open"))
    asked.push_back(call.args[1]);
  EXPECT_EQ(platform.logged.back().find("hiçbir liste") != std::string::npos, address.empty());
  return {address, asked};
}

TEST(PublishedDriver, ListsInOrderFirstDriverWins) {
  const std::string builds = list("builds", "131.0.6778", k131);
  const std::pair<fake::HttpScript, std::string> answers[] = {
      {{200, builds}, k131},
      {{404, builds}, k131Milestone},
      {{200, list("builds", "131.0.6779", k131)}, k131Milestone},           // no entry
      {{200, list("builds", "131.0.6778", k131, "win64")}, k131Milestone},  // no win32 driver
      {{200, builds.substr(0, builds.size() - 1)}, k131Milestone},          // malformed
      {{200, builds + std::string(kMaxListSize, ' ')}, k131Milestone},      // too large
      {{200, std::string(8000000, '[') + std::string(8000000, ']')}, k131Milestone},  // deep
  };
  // Addresses a list may not name: anything but the one published for its entry's version
  // (another bucket or object on that host, another version, scheme or host), or a bad version.
  std::vector<std::pair<fake::HttpScript, std::string>> refused(std::begin(answers),
                                                                std::end(answers));
  const std::string tail = "/131.0.6778.85/win32/chromedriver-win32.zip";
  for (const auto& [url, version] : std::vector<std::pair<std::string, std::string>>{
           {"https://" + kHost + "/baska-kova" + tail, "131.0.6778.85"},
           {kPublic + "131.0.6778.86/win32/chromedriver-win32.zip", "131.0.6778.85"},
           {"https://127.0.0.1/chrome-for-testing-public" + tail, "131.0.6778.85"},
           {kPublic + "131.0.6778/win32/chromedriver-win32.zip", "131.0.6778"}})
    refused.push_back({{200, list("builds", "131.0.6778", url, "win32", version)}, k131Milestone});
  using Result = std::pair<std::string, std::vector<std::string>>;
  for (const auto& [answer, address] : refused) {
    std::vector<std::string> asked{kBuilds, kMilestones};
    asked.resize(address == k131 ? 1 : 2);
    EXPECT_EQ(
        resolve("131.0.6778.69", {{kBuilds, answer},
                                  {kMilestones, {200, list("milestones", "131", k131Milestone)}}}),
        Result(address, asked))
        << answer.body.substr(0, 300);
  }
  const std::string b110 = kServer + "/LATEST_RELEASE_110.0.5481",
                    m110 = kServer + "/LATEST_RELEASE_110";
  EXPECT_EQ(resolve("110.0.5481.178", {{b110, {200, "110.0.5481.77"}}}), Result(k110, {b110}));
  EXPECT_EQ(resolve("110.0.5481.178", {{m110, {200, "110.0.5481.77\r\n"}}}),
            Result(k110, {b110, m110}));
  EXPECT_EQ(resolve("110.0.5481.178", {{b110, {200, "111.0.5563.64"}}, {m110, {200, "../x"}}}),
            Result("", {b110, m110}));
  EXPECT_EQ(resolve("131.0.6778.69", {}), Result("", {kBuilds, kMilestones}));  // no network
  EXPECT_EQ(resolve("89.0.4389.128", {}), Result("", {}));
  EXPECT_EQ(resolve("131.0.6778", {}), Result("", {}));
}

TEST(DriverSetting, SwitchThenIniThenTable) {
  // The source; none when the file is refused, in a text naming the file and (for a bad value)
  // the key, or why the file could not be read.
  auto setting = [](const std::vector<std::string>& arguments, std::optional<std::string> ini,
                    const char* why = "\r\n[Driver] bölümü, Source anahtarı") {
    fake::FakePlatform platform;
    std::string file = platform.appPath + "\\TovrenKur.ini", refusal;
    if (ini)
      platform.addFile(file, *ini);
    auto source = driverSourceSetting(platform, parseArguments(arguments).options, refusal);
    EXPECT_EQ(refusal.find(file + why) != std::string::npos, !source) << refusal;
    return source;
  };
  const std::string ini = "[Driver]\r\nSource=current\r\n";
  EXPECT_EQ(setting({"/DRIVER=current"}, "[Driver]\nSource=bozuk"), DriverSource::Current);
  EXPECT_EQ(setting({"-driver=TABLE"}, "[Driver]\nSource=current"), DriverSource::Table);
  EXPECT_EQ(setting({}, {}), DriverSource::Table);
  EXPECT_EQ(setting({}, "[driver]\r\n source = \"Current\" \r\n"), DriverSource::Current);
  EXPECT_EQ(setting({}, "[Driver]\nSource=current ; yorum"), std::nullopt);
  std::string wide = "\xFF\xFE";  // UTF-16 LE
  for (char c : ini)
    wide += {c, '\0'};
  wide += std::string(";\0\x3D\xD8\x00\xDE", 6);  // a comment of a pair of surrogates
  EXPECT_EQ(setting({}, wide), DriverSource::Current);
  EXPECT_EQ(setting({}, "\xEF\xBB\xBF" + ini), DriverSource::Current);
  // Never read as no setting: what is not text as Notepad saves it (a NUL, a byte the code page
  // lacks, broken UTF-8 after its mark, an odd or unpaired UTF-16 text, too large a file).
  for (const std::string& text :
       {ini + '\0', "; \x81\r\n" + ini, "\xEF\xBB\xBF; \xFD\r\n" + ini, wide + "x",
        wide + std::string("\0\xD8", 2), ini + std::string(kMaxProfileBytes, ';')})
    EXPECT_EQ(setting({}, text, "\r\n"), std::nullopt) << text.substr(0, 40);
}

}  // namespace
}  // namespace tk
