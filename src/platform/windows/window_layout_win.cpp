// The form's controls built and scaled from the stored description: window classes and styles,
// twips to pixels at the window's DPI, fonts, colours, the frames' outline and the tab order.
#include <algorithm>
#include <cmath>
#include <cwchar>

#include "platform/error.h"
#include "platform/windows/dynamic_win.h"
#include "platform/windows/strings_win.h"
#include "platform/windows/window_state_win.h"

namespace tk::host {
namespace {

struct WindowClass {
  const wchar_t* name;
  DWORD style;
  DWORD exStyle;
};

WindowClass windowClassOf(const ControlDescription& description) {
  switch (description.kind) {
    case ControlKind::TextBox: {
      DWORD style = WS_TABSTOP | ES_LEFT;
      // No WS_VSCROLL and no ES_AUTOHSCROLL: a long text wraps at the box's width, and lines
      // below the box are reached with the caret only.
      style |= description.multiLine ? (ES_MULTILINE | ES_AUTOVSCROLL) : ES_AUTOHSCROLL;
      if (description.locked)
        style |= ES_READONLY;
      return {L"EDIT", style, WS_EX_CLIENTEDGE};
    }
    case ControlKind::CommandButton:
      return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0};
    case ControlKind::Label:
    case ControlKind::Shape:
      // Labels wrap their caption and never take an access key.
      return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
  }
  return {L"STATIC", 0, 0};
}

// The focusable controls first, by tab index; then the shapes, drawn above the labels beneath
// them. Win32 walks Tab in this (z-)order, and a window higher in it paints over the lower.
int layer(const ControlDescription& description) {
  switch (description.kind) {
    case ControlKind::TextBox:
    case ControlKind::CommandButton:
      return 0;
    case ControlKind::Shape:
      return 1;
    case ControlKind::Label:
      return 2;
  }
  return 2;
}

std::vector<Control*> zOrder(Form1& form) {
  std::vector<Control*> controls = form.controls();  // front to back
  std::stable_sort(controls.begin(), controls.end(), [](const Control* a, const Control* b) {
    const ControlDescription& x = a->description();
    const ControlDescription& y = b->description();
    if (layer(x) != layer(y))
      return layer(x) < layer(y);
    return layer(x) == 0 && x.tabIndex < y.tabIndex;
  });
  return controls;
}

FormWindowState* stateOfParent(HWND child) {
  return reinterpret_cast<FormWindowState*>(GetWindowLongPtrW(GetParent(child), GWLP_USERDATA));
}

// A multi-line EDIT asks for every key, so it would keep Tab and Enter and, on Esc, post
// WM_CLOSE to its parent. Here it leaves them to IsDialogMessageW, as a dialog's box does.
LRESULT CALLBACK editProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  FormWindowState* state = stateOfParent(edit);
  WNDPROC base = state != nullptr ? state->editProc : nullptr;
  if (base == nullptr)
    return DefWindowProcW(edit, message, wParam, lParam);
  if (message == WM_GETDLGCODE) {
    LRESULT code = CallWindowProcW(base, edit, message, wParam, lParam);
    return code & ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
  }
  if ((message == WM_KEYDOWN || message == WM_CHAR) && wParam == VK_ESCAPE)
    return 0;
  return CallWindowProcW(base, edit, message, wParam, lParam);
}

HFONT createFont(const FontSpec& wanted, UINT dpi) {
  LOGFONTW font{};
  font.lfHeight = -static_cast<LONG>(std::lround(wanted.points * dpi / 72.0));
  font.lfWeight = wanted.bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = static_cast<BYTE>(wanted.charset);
  std::wstring face = toWide(wanted.name);
  std::wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return CreateFontIndirectW(&font);
}

bool sameFont(const FontSpec& a, const FontSpec& b) {
  return a.name == b.name && a.points == b.points && a.bold == b.bold && a.charset == b.charset;
}

