// Running the program: the command line read once, the support log opened, the handler boundary
// that every event handler passes through, and the start-up order (create the form, Form_Load,
// show the window, wait for events; unattended, the Continue action starts by itself).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "platform/platform.h"

namespace tk {

// A window toolkit showing Form1 (Win32 on Windows, FLTK elsewhere).
class FormWindow : public ControlView {
 public:
  // Shows the window at the system's default position with the focus on the first control.
  virtual void show() = 0;
  // Runs the event loop until the window is closed.
  virtual void run() = 0;
  // Clicks `control` once the event loop runs, as the user's click would: an unattended run
  // presses "Devam" this way, after the window has been drawn.
  virtual void queueClick(const Control& control) = 0;
};

using MakeFormWindow = std::function<std::unique_ptr<FormWindow>(Form1&, Platform&)>;

// Runs one handler at the toolkit's callback boundary. End and any failure that reached it stop
// here (a failure is reported first, by the form); the result is false when the program must
// end, so the caller closes the window. No exception leaves this function.
bool runHandler(Form1& form, const std::function<void()>& handler);

// A message box as the program logs every one: its style, title and text, then its answer. It is
// shown, or answered with `decided` without being shown. Failures of the box itself travel on.
int messageBox(Platform& platform, std::optional<int> decided, const std::string& prompt,
               int buttons, const std::optional<std::string>& title);

// The failure report that ends the program when a failure reaches a handler's boundary; its last
// line names the support log, when there is one.
std::string failureReport(const PlatformError& error, const std::string& logPath);

// How the program was started: its command line as the system gave it (for the log), and the
// arguments after the program's name.
struct ProgramStart {
  std::string commandLine;
  std::vector<std::string> arguments;
};

// The log's first lines: the program's version and its command line.
void logStart(Platform& platform, const ProgramStart& start);
// The system, whether the run is elevated (and above the signed-in user), the setup folder. A
// run logs them once its window is shown: the user sees it sooner.
void logSystem(Platform& platform);

// A step's process (options.step): no claim of the session's one run (the run that started it
// holds it), the run's log appended to, then the step; its exit code for that run to read.
int runStepProcess(Platform& platform, const ProgramStart& start, const Options& options);

// Reads the command line, then claims the session's one run: a second start brings the running
// one to the front and returns kExitAnotherRun at once, having touched nothing (not even the
// log). Otherwise opens the support log, creates Form1 and its window (none when very silent),
// runs Form_Load while the window is still hidden, then shows it and runs the event loop.
// Returns the exit code, which is also the log's last line.
int runProgram(Platform& platform, const ProgramStart& start, const MakeFormWindow& makeWindow);

}  // namespace tk
