// Running the program: the handler boundary that every event handler passes through, and the
// start-up order (create the form, Form_Load, show the window, wait for events).
#pragma once

#include <functional>
#include <memory>

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
};

// Runs one handler at the toolkit's callback boundary. End and any failure that reached it stop
// here (a failure is reported first, with the application title); the result is false when the
// program must end, so the caller closes the window. No exception leaves this function.
bool runHandler(Platform& platform, const std::function<void()>& handler);

// The failure report that ends the program when a failure reaches a handler's boundary.
std::string failureReport(const PlatformError& error);

// The exit code of a start that found another run of the installer in the session.
inline constexpr int kExitAlreadyRunning = 5;

// Claims the session's one run first: a second start brings the running one to the front and
// returns kExitAlreadyRunning at once, having touched nothing. Otherwise creates Form1, attaches
// the window that `makeWindow` builds for it, runs Form_Load while the window is still hidden,
// then shows it and runs the event loop. Returns the exit code.
int runProgram(Platform& platform,
               const std::function<std::unique_ptr<FormWindow>(Form1&, Platform&)>& makeWindow);

}  // namespace tk
