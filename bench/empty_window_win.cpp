// The baselines of the start-up benchmark: an empty Win32 window and its message loop, nothing
// else; built with WITH_OLE and linked with TovrenKur.exe's manifest, the same window after a
// start-up with Common Controls 6 and OleInitialize; built with WITH_CONTROLS (and the manifest),
// a window of the form's shape: its client size and its 19 child controls, each of the product's
// class and style at its place, with no scan, no fonts and no colours.
#include "platform/windows/win32.h"

#include <ole2.h>

#ifdef WITH_CONTROLS
#include <string>

#include "app/form_description.h"

namespace {

const wchar_t* classOf(const tk::ControlDescription& d, DWORD& style, DWORD& exStyle) {
  exStyle = 0;
  switch (d.kind) {
    case tk::ControlKind::TextBox:
      style = WS_TABSTOP | ES_LEFT |
              (d.multiLine ? ES_MULTILINE | ES_AUTOVSCROLL : ES_AUTOHSCROLL) |
              (d.locked ? ES_READONLY : 0);
      exStyle = WS_EX_CLIENTEDGE;
      return L"EDIT";
    case tk::ControlKind::CommandButton:
      style = WS_TABSTOP | BS_PUSHBUTTON;
      return L"BUTTON";
    default:
      style = SS_LEFT | SS_NOPREFIX;
      return L"STATIC";
  }
}

int screenDpi() {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

// The window is created at the form's size, as the product creates its own.
void formSize(int& width, int& height) {
  const tk::FormDescription& description = tk::form1Description();
  int dpi = screenDpi();
  RECT frame{0, 0, tk::twipsToPixels(description.clientWidth, dpi),
             tk::twipsToPixels(description.clientHeight, dpi)};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
  width = frame.right - frame.left;
  height = frame.bottom - frame.top;
}

void addControls(HWND form) {
  const tk::FormDescription& description = tk::form1Description();
  int dpi = screenDpi();
  int id = 100;
  for (const tk::ControlDescription& d : description.controls) {
    DWORD style = 0, exStyle = 0;
    const wchar_t* name = classOf(d, style, exStyle);
    std::wstring text(d.text.begin(), d.text.end());  // the ASCII of the captions is enough
    CreateWindowExW(exStyle, name, text.c_str(),
                    WS_CHILD | WS_CLIPSIBLINGS | style | (d.visible ? WS_VISIBLE : 0),
                    tk::twipsToPixels(d.left, dpi), tk::twipsToPixels(d.top, dpi),
                    tk::twipsToPixels(d.width, dpi), tk::twipsToPixels(d.height, dpi), form,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), nullptr, nullptr);
  }
}

}  // namespace
#endif

static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY)
    PostQuitMessage(0);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
#ifdef WITH_OLE
  OleInitialize(nullptr);
#endif
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"EmptyWindow";
  RegisterClassW(&windowClass);
  int width = 440, height = 370;
#ifdef WITH_CONTROLS
  formSize(width, height);
#endif
  HWND hwnd =
      CreateWindowExW(0, L"EmptyWindow", L"Empty window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                      CW_USEDEFAULT, width, height, nullptr, nullptr, instance, nullptr);
#ifdef WITH_CONTROLS
  addControls(hwnd);
#endif
  ShowWindow(hwnd, show);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
