// The form window: its one window procedure, the click boundary, focus kept as a dialog keeps
// it, and the event loop with IsDialogMessageW.
#include "platform/windows/window_win.h"

#include "platform/error.h"
#include "platform/window.h"
#include "platform/windows/strings_win.h"
#include "platform/windows/window_state_win.h"

#include <commctrl.h>

namespace tk::host {
namespace {

constexpr int kIconResource = 1;  // the icon group in tovrenkur.rc

FormWindowState* stateOf(HWND hwnd) {
  return reinterpret_cast<FormWindowState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

bool isUsableFocus(const FormWindowState& state, HWND hwnd) {
  return hwnd != nullptr && IsChild(state.hwnd, hwnd) &&
         (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) && IsWindowEnabled(hwnd);
}

// Puts the focus back where it was when the window was last left, as a dialog does; the first
// tab stop when that control has gone.
void restoreFocus(FormWindowState& state) {
  if (!isUsableFocus(state, state.lastFocus))
    state.lastFocus = nextTabStop(state, nullptr);
  if (state.lastFocus != nullptr)
    SetFocus(state.lastFocus);
}

// A hidden control cannot keep the focus: it moves on to the next visible control in tab order.
void moveFocusOff(FormWindowState& state, HWND hiding) {
  bool focused = GetFocus() == hiding;
  if (!focused && state.lastFocus != hiding)
    return;
  state.lastFocus = nextTabStop(state, hiding);
  if (focused)
    SetFocus(state.lastFocus != nullptr ? state.lastFocus : state.hwnd);
}

// Enter presses the focused button: the answer to DM_GETDEFID, which IsDialogMessageW asks.
LRESULT focusedButtonId(FormWindowState& state) {
  ChildWindow* child = childByHwnd(state, GetFocus());
  if (child == nullptr || child->control->description().kind != ControlKind::CommandButton)
    return 0;
  return MAKELRESULT(child->id, DC_HASDEFID);
}

// Input that arrived while a handler ran was meant for a window that took none: a second click
// on "Devam" would otherwise land on "Kapat", which takes its place.
void discardQueuedInput() {
  MSG message;
  for (int k = 0; k < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT);
       ++k) {
  }
}

void runClick(FormWindowState& state, const Control& control) {
  if (state.busy)
    return;  // a modal loop inside the running handler delivered it
  state.busy = true;
  bool keepRunning = state.onClick(control);
  state.busy = false;
  discardQueuedInput();
  if (!keepRunning && state.hwnd != nullptr)
    DestroyWindow(state.hwnd);
}

void onCommand(FormWindowState& state, WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) != BN_CLICKED || lParam == 0)
    return;
  ChildWindow* child = childById(state, LOWORD(wParam));
  if (child == nullptr || child->hwnd != reinterpret_cast<HWND>(lParam) ||
      child->control->description().kind != ControlKind::CommandButton)
    return;
  runClick(state, *child->control);
}

void onDpiChanged(FormWindowState& state, WPARAM wParam, LPARAM lParam) {
  const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
  SetWindowPos(state.hwnd, nullptr, suggested->left, suggested->top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  applyDpi(state, HIWORD(wParam));
}

LRESULT handleMessage(FormWindowState& state, HWND hwnd, UINT message, WPARAM wParam,
                      LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      onCommand(state, wParam, lParam);
      return 0;
    case DM_GETDEFID:
      return focusedButtonId(state);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
      if (HBRUSH brush =
              controlColors(state, reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)))
        return reinterpret_cast<LRESULT>(brush);
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (isUsableFocus(state, GetFocus()))
          state.lastFocus = GetFocus();
      } else if (!IsIconic(hwnd)) {
        restoreFocus(state);
      }
      return 0;
    case WM_SETFOCUS:
      restoreFocus(state);
      return 0;
    case WM_QUERYENDSESSION:
      // Not in the middle of a download or an extraction: Windows shows the work's reason.
      if (longWorkRunning())
        return FALSE;
      break;
    case WM_CLOSE:
      // The close box is inert while a handler runs, whatever modal loop delivered it.
      if (!state.busy)
        DestroyWindow(hwnd);
      return 0;
    case WM_DPICHANGED:
      onDpiChanged(state, wParam, lParam);
      return 0;
    case WM_SYSCOLORCHANGE:
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case WM_DESTROY:
      state.closed = true;
      break;
    case WM_NCDESTROY:
      state.hwnd = nullptr;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK formProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* state =
        static_cast<FormWindowState*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    state->hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  }
  FormWindowState* state = stateOf(hwnd);
  if (state == nullptr)
    return DefWindowProcW(hwnd, message, wParam, lParam);
  // No C++ exception may unwind through user32's frames.
  try {
    return handleMessage(*state, hwnd, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

HICON loadIcon(HINSTANCE instance, int sizeMetric) {
  int size = GetSystemMetrics(sizeMetric);
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, size,
                                       size, LR_DEFAULTCOLOR));
}

void registerFormClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &formProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground =
      reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(form1Description().backColor.value + 1));
  windowClass.hIcon = loadIcon(instance, SM_CXICON);
  windowClass.hIconSm = loadIcon(instance, SM_CXSMICON);
  windowClass.lpszClassName = kFormClassName;
  RegisterClassExW(&windowClass);  // fails harmlessly when a window before this one did it
}

BOOL CALLBACK matchFormClass(HWND hwnd, LPARAM found) {
  wchar_t name[64];
  if (GetClassNameW(hwnd, name, 64) > 0 && lstrcmpW(name, kFormClassName) == 0) {
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

WinFormWindow::WinFormWindow(Form1& form, ClickHandler onClick)
    : state_(std::make_unique<FormWindowState>()) {
  state_->form = &form;
  state_->onClick = std::move(onClick);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  registerFormClass(instance);
  std::wstring caption = toWide(form1Description().caption);
  // Windows chooses the position; the size is checked once the window's DPI is known.
  SIZE frame = formFrameSize(systemDpi());
  if (CreateWindowExW(kFormExStyle, kFormClassName, caption.c_str(), kFormStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, frame.cx, frame.cy, nullptr, nullptr, instance,
                      state_.get()) == nullptr)
    throw makeError(err::kOutOfMemory);  // the runtime's answer to a window it cannot make
  try {
    createControls(*state_, windowDpi(state_->hwnd));
  } catch (...) {
    DestroyWindow(state_->hwnd);  // no window may outlive the state it points to
    throw;
  }
}

WinFormWindow::~WinFormWindow() {
  if (state_->hwnd != nullptr)
    DestroyWindow(state_->hwnd);
}

void WinFormWindow::show() {
  // The visible control with the lowest tab index takes the focus: "Devam".
  state_->lastFocus = nextTabStop(*state_, nullptr);
  ShowWindow(state_->hwnd, SW_SHOWDEFAULT);
  UpdateWindow(state_->hwnd);
  if (state_->lastFocus != nullptr)
    SetFocus(state_->lastFocus);
}

void WinFormWindow::run() {
  MSG message;
  while (!state_->closed && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (state_->hwnd != nullptr && IsDialogMessageW(state_->hwnd, &message))
      continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void WinFormWindow::queueClick(const Control& control) {
  ChildWindow* child = childByControl(*state_, control);
  if (child == nullptr || state_->hwnd == nullptr)
    return;
  // Drawn first, controls included: a posted message comes before any WM_PAINT, and the click's
  // handler returns to the loop only at its end.
  RedrawWindow(state_->hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  PostMessageW(state_->hwnd, WM_COMMAND, MAKEWPARAM(child->id, BN_CLICKED),
               reinterpret_cast<LPARAM>(child->hwnd));
}

void WinFormWindow::controlChanged(const Control& control) {
  ChildWindow* child = childByControl(*state_, control);
  if (child == nullptr)
    return;
  std::wstring text = toWide(control.Text());
  int length = GetWindowTextLengthW(child->hwnd);
  std::wstring current(static_cast<std::size_t>(length) + 1, L'\0');
  current.resize(static_cast<std::size_t>(GetWindowTextW(child->hwnd, current.data(), length + 1)));
  if (current != text)
    SetWindowTextW(child->hwnd, text.c_str());
  if (control.description().kind == ControlKind::CommandButton)  // the UAC shield (comctl32 v6)
    SendMessageW(child->hwnd, BCM_SETSHIELD, 0, control.ElevationRequired());
  bool shown = (GetWindowLongW(child->hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
  if (shown == control.Visible())
    return;
  if (!control.Visible())
    moveFocusOff(*state_, child->hwnd);
  ShowWindow(child->hwnd, control.Visible() ? SW_SHOWNA : SW_HIDE);
}

HWND WinFormWindow::handle() const {
  return state_->hwnd;
}

HWND WinFormWindow::controlHandle(const Control& control) const {
  ChildWindow* child = childByControl(*state_, control);
  return child != nullptr ? child->hwnd : nullptr;
}

std::unique_ptr<FormWindow> makeFormWindow(Form1& form, Platform&) {
  return std::make_unique<WinFormWindow>(form, [&form](const Control& control) {
    return runHandler(form, [&] { form.Click(control); });
  });
}

HWND findFormWindow() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &matchFormClass, reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace tk::host
