// The Win32 window's state in one struct, and the layout functions that build and scale its
// controls from the stored description (twips, fonts, colours, tab order).
#pragma once

#include <utility>
#include <vector>

#include "platform/windows/handles_win.h"
#include "platform/windows/window_win.h"

namespace tk::host {

// One control of the description and its window.
struct ChildWindow {
  const Control* control;
  HWND hwnd;
  int id;  // 100 + the control's place in the description
};

struct FormWindowState {
  Form1* form = nullptr;
  ClickHandler onClick;
  HWND hwnd = nullptr;
  // In tab-index order for the focusable controls, then shapes, then labels: the z-order, which
  // is also the order Tab walks and the order siblings paint over each other.
  std::vector<ChildWindow> children;
  UINT dpi = 96;
  // Released with the state, after the windows that draw with them.
  std::vector<std::pair<FontSpec, UniqueGdiObject>> fonts;    // one per distinct font
  std::vector<std::pair<COLORREF, UniqueGdiObject>> brushes;  // for fixed RGB colours
  WNDPROC editProc = nullptr;                                 // the EDIT class's own procedure
  HWND lastFocus = nullptr;  // restored when the window is activated
  bool busy = false;         // a handler is running
  bool closed = false;
};

// Window ids of the controls start here: IDOK and IDCANCEL, which IsDialogMessageW sends for
// Enter and Esc, must never match a control.
inline constexpr int kFirstControlId = 100;

// The size of the form window whose client area is the stored one at `dpi`.
SIZE formFrameSize(UINT dpi);
// Creates every control window as a child of state.hwnd, hidden until the form is shown, at its
// place and in its font for `dpi`: laid out once. The client area is corrected first where the
// frame was sized for another DPI.
void createControls(FormWindowState& state, UINT dpi);
// Sizes the window's client area, the fonts and every control anew for `dpi`.
void applyDpi(FormWindowState& state, UINT dpi);
// The DPI a new window most likely gets: the system's.
UINT systemDpi();
// The DPI the window is shown at (the monitor's with per-monitor awareness).
UINT windowDpi(HWND hwnd);

// The brush and colours of a control's background and text (WM_CTLCOLOR*); null for controls
// that draw themselves in the default colours.
HBRUSH controlColors(FormWindowState& state, HWND child, HDC dc);

ChildWindow* childByHwnd(FormWindowState& state, HWND hwnd);
ChildWindow* childById(FormWindowState& state, int id);
ChildWindow* childByControl(FormWindowState& state, const Control& control);
// The first visible, enabled tab stop after `from` in tab order (wrapping), or the first one
// when `from` is null; null when there is none.
HWND nextTabStop(const FormWindowState& state, HWND from);

// The window styles of the form, for sizing and creating it.
inline constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
inline constexpr DWORD kFormExStyle = 0;

}  // namespace tk::host
