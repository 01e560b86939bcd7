// The processes that a run starts of this program for a part of it with other rights: no claim
// of the session's one run (the run that started it holds it), the run's log appended to.
#include "app/program.h"

namespace tk {

int runStepProcess(Platform& platform, const ProgramStart& start, const Options& options) {
  std::string logPath;
  try {
    logPath = platform.OpenLog(options.logFile);
  } catch (const PlatformError&) {
    // The run's log may lie where these rights cannot write: the step goes on without it.
  }
  logStart(platform, start);
  logSystem(platform);
  Form1 form(platform, options, logPath);
  runHandler(form, [&] {
    if (options.step == Step::SystemFolder)
      form.systemFolderStep();
    else
      form.browserCheckStep();
  });
  platform.Log("Adımın çıkış kodu: " + std::to_string(form.exitCode()));
  return form.exitCode();
}

}  // namespace tk
