// The current driver source on the fake: the lists asked in order, the first that gives a driver
// winning, every way a list gives nothing; the addresses a list may name; the setting.
#include <gtest/gtest.h>

#include "fake_platform.h"
#include "install/driver_source.h"

namespace tk {
namespace {

const std::string kLists =
    std::string("https://") + TOVRENKUR_DRIVER_LISTS_HOST + "/chrome-for-testing/";
const std::string kBuilds = kLists + "latest-patch-versions-per-build-with-downloads.json";
const std::string kMilestones = kLists + "latest-versions-per-milestone-with-downloads.json";
const std::string kServer = std::string("https://") + TOVRENKUR_DRIVER_HOST;
const std::string kStorage = std::string("https://") + TOVRENKUR_DRIVER_DOWNLOAD_HOST;
const std::string kLatest = kServer + "/LATEST_RELEASE_";
const std::string k131 = kStorage + "/cft/131.0.6778.85/win32/chromedriver-win32.zip";
const std::string k131Milestone = kStorage + "/cft/131.0.6778.108/win32/chromedriver-win32.zip";
const std::string k110 = kServer + "/110.0.5481.77/chromedriver_win32.zip";

// A list in the published shape with one entry: Chrome's own win32 download first, then the
// entry's chromedriver downloads, {platform, url}.
std::string list(const std::string& group, const std::string& key,
                 const std::vector<std::pair<std::string, std::string>>& drivers) {
  std::string entries;
  for (const auto& [platform, url] : drivers)
    entries += std::string(entries.empty() ? "" : ",") + R"({"platform":")" + platform +
               R"(","url":")" + url + R"("})";
  return R"({"timestamp":"2024-11-20T10:09:13Z",")" + group + R"(":{")" + key +
         R"(":{"version":"x","revision":"1","downloads":{"chrome":[{"platform":"win32","url":")" +
         kStorage + R"(/chrome-win32.zip"}],"chromedriver":[)" + entries + "]}}}}";
}

TEST(PublishedDriver, ListsInOrderFirstDriverWins) {
  const std::string builds =
      list("builds", "131.0.6778", {{"win64", kStorage + "/64.zip"}, {"win32", k131}});
  const fake::HttpScript milestones{200, list("milestones", "131", {{"win32", k131Milestone}})};
  const fake::HttpScript notFound{404, "yok"};
  struct Case {
    std::string version;
    std::map<std::string, fake::HttpScript> http;
    std::string address;
    std::vector<std::string> asked;
  };
  const std::vector<std::string> both{kBuilds, kMilestones};
  const Case cases[] = {
      {"131.0.6778.69", {{kBuilds, {200, builds}}, {kMilestones, milestones}}, k131, {kBuilds}},
      {"131.0.6779.3", {{kBuilds, {200, builds}}, {kMilestones, milestones}}, k131Milestone, both},
      {"131.0.6778.69", {{kBuilds, notFound}, {kMilestones, milestones}}, k131Milestone, both},
      {"131.0.6778.69",
       {{kBuilds, {200, builds.substr(0, builds.size() - 1)}}, {kMilestones, milestones}},
       k131Milestone,
       both},
      {"131.0.6778.69",
       {{kBuilds, {200, list("builds", "131.0.6778", {{"win32", "https://127.0.0.1/c.zip"}})}},
        {kMilestones, milestones}},
       k131Milestone,
       both},
      {"131.0.6778.69",
       {{kBuilds, {200, list("builds", "131.0.6778", {{"win64", k131}})}},
        {kMilestones, milestones}},
       k131Milestone,
       both},
      {"131.0.6778.69",
       {{kBuilds, {200, builds + std::string(kMaxListSize, ' ')}}, {kMilestones, milestones}},
       k131Milestone,
       both},
      {"131.0.6778.69",
       {{kBuilds, {200, std::string(8000000, '[') + std::string(8000000, ']')}},
        {kMilestones, milestones}},
       k131Milestone,
       both},
      {"131.0.6778.69",
       {{kBuilds, {200, list("builds", "131.0.6778", {{"win32", "https://x/\xff"}})}},
        {kMilestones, {200, list("milestones", "131", {{"win32", "http://x/c.zip"}})}}},
       "",
       both},
      {"131.0.6778.69", {}, "", both},  // no network
      {"110.0.5481.178",
       {{kLatest + "110.0.5481", {200, "110.0.5481.77"}}},
       k110,
       {kLatest + "110.0.5481"}},
      {"110.0.5481.178",
       {{kLatest + "110.0.5481", notFound}, {kLatest + "110", {200, "110.0.5481.77\r\n"}}},
       k110,
       {kLatest + "110.0.5481", kLatest + "110"}},
      {"110.0.5481.178",
       {{kLatest + "110.0.5481", {200, "111.0.5563.64"}}, {kLatest + "110", {200, "../x/y.z"}}},
       "",
       {kLatest + "110.0.5481", kLatest + "110"}},
      {"89.0.4389.128", {}, "", {}},
      {"131", {}, "", {}},
  };
  for (const Case& c : cases) {
    fake::FakePlatform platform;
    platform.http = c.http;
    std::string name =
        c.version + " " + (c.http.empty() ? "" : c.http.begin()->second.body.substr(0, 60));
    EXPECT_EQ(publishedDriverAddress(platform, c.version), c.address) << name;
    std::vector<std::string> asked;
    for (const fake::Call& call : platform.callsOf("Open"))
      asked.push_back(call.args[1]);
    EXPECT_EQ(asked, c.asked) << name;
    EXPECT_EQ(platform.logged.back().find("hiçbir liste") != std::string::npos, c.address.empty())
        << name << ": " << platform.logged.back();
  }
}

