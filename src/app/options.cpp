// The command line's switches as one table: each row names a switch, says whether it takes a
// value, sets the options and describes itself for the /? box.
#include "app/options.h"

#include <algorithm>
#include <string_view>

#include "app/exit_codes.h"

namespace tk {
namespace {

struct Switch {
  std::string_view name;   // upper case, without the leading "/" or "-"
  std::string_view value;  // the value's placeholder in the help; empty for a switch without one
  // Sets the options from the value ("" for a switch without one); false refuses the value.
  bool (*apply)(Options& options, const std::string& value);
  std::string_view help;  // empty: not listed on its own
};

// Only one step a process, and only with its value.
bool setStep(Options& options, Step step, const std::string& window) {
  bool fresh = options.step == Step::Whole;
  options.step = step;
  options.ownerWindow = window;
  return fresh && (step != Step::SystemFolder || !window.empty());
}

bool set(bool& flag) {
  flag = true;
  return true;
}

// A switch whose value is a text (a std::string or an optional one): an empty one is refused.
template <typename Text>
bool setText(Text& field, const std::string& value) {
  field = value;
  return !value.empty();
}

// The quieter of two displays wins: /SILENT /VERYSILENT shows nothing.
bool quieter(Options& options, Display display) {
  options.display = std::max(options.display, display);
  return true;
}

constexpr Switch kSwitches[] = {
    {"SILENT", "", [](Options& o, const std::string&) { return quieter(o, Display::Silent); },
     "Pencere görünür, hiçbir mesaj kutusu beklemez: her soruya önerilen cevap verilir; paket "
     "betiği ve her kayıt en çok 10 dakika beklenir."},
    {"VERYSILENT", "",
     [](Options& o, const std::string&) { return quieter(o, Display::VerySilent); },
     "/SILENT gibi, ama hiçbir pencere görünmez."},
    {"NOSCRIPT", "", [](Options& o, const std::string&) { return set(o.noScript); },
     "Paketin kurulum betiği (install.cmd) çalıştırılmaz."},
    {"NOREGISTER", "", [](Options& o, const std::string&) { return set(o.noRegister); },
     "Bileşenler kopyalanır, hiçbiri kaydettirilmez (regsvr32)."},
    {"LAUNCH", "", [](Options& o, const std::string&) { return set(o.launch); },
     "Sessiz kurulumda da Chrome denetlenir ve Tovren başlatılır."},
    {"CLOSEAPPLICATIONS", "",
     [](Options& o, const std::string&) { return set(o.closeApplications); },
     "Sessiz kurulumda, değiştirilecek dosyaları kullanan programlar (Tovren, chromedriver.exe "
     "gibi) kapatılır; bu seçenek yoksa hiçbiri kapatılmaz."},
    {"LOG", "DOSYA", [](Options& o, const std::string& value) { return setText(o.logFile, value); },
     "Kayıt dosyası bu dosyaya yazılır (klasörü var olmalı; bağlantı olamaz)."},
    {"DRIVER", "table|current",
     [](Options& o, const std::string& value) {
       o.driverSource = parseDriverSource(value);
       return o.driverSource.has_value();
     },
     "Sürücü kaynağı: table (yalnızca sürücü tablosu) ya da current (tabloda olmayan Chrome "
     "için Google'ın yayımladığı listeler); TovrenKur.ini'deki ayarın yerine geçer."},
    {"?", "", [](Options& o, const std::string&) { return set(o.help); },
     "Bu yardım (/HELP de aynısı)."},
    {"HELP", "", [](Options& o, const std::string&) { return set(o.help); }, ""},
    // Not listed: the run gives them to the processes it starts for its steps.
    {"SYSTEMSTEP", "PENCERE",
     [](Options& o, const std::string& value) { return setStep(o, Step::SystemFolder, value); },
     ""},
    {"DESKTOP", "KLASÖR",
     [](Options& o, const std::string& value) { return setText(o.desktop, value); }, ""},
    {"BROWSERCHECK", "",
     [](Options& o, const std::string&) { return setStep(o, Step::BrowserCheck, ""); }, ""},
};

constexpr std::string_view kStepSwitches[] = {"SYSTEMSTEP", "BROWSERCHECK", "DESKTOP"};

constexpr std::string_view kExitCodes[] = {
    "Kuruldu.",
    "Geçersiz komut satırı, kayıt dosyası ya da TovrenKur.ini: hiçbir şey yapılmadı.",
    "Chrome yüklü değil: hiçbir şey değiştirilmedi.",
    "Başlangıç taraması ya da kurulumun ilk yarısı başarısız oldu (hata numarası kayıt "
    "dosyasında).",
    "Kuruldu, ama bazı adımlar atlandı (kayıt dosyası adlarını verir).",
    "Kurulum programı zaten çalışıyor.",
};
static_assert(std::size(kExitCodes) == kExitAnotherRun + 1, "one text for every exit code");

std::string upperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

// The switch's name in upper case, without "/" or "-" and any value; "" for a bare word.
std::string switchName(const std::string& argument) {
  if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-'))
    return "";
  std::size_t equals = argument.find('=');
  return upperAscii(argument.substr(1, equals == std::string::npos ? equals : equals - 1));
}

// Applies one argument; false refuses it.
bool applyArgument(Options& options, const std::string& argument) {
  std::string name = switchName(argument);
  std::size_t equals = argument.find('=');
  for (const Switch& row : kSwitches) {
    if (row.name != name)
      continue;
    bool hasValue = equals != std::string::npos;
    if (hasValue != !row.value.empty())
      return false;
    return row.apply(options, hasValue ? argument.substr(equals + 1) : std::string());
  }
  return false;
}

// A step takes the log, and the system folder's step /NOREGISTER and the desktop it copies from;
// a user's run takes none of the steps' switches.
bool fitsItsStep(const Options& o) {
  bool usersOwn = o.display != Display::Interactive || o.noScript || o.launch ||
                  o.closeApplications || o.help || o.driverSource.has_value();
  switch (o.step) {
    case Step::Whole:
      return o.desktop.empty();
    case Step::SystemFolder:
      return !usersOwn && !o.desktop.empty();
    case Step::BrowserCheck:
      return !usersOwn && !o.noRegister && o.desktop.empty();
  }
  return false;
}

}  // namespace

std::optional<DriverSource> parseDriverSource(std::string_view value) {
  std::string upper = upperAscii(value);
  if (upper == "TABLE")
    return DriverSource::Table;
  if (upper == "CURRENT")
    return DriverSource::Current;
  return std::nullopt;
}

ParsedCommandLine parseArguments(const std::vector<std::string>& arguments) {
  ParsedCommandLine parsed;
  // Every argument is read, so a refused one is named whatever its place, and /VERYSILENT after
  // it still keeps the refusal's box away.
  for (const std::string& argument : arguments) {
    if (!applyArgument(parsed.options, argument) && !parsed.refused)
      parsed.refused = argument;
  }
  for (const std::string& argument : arguments) {
    if (!parsed.refused && !fitsItsStep(parsed.options) &&
        std::find(std::begin(kStepSwitches), std::end(kStepSwitches), switchName(argument)) !=
            std::end(kStepSwitches))
      parsed.refused = argument;
  }
  return parsed;
}

// Appended piece by piece: "\r\n/" + std::string(...) trips GCC 12's -Wrestrict at -O2 (a false
// alarm in the inlined insert at the front).
std::string switchesHelp() {
  std::string text = "TovrenKur.exe [seçenekler]\r\n";
  for (const Switch& row : kSwitches) {
    if (row.help.empty())
      continue;
    text.append("\r\n/").append(row.name);
    if (!row.value.empty())
      text.append("=").append(row.value);
    text.append(": ").append(row.help);
  }
  text.append("\r\n\r\nÇıkış kodları:");
  for (std::size_t code = 0; code < std::size(kExitCodes); ++code)
    text.append("\r\n").append(std::to_string(code)).append(": ").append(kExitCodes[code]);
  return text;
}

}  // namespace tk
