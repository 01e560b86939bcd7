// The processes that a run starts of this program for a part of it with other rights: the
// system folder's step refuses to work without administrator rights and owns its boxes by the
// run's window; the browser check holds the browser until the run lets it go.
#include "app/program.h"

namespace tk {
namespace {

int systemFolderStep(Platform& platform, const Options& options, const std::string& logPath) {
  if (!platform.DescribeSystem().elevated) {
    platform.Log("Adım yönetici yetkisi olmadan başlatıldı: yapılmadı");
    return kStepNotElevated;
  }
  if (!platform.AdoptOwnerWindow(options.ownerWindow)) {
    platform.Log("Adımın penceresi bir kurulum penceresi değil: " + options.ownerWindow);
    return kExitBadCommandLine;
  }
  Form1 form(platform, options, logPath);
  runHandler(form, [&] { form.systemFolderStep(); });
  return form.exitCode();
}

}  // namespace

int runStepProcess(Platform& platform, const ProgramStart& start, const Options& options) {
  std::string logPath;
  try {
    logPath = platform.OpenLog(options.logFile);
  } catch (const PlatformError&) {
    // The run's log may lie where these rights cannot write: the step goes on without it.
  }
  logStart(platform, start);
  int exitCode = kExitInstalled;
  if (options.step == Step::SystemFolder) {
    exitCode = systemFolderStep(platform, options, logPath);
  } else {
    Form1 form(platform, options, logPath);
    runHandler(form, [&] { form.browserCheckStep(); });
  }
  platform.Log("Adımın çıkış kodu: " + std::to_string(exitCode));
  return exitCode;
}

}  // namespace tk
