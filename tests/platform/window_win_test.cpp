// The Win32 window in-process under Wine (needs an X display): what another process cannot read
// (fonts, colours, DPI scaling), the focus rules, a handler's inertness, the message boxes and
// the long work's hold on the session.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "app/form1.h"
#include "fake_platform.h"
#include "platform/host_platform.h"
#include "platform/progress.h"
#include "platform/windows/strings_win.h"
#include "platform/windows/window_win.h"

namespace tk::host {
namespace {

class WinWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<WinFormWindow>(form, [this](const Control& control) {
      clicks.push_back(&control);
      return onClick ? onClick(control) : true;
    });
    form.setView(window.get());
  }
  void TearDown() override { form.setView(nullptr); }

  HWND hwnd(const Control& control) { return window->controlHandle(control); }

  // The program's own loop, for a while: IsDialogMessageW first, as in run().
  void pump(DWORD ms) {
    DWORD start = GetTickCount();
    MSG message;
    while (GetTickCount() - start < ms && window->handle() != nullptr) {
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (window->handle() == nullptr || !IsDialogMessageW(window->handle(), &message)) {
          TranslateMessage(&message);
          DispatchMessageW(&message);
        }
      }
      Sleep(10);
    }
  }

  void showInFront() {
    window->show();
    SetForegroundWindow(window->handle());
    pump(100);
    ASSERT_EQ(GetForegroundWindow(), window->handle());
  }

  fake::FakePlatform platform;
  Form1 form{platform};
  std::unique_ptr<WinFormWindow> window;
  std::vector<const Control*> clicks;
  std::function<bool(const Control&)> onClick;
};

void pressKey(WORD vk) {
  INPUT keys[2] = {};
  for (INPUT& key : keys) {
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = vk;
  }
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
}

RECT clientRect(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

LOGFONTW fontOf(HWND child) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), sizeof(font), &font);
  return font;
}

TEST_F(WinWindowTest, EveryControlUsesTurkishMsSansSerifAndText12IsBold) {
  for (Control* control : form.controls()) {
    SCOPED_TRACE(std::string(control->description().name));
    LOGFONTW font = fontOf(hwnd(*control));
    EXPECT_EQ(toUtf8(font.lfFaceName), "MS Sans Serif");
    EXPECT_EQ(font.lfCharSet, 162);
    EXPECT_EQ(font.lfHeight, -11);  // 8.25 pt at 96 DPI
    EXPECT_EQ(font.lfWeight, control == &form.Text12 ? FW_BOLD : FW_NORMAL);
  }
}

TEST_F(WinWindowTest, BackgroundsComeFromTheColourSchemeOrTheTable) {
  struct Case {
    const Control& control;
    COLORREF back;
  } cases[] = {{form.Text12, GetSysColor(COLOR_INACTIVECAPTION)},
               {form.Text14, GetSysColor(COLOR_INACTIVECAPTION)},
               {form.Label1, GetSysColor(COLOR_HIGHLIGHT)},
               {form.Label2, RGB(255, 128, 128)},
               {form.Label3, GetSysColor(COLOR_BTNFACE)},
               {form.Shape1, GetSysColor(COLOR_WINDOWTEXT)},
               {form.Shape2, GetSysColor(COLOR_WINDOWTEXT)}};
  HDC dc = CreateCompatibleDC(nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.control.description().name));
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(window->handle(), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(hwnd(c.control))));
    LOGBRUSH fill{};
    ASSERT_NE(GetObjectW(brush, sizeof(fill), &fill), 0);
    EXPECT_EQ(fill.lbColor, c.back);
    EXPECT_EQ(GetBkColor(dc), c.back);
  }
  DeleteDC(dc);
}

