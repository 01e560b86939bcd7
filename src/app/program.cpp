// The handler boundary and the program's start-up order, with the command line (and the driver
// setting of TovrenKur.ini) refused or answered (/?) before anything else runs.
#include "app/program.h"

#include <new>
#include <string>

#include "install/driver_source.h"

#ifndef TOVRENKUR_VERSION
#define TOVRENKUR_VERSION "?"
#endif

namespace tk {
namespace {

// The run ends before Form1 exists, with `text` (a refusal, or the /? text) in a box of `style`.
// A silent run shows nothing, since no one would answer the box: the log says it instead.
int endBeforeStart(Platform& platform, const Options& options, const std::string& text, int style,
                   int exitCode) {
  std::optional<int> decided = options.unattended() ? std::optional<int>(vbOK) : std::nullopt;
  try {
    messageBox(platform, decided, text, style, std::string(kApplicationTitle));
  } catch (const PlatformError&) {
  }
  platform.Log("Çıkış kodu: " + std::to_string(exitCode));
  return exitCode;
}

// Very silent: no window at all, the Continue action straight after Form_Load.
void runWithoutWindow(Form1& form, Platform& platform) {
  logSystem(platform);
  if (runHandler(form, [&] { form.Form_Load(); }))
    runHandler(form, [&] { form.Click(form.Command1); });
}

void runInWindow(Form1& form, Platform& platform, const MakeFormWindow& makeWindow) {
  std::unique_ptr<FormWindow> window;
  if (!runHandler(form, [&] { window = makeWindow(form, platform); })) {
    logSystem(platform);
    return;  // no window could be made (no display): reported like any failure
  }
  form.setView(window.get());
  bool loaded = runHandler(form, [&] { form.Form_Load(); });
  if (loaded)
    window->show();
  logSystem(platform);
  if (loaded) {
    if (form.options().unattended())
      window->queueClick(form.Command1);
    window->run();
  }
  form.setView(nullptr);
}

}  // namespace

void logStart(Platform& platform, const ProgramStart& start) {
  platform.Log(std::string("TovrenKur ") + TOVRENKUR_VERSION + " başladı");
  platform.Log("Komut satırı: " + start.commandLine);
}

void logSystem(Platform& platform) {
  try {
    Platform::SystemFacts system = platform.DescribeSystem();
    using UserRights = Platform::SystemFacts::UserRights;
    platform.Log("Sistem: " + system.version +
                 "; yönetici yetkisi: " + (system.elevated ? "var" : "yok") +
                 (system.userRights != UserRights::Own ? " (kullanıcınınkinden yüksek)" : ""));
    platform.Log("Kurulum klasörü: " + platform.AppPath());
  } catch (const PlatformError& error) {
    platform.Log("Sistem bilgisi okunamadı: Hata No: " + std::to_string(error.number));
  }
}

std::string failureReport(const PlatformError& error, const std::string& logPath) {
  std::string report =
      "Çalışma zamanı hatası '" + std::to_string(error.number) + "':\r\n\r\n" + error.description;
  if (!logPath.empty())
    report += "\r\n\r\nAyrıntılar kayıt dosyasında: " + logPath;
  return report;
}

bool runHandler(Form1& form, const std::function<void()>& handler) {
  try {
    try {
      handler();
      return true;
    } catch (const ProgramEnd&) {
      return false;
    } catch (const PlatformError& error) {
      form.reportFailure(error);
      return false;
    } catch (const std::bad_alloc&) {
      form.reportFailure(makeError(err::kOutOfMemory));
      return false;
    } catch (const std::exception& error) {
      form.reportFailure(PlatformError(err::kInvalidCall, error.what()));
      return false;
    }
  } catch (...) {
    // The report itself failed (no display, say): the program still ends without unwinding
    // through the toolkit's frames.
    return false;
  }
}

int runProgram(Platform& platform, const ProgramStart& start, const MakeFormWindow& makeWindow) {
  ParsedCommandLine parsed = parseArguments(start.arguments);
  Options& options = parsed.options;
  auto openDefaultLogIfSilent = [&] {
    if (options.unattended()) {
      platform.OpenLog(std::nullopt);
      logStart(platform, start);
      logSystem(platform);
    }
  };
  if (parsed.refused || options.help) {
    openDefaultLogIfSilent();
    if (options.help && !parsed.refused)
      return endBeforeStart(platform, options, switchesHelp(), vbInformation, kExitInstalled);
    return endBeforeStart(platform, options,
                          "Geçersiz komut satırı: " + *parsed.refused + "\r\n\r\n" + switchesHelp(),
                          vbCritical, kExitBadCommandLine);
  }
  if (options.step != Step::Whole)
    return runStepProcess(platform, start, options);
  // Two runs at once would install into the same folders, each removing the other's files.
  if (!platform.ClaimOnlyInstance()) {
    platform.ActivateOtherInstance();
    return kExitAnotherRun;
  }
  std::string logPath;
  try {
    logPath = platform.OpenLog(options.logFile);
  } catch (const PlatformError& error) {
    openDefaultLogIfSilent();  // the log asked for cannot say why: the default one does
    return endBeforeStart(platform, options,
                          "Kayıt dosyası açılamadı: " + *options.logFile + "\r\n\r\nHata No: " +
                              std::to_string(error.number) + " (" + error.description + ")",
                          vbCritical, kExitBadCommandLine);
  }
  logStart(platform, start);
  std::string refusal;
  options.driverSource = driverSourceSetting(platform, options, refusal);
  if (!options.driverSource)
    return endBeforeStart(platform, options, refusal, vbCritical, kExitBadCommandLine);
  Form1 form(platform, options, logPath);
  if (options.display == Display::VerySilent) {
    runWithoutWindow(form, platform);
  } else {
    runInWindow(form, platform, makeWindow);
  }
  platform.Log("Çıkış kodu: " + std::to_string(form.exitCode()));
  return form.exitCode();
}

}  // namespace tk
