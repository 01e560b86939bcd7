// The installer's window on Win32: Form1's stored description drawn with CreateWindowExW, the
// keyboard handled as in a dialog, and the event loop.
#pragma once

#include <functional>
#include <memory>

#include "app/program.h"
#include "platform/windows/win32.h"

namespace tk::host {

// Runs the handler of a click on `control` at the toolkit's boundary (runHandler); false when
// the program must end. It must not throw.
using ClickHandler = std::function<bool(const Control&)>;

struct FormWindowState;

class WinFormWindow : public FormWindow {
 public:
  // Creates the window and every control, hidden, laid out for the window's DPI.
  WinFormWindow(Form1& form, ClickHandler onClick);
  ~WinFormWindow() override;
  WinFormWindow(const WinFormWindow&) = delete;
  WinFormWindow& operator=(const WinFormWindow&) = delete;

  void show() override;
  void run() override;
  void queueClick(const Control& control) override;
  void controlChanged(const Control& control) override;

  // The form window; null once it has been closed.
  HWND handle() const;
  // The window of a control, for tests.
  HWND controlHandle(const Control& control) const;

 private:
  std::unique_ptr<FormWindowState> state_;
};

// The form window of the calling thread (message boxes are owned by it), or null.
HWND findFormWindow();

// Whether a long work runs on the UI thread now (progress_win.cpp): the session must not end
// in its middle.
bool longWorkRunning();

// The window class of the form, also how the tests and findFormWindow recognise it.
inline constexpr const wchar_t* kFormClassName = L"TovrenKurForm1";

}  // namespace tk::host
