// The current driver source: the published lists asked in order, each answer checked, every step
// logged; and the setting that turns it on.
#include "install/driver_source.h"

#include <initializer_list>

#include "install/driver_lists.h"
#include "install/driver_table.h"

namespace tk {
namespace {

// The texts joined, without a temporary for every "+".
std::string join(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts)
    text += part;
  return text;
}

constexpr std::string_view kEndsUnchanged = "\r\n\r\nKurulum yapılmadan program kapanıyor.";

void log(Platform& platform, std::initializer_list<std::string_view> parts) {
  platform.Log(join({"Sürücü kaynağı: ", join(parts)}));
}

// The body of a GET answered with 200, within the lists' size; nothing (logged) otherwise.
std::optional<std::string> fetch(Platform& platform, const std::string& url) {
  try {
    std::unique_ptr<XmlHttpRequest> request = platform.CreateXmlHttpRequest();
    request->Open("GET", url, false);
    request->Send();
    if (int status = request->Status(); status != 200) {
      log(platform, {url, ": HTTP ", std::to_string(status)});
      return std::nullopt;
    }
    return request->ResponseText(kMaxListSize);
  } catch (const PlatformError& error) {
    log(platform, {url, ": hata ", std::to_string(error.number), " ", error.description});
    return std::nullopt;
  }
}

// One entry of a Chrome for Testing list.
std::optional<std::string> fromList(Platform& platform, std::string_view list,
                                    std::string_view group, const std::string& key) {
  std::string url = join({"https://", driverListsHost(), "/chrome-for-testing/", list});
  std::optional<std::string> json = fetch(platform, url);
  if (!json)
    return std::nullopt;
  ListAnswer answer = chromedriverWin32(*json, group, key);
  if (!answer.address) {
    log(platform, {url, ": ", key, ": ", answer.problem});
    return std::nullopt;
  }
  if (!isDriverAddress(*answer.address, answer.version)) {
    log(platform, {url, ": izin verilmeyen sürücü adresi reddedildi: ", *answer.address});
    return std::nullopt;
  }
  return answer.address;
}

// A LATEST_RELEASE text of the older driver server: a driver release of the same major, whose
// archive lies on that server.
std::optional<std::string> fromLatestRelease(Platform& platform, const std::string& suffix,
                                             int major) {
  std::string url = join({"https://", driverHost(), "/LATEST_RELEASE_", suffix});
  std::optional<std::string> text = fetch(platform, url);
  if (!text)
    return std::nullopt;
  std::string_view release = *text;
  release = release.substr(0, release.find_last_not_of(" \t\r\n") + 1);
  std::optional<Version> parts = versionParts(release);
  if (!parts || parts->front() != major) {
    log(platform, {url, ": Chrome ", std::to_string(major),
                   " için bir sürüm değil: ", release.substr(0, 64)});
    return std::nullopt;
  }
  return join({"https://", driverHost(), "/", release, "/chromedriver_win32.zip"});
}

std::optional<std::string> fromLists(Platform& platform, const Version& version) {
  std::string major = std::to_string(version[0]);
  std::string build =
      join({major, ".", std::to_string(version[1]), ".", std::to_string(version[2])});
  std::optional<std::string> address;
  if (version[0] >= 115) {
    address =
        fromList(platform, "latest-patch-versions-per-build-with-downloads.json", "builds", build);
    if (!address)
      address = fromList(platform, "latest-versions-per-milestone-with-downloads.json",
                         "milestones", major);
  } else if (version[0] >= 106) {
    address = fromLatestRelease(platform, build, version[0]);
    if (!address)
      address = fromLatestRelease(platform, major, version[0]);
  } else {
    log(platform, {"Chrome ", major, " için yayımlanmış sürücü listesi yok"});
  }
  return address;
}

}  // namespace

bool isDriverAddress(std::string_view address, std::string_view version) {
  return versionParts(version) &&
         address == join({"https://", driverDownloadHost(), "/chrome-for-testing-public/", version,
                          "/win32/chromedriver-win32.zip"});
}

std::string publishedDriverAddress(Platform& platform, std::string_view versionText) {
  std::optional<Version> version = versionParts(versionText);
  std::optional<std::string> address;
  if (!version)
    log(platform, {"Chrome sürümü anlaşılmadı: ", versionText});
  else
    address = fromLists(platform, *version);
  if (!address) {
    log(platform, {"hiçbir liste sürücü vermedi; Chrome ", versionText,
                   " desteklenmeyen bir sürüm gibi ele alınıyor"});
    return "";
  }
  log(platform, {"sürücü ", *address});
  return *address;
}

std::optional<DriverSource> driverSourceSetting(Platform& platform, const Options& options,
                                                std::string& refusal) {
  auto chosen = [&](DriverSource source, std::string_view by) {
    log(platform, {source == DriverSource::Current ? "current (" : "table (", by, ")"});
    return source;
  };
  if (options.driverSource)
    return chosen(*options.driverSource, "/DRIVER");
  std::string file = platform.AppPath() + "\\TovrenKur.ini";
  std::optional<std::string> value;
  try {
    value = platform.ProfileString(file, "Driver", "Source");
  } catch (const PlatformError& error) {
    std::string why = join({error.description, " (Hata No: ", std::to_string(error.number), ")"});
    log(platform, {file, ": ", why});
    refusal = join({"Ayar dosyası okunamadı:\r\n\r\n", file, "\r\n", why, kEndsUnchanged});
    return std::nullopt;
  }
  if (!value)
    return chosen(DriverSource::Table, "varsayılan");
  if (std::optional<DriverSource> source = parseDriverSource(*value))
    return chosen(*source, file);
  log(platform, {file, " içinde [Driver] Source değeri geçersiz: \"", *value, "\""});
  refusal = join({"Ayar dosyasında geçersiz bir değer var:\r\n\r\n", file,
                  "\r\n[Driver] bölümü, Source anahtarı: \"", *value,
                  "\"\r\n\r\nGeçerli değerler: table, current.", kEndsUnchanged});
  return std::nullopt;
}

}  // namespace tk