TEST_F(WinWindowTest, ANewDpiLaysEveryControlOutAgain) {
  for (UINT dpi : {144u, 120u, 96u}) {
    SCOPED_TRACE(dpi);
    RECT suggested{10, 20, 700, 600};
    SendMessageW(window->handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    auto px = [dpi](int twips) { return static_cast<LONG>(std::lround(twips * dpi / 1440.0)); };
    RECT client;
    GetClientRect(window->handle(), &client);
    EXPECT_EQ(client.right, px(6360));
    EXPECT_EQ(client.bottom, px(4920));
    for (Control* control : form.controls()) {
      const ControlDescription& d = control->description();
      RECT r = clientRect(hwnd(*control));
      EXPECT_EQ(r.left, px(d.left)) << d.name;
      EXPECT_EQ(r.top, px(d.top)) << d.name;
      EXPECT_EQ(r.right - r.left, px(d.width)) << d.name;
      EXPECT_EQ(r.bottom - r.top, px(d.height)) << d.name;
      EXPECT_EQ(fontOf(hwnd(*control)).lfHeight, -std::lround(8.25 * dpi / 72)) << d.name;
    }
  }
}

TEST_F(WinWindowTest, TheFocusStartsOnDevamAndLeavesAHiddenControlInTabOrder) {
  showInFront();
  EXPECT_EQ(GetFocus(), hwnd(form.Command1));
  // The end of the installation: Kapat shown, the other two hidden.
  form.Command3.setVisible(true);
  form.Command2.setVisible(false);
  form.Command1.setVisible(false);
  EXPECT_EQ(GetFocus(), hwnd(form.Command3));
  form.Command3.setVisible(false);  // Kapat gone too: the first message box is next
  EXPECT_EQ(GetFocus(), hwnd(form.Text12));
}

TEST_F(WinWindowTest, ButtonsAndCloseBoxAreInertWhileAHandlerRuns) {
  showInFront();
  onClick = [this](const Control&) {
    if (clicks.size() == 1) {
      // What a modal loop without an owner (a shell progress window) would deliver.
      PostMessageW(hwnd(form.Command1), BM_CLICK, 0, 0);
      PostMessageW(hwnd(form.Command2), BM_CLICK, 0, 0);
      PostMessageW(window->handle(), WM_CLOSE, 0, 0);
      MSG message;
      for (int k = 0; k < 50 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++k)
        DispatchMessageW(&message);
      // Keystrokes that arrive while nothing reads input are dropped afterwards.
      pressKey(VK_SPACE);
    }
    return true;
  };
  SendMessageW(hwnd(form.Command1), BM_CLICK, 0, 0);
  pump(300);
  ASSERT_EQ(clicks.size(), 1u);
  ASSERT_NE(window->handle(), nullptr);
  pressKey(VK_SPACE);  // idle again: Space presses the focused Devam
  pump(300);
  EXPECT_EQ(clicks.size(), 2u);
}

// The worker kept busy while the UI thread gets a quit and the session asks to end: the session
// is refused, the UI thread does not spin while it waits, and the quit comes once, after the work.
TEST_F(WinWindowTest, DuringTheLongWorkTheSessionWaitsAndAQuitWaitsForItsEnd) {
  showInFront();
  auto cpuMs = [] {  // kernel and user time (the low words: a test runs for far less than 7 min)
    FILETIME t[4];
    GetThreadTimes(GetCurrentThread(), &t[0], &t[1], &t[2], &t[3]);
    return (uint64_t{t[2].dwLowDateTime} + t[3].dwLowDateTime) / 10000;
  };
  DWORD ui = GetCurrentThreadId();
  DWORD_PTR duringWork = TRUE;
  uint64_t before = cpuMs();
  LongWork(WorkKind::Download).run([&] {
    PostThreadMessageW(ui, WM_QUIT, 3, 0);
    SendMessageTimeoutW(window->handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL,
                        2000, &duringWork);
    Sleep(700);
  });
  EXPECT_LT(cpuMs() - before, 50u) << "the UI thread spun while the worker ran";
  EXPECT_EQ(duringWork, FALSE);
  EXPECT_EQ(SendMessageW(window->handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 3u);
  EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(WinWindowTest, AHandlerThatEndsTheProgramClosesTheWindowAndTheLoop) {
  window->show();
  onClick = [](const Control&) { return false; };
  PostMessageW(hwnd(form.Command2), BM_CLICK, 0, 0);
  window->run();  // returns once the window is gone
  EXPECT_EQ(clicks, std::vector<const Control*>{&form.Command2});
  EXPECT_EQ(window->handle(), nullptr);
}

TEST_F(WinWindowTest, ClosingTheIdleWindowEndsTheLoop) {
  window->show();
  PostMessageW(window->handle(), WM_CLOSE, 0, 0);
  window->run();
  EXPECT_EQ(window->handle(), nullptr);
  EXPECT_TRUE(clicks.empty());
}

// Message boxes: a timer inside the box's own modal loop looks at the box, then answers it.
struct BoxSeen {
  HWND form, owner;
  bool formEnabled;
  std::string title, text;
  WORD answerKey;  // 0: click OK instead
} seen;

void CALLBACK inspectBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = GetForegroundWindow();
  if (box == seen.form || box == nullptr)
    return;  // not up yet
  KillTimer(nullptr, timer);
  wchar_t text[256];
  seen.owner = GetWindow(box, GW_OWNER);
  seen.formEnabled = IsWindowEnabled(seen.form);
  GetWindowTextW(box, text, 256);
  seen.title = toUtf8(text);
  GetDlgItemTextW(box, 0xFFFF, text, 256);
  seen.text = toUtf8(text);
  if (seen.answerKey != 0)
    pressKey(seen.answerKey);
  else
    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
}

TEST_F(WinWindowTest, AQuestionBoxBelongsToTheFormAndEnterAnswersNo) {
  showInFront();
  seen = {window->handle(), nullptr, true, "", "", VK_RETURN};
  SetTimer(nullptr, 0, 100, &inspectBox);
  EXPECT_EQ(
      HostPlatform().MsgBox("Chrome bağlantı ayarları?", 292, std::string("TovrenKur v1.0.0")), 7);
  EXPECT_EQ(seen.owner, window->handle());
  EXPECT_FALSE(seen.formEnabled);
  EXPECT_EQ(seen.title, "TovrenKur v1.0.0");
  EXPECT_EQ(seen.text, "Chrome bağlantı ayarları?");
  EXPECT_TRUE(IsWindowEnabled(window->handle()));
}

TEST_F(WinWindowTest, ABoxWithoutTitleCarriesTheApplicationTitle) {
  showInFront();
  seen = {window->handle(), nullptr, true, "", "", 0};
  SetTimer(nullptr, 0, 100, &inspectBox);
  EXPECT_EQ(HostPlatform().MsgBox("Kurulum tamamlandı.", 64, std::nullopt), IDOK);
  EXPECT_EQ(seen.title, "TovrenKur");
  EXPECT_EQ(seen.text, "Kurulum tamamlandı.");
}

}  // namespace
}  // namespace tk::host