HGDIOBJ fontFor(std::vector<std::pair<FontSpec, UniqueGdiObject>>& fonts, const FontSpec& wanted,
                UINT dpi) {
  for (const auto& [known, font] : fonts) {
    if (sameFont(known, wanted))
      return font.get();
  }
  fonts.emplace_back(wanted, UniqueGdiObject(createFont(wanted, dpi)));
  return fonts.back().second.get();
}

// A shape is a rectangle outline, transparent inside: its window keeps only the outline.
void keepOutlineOnly(HWND shape, int width, int height) {
  UniqueGdiObject outline(CreateRectRgn(0, 0, width, height));
  UniqueGdiObject inside(CreateRectRgn(1, 1, width - 1, height - 1));
  auto region = [](const UniqueGdiObject& object) { return static_cast<HRGN>(object.get()); };
  CombineRgn(region(outline), region(outline), region(inside), RGN_DIFF);
  if (SetWindowRgn(shape, region(outline), TRUE))
    outline.release();  // the window owns the region from here on
}

// A control's place and size in pixels at `dpi`.
RECT placeOf(const ControlDescription& d, UINT dpi) {
  const int scale = static_cast<int>(dpi);
  int left = twipsToPixels(d.left, scale);
  int top = twipsToPixels(d.top, scale);
  return {left, top, left + twipsToPixels(d.width, scale), top + twipsToPixels(d.height, scale)};
}

// The font of a control placed at `at`, and a shape's outline. Before the form is shown nothing
// needs repainting.
void dressControl(HWND hwnd, const ControlDescription& d, const RECT& at, HGDIOBJ font,
                  bool redraw) {
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
  if (d.kind == ControlKind::Shape)
    keepOutlineOnly(hwnd, at.right - at.left, at.bottom - at.top);
}

// The frame may be drawn at other metrics than those asked for (a DPI other than the one the
// frame was sized for, a window manager): measure, and correct once.
void fitClientArea(HWND hwnd, UINT dpi) {
  const FormDescription& form = form1Description();
  RECT client;
  RECT window;
  GetClientRect(hwnd, &client);
  GetWindowRect(hwnd, &window);
  int dx = twipsToPixels(form.clientWidth, static_cast<int>(dpi)) - client.right;
  int dy = twipsToPixels(form.clientHeight, static_cast<int>(dpi)) - client.bottom;
  if (dx != 0 || dy != 0)
    SetWindowPos(hwnd, nullptr, 0, 0, window.right - window.left + dx,
                 window.bottom - window.top + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

SIZE formFrameSize(UINT dpi) {
  const FormDescription& form = form1Description();
  RECT frame{0, 0, twipsToPixels(form.clientWidth, static_cast<int>(dpi)),
             twipsToPixels(form.clientHeight, static_cast<int>(dpi))};
  using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  auto adjust = systemFunction<AdjustForDpi>(L"user32.dll", "AdjustWindowRectExForDpi");
  if (adjust != nullptr) {
    adjust(&frame, kFormStyle, FALSE, kFormExStyle, dpi);
  } else {
    AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
  }
  return {frame.right - frame.left, frame.bottom - frame.top};
}

void createControls(FormWindowState& state, UINT dpi) {
  state.dpi = dpi;
  fitClientArea(state.hwnd, dpi);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  const ControlDescription* first = form1Description().controls.data();
  for (Control* control : zOrder(*state.form)) {
    const ControlDescription& description = control->description();
    WindowClass windowClass = windowClassOf(description);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | windowClass.style;
    if (control->Visible())
      style |= WS_VISIBLE;
    int id = kFirstControlId + static_cast<int>(&description - first);
    RECT at = placeOf(description, dpi);
    HWND child =
        CreateWindowExW(windowClass.exStyle, windowClass.name, toWide(control->Text()).c_str(),
                        style, at.left, at.top, at.right - at.left, at.bottom - at.top, state.hwnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (child == nullptr)
      throw makeError(err::kOutOfMemory);
    state.children.push_back({control, child, id});
    dressControl(child, description, at, fontFor(state.fonts, description.font, dpi), false);
    if (description.kind == ControlKind::TextBox) {
      state.editProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&editProc)));
    }
  }
}