TEST(PublishedDriver, OnlyHttpsOnTheDriverHostsIsADriverAddress) {
  std::string host = TOVRENKUR_DRIVER_DOWNLOAD_HOST;
  const std::pair<std::string, bool> cases[] = {
      {k131, true},
      {k110, true},
      {"http://" + host + "/c.zip", false},
      {"https://127.0.0.1/c.zip", false},
      {"https://" + host + ".example.com/c.zip", false},
      {"https://user@" + host + "/c.zip", false},
      {kStorage + ":8443/c.zip", false},
      {kStorage, false},
      {kStorage + "/", false},
      {kStorage + "/a b.zip", false},
      {kStorage + "/a\\b.zip", false},
      {kStorage + "/sürücü.zip", false},
  };
  for (const auto& [address, allowed] : cases)
    EXPECT_EQ(isDriverAddress(address), allowed) << address;
}

TEST(DriverSetting, SwitchThenIniThenTable) {
  struct Case {
    std::vector<std::string> arguments;
    std::optional<std::string> ini;
    std::optional<DriverSource> source;  // nothing: refused
  };
  const Case cases[] = {
      {{"/DRIVER=current"}, "[Driver]\nSource=bozuk", DriverSource::Current},
      {{"-driver=TABLE"}, "[Driver]\nSource=current", DriverSource::Table},
      {{}, {}, DriverSource::Table},
      {{}, "\xEF\xBB\xBF[driver]\r\n  source = \"Current\" \r\n", DriverSource::Current},
      {{}, "[Başka]\nSource=current\n[Driver]\nX=1", DriverSource::Table},
      {{}, ";[Driver]\nSource=current", DriverSource::Table},
      {{}, "[Driver]\nSource=table\n[Driver]\nSource=current", DriverSource::Table},
      {{}, "[Driver]\nSource=current ; yorum", {}},
      {{}, "[Driver]\nSource=", {}},
  };
  for (const Case& c : cases) {
    fake::FakePlatform platform;
    std::string file = platform.appPath + "\\TovrenKur.ini";
    if (c.ini)
      platform.addFile(file, *c.ini);
    std::string refusal;
    ParsedCommandLine parsed = parseArguments(c.arguments);
    ASSERT_FALSE(parsed.refused);
    std::string name = c.ini.value_or("(no file)");
    EXPECT_EQ(driverSourceSetting(platform, parsed.options, refusal), c.source) << name;
    EXPECT_EQ(refusal.empty(), c.source.has_value()) << name;
    if (!c.source) {
      EXPECT_NE(refusal.find(file), std::string::npos) << refusal;
      EXPECT_NE(refusal.find("[Driver] bölümü, Source anahtarı"), std::string::npos) << refusal;
    }
  }
  EXPECT_EQ(parseArguments({"/DRIVER=latest"}).refused, "/DRIVER=latest");
}

}  // namespace
}  // namespace tk