void applyDpi(FormWindowState& state, UINT dpi) {
  state.dpi = dpi;
  SIZE frame = formFrameSize(dpi);
  SetWindowPos(state.hwnd, nullptr, 0, 0, frame.cx, frame.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  fitClientArea(state.hwnd, dpi);
  std::vector<std::pair<FontSpec, UniqueGdiObject>> fonts;
  for (const ChildWindow& child : state.children) {
    const ControlDescription& d = child.control->description();
    RECT at = placeOf(d, dpi);
    SetWindowPos(child.hwnd, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    dressControl(child.hwnd, d, at, fontFor(fonts, d.font, dpi), true);
  }
  state.fonts = std::move(fonts);  // frees the old ones, which no control uses any more
}

UINT systemDpi() {
  using GetDpiForSystem = UINT(WINAPI*)();
  if (auto getDpi = systemFunction<GetDpiForSystem>(L"user32.dll", "GetDpiForSystem"))
    return getDpi();
  ScreenDc screen;
  int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT windowDpi(HWND hwnd) {
  using GetDpiForWindow = UINT(WINAPI*)(HWND);
  if (auto getDpi = systemFunction<GetDpiForWindow>(L"user32.dll", "GetDpiForWindow")) {
    UINT dpi = getDpi(hwnd);
    if (dpi != 0)
      return dpi;
  }
  return systemDpi();
}

HBRUSH controlColors(FormWindowState& state, HWND child, HDC dc) {
  const ChildWindow* found = childByHwnd(state, child);
  if (found == nullptr)
    return nullptr;
  const ControlDescription& d = found->control->description();
  ColorSpec back = d.backColor;
  int text = COLOR_WINDOWTEXT;
  if (d.kind == ControlKind::CommandButton) {
    return nullptr;
  } else if (d.kind == ControlKind::Shape) {
    back = ColorSpec::system(kColorWindowText);  // the outline's colour
  } else if (d.kind == ControlKind::Label) {
    text = COLOR_BTNTEXT;
    if (back.kind == ColorSpec::Kind::Default)
      back = ColorSpec::system(kColorButtonFace);
  } else if (back.kind == ColorSpec::Kind::Default) {
    back = ColorSpec::system(COLOR_WINDOW);
  }
  SetTextColor(dc, GetSysColor(text));
  if (back.kind == ColorSpec::Kind::System) {
    SetBkColor(dc, GetSysColor(static_cast<int>(back.value)));
    return GetSysColorBrush(static_cast<int>(back.value));
  }
  SetBkColor(dc, back.value);
  for (const auto& [color, brush] : state.brushes) {
    if (color == back.value)
      return static_cast<HBRUSH>(brush.get());
  }
  state.brushes.emplace_back(back.value, UniqueGdiObject(CreateSolidBrush(back.value)));
  return static_cast<HBRUSH>(state.brushes.back().second.get());
}

ChildWindow* childByHwnd(FormWindowState& state, HWND hwnd) {
  for (ChildWindow& child : state.children) {
    if (child.hwnd == hwnd)
      return &child;
  }
  return nullptr;
}

ChildWindow* childById(FormWindowState& state, int id) {
  for (ChildWindow& child : state.children) {
    if (child.id == id)
      return &child;
  }
  return nullptr;
}

ChildWindow* childByControl(FormWindowState& state, const Control& control) {
  for (ChildWindow& child : state.children) {
    if (child.control == &control)
      return &child;
  }
  return nullptr;
}

HWND nextTabStop(const FormWindowState& state, HWND from) {
  const std::vector<ChildWindow>& children = state.children;
  std::size_t start = 0;
  for (std::size_t k = 0; k < children.size(); ++k) {
    if (children[k].hwnd == from)
      start = k + 1;
  }
  for (std::size_t k = 0; k < children.size(); ++k) {
    const ChildWindow& child = children[(start + k) % children.size()];
    LONG style = GetWindowLongW(child.hwnd, GWL_STYLE);
    if (child.hwnd != from && (style & WS_TABSTOP) && (style & WS_VISIBLE) &&
        !(style & WS_DISABLED))
      return child.hwnd;
  }
  return nullptr;
}

}  // namespace tk::host
