// The long work on Windows: WinINet blocks its caller for as long as the network takes, so the
// work runs on a worker thread while the UI thread waits for it in MsgWaitForMultipleObjectsEx,
// serving the windows' messages with their input discarded. The progress window is a window
// owned by the form with the common controls' progress bar. Meanwhile the session may not end
// (the form refuses, with the work's text as the reason), and a quit waits for the work's end.
#include "platform/progress.h"

#include <exception>
#include <optional>

#include "platform/windows/dynamic_win.h"
#include "platform/windows/error_win.h"
#include "platform/windows/handles_win.h"
#include "platform/windows/strings_win.h"
#include "platform/windows/window_state_win.h"
#include "platform/windows/window_win.h"

#include <commctrl.h>

namespace tk::host {
namespace {

constexpr const wchar_t* kProgressClass = L"TovrenKurProgress";
constexpr int kBarRange = 1000;

// Keys and clicks in client areas go nowhere while the work runs, as while any handler runs;
// the caption, the frame and its buttons (non-client messages) keep working.
bool isUserInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

LRESULT CALLBACK progressProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE)
    return 0;  // the installation cannot be cancelled: Alt+F4 does nothing
  if (message == WM_QUERYENDSESSION)
    return FALSE;  // it only exists while the work runs
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The common controls of version 6 (the manifest asks for them), loaded by the time the form's
// themed buttons exist; registering the progress bar's class is all that is left to do.
bool progressBarClassReady() {
  HMODULE module = GetModuleHandleW(L"comctl32.dll");
  if (module == nullptr)
    module = loadSystemLibrary(L"comctl32.dll");
  auto init = moduleFunction<decltype(&InitCommonControlsEx)>(module, "InitCommonControlsEx");
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  return init != nullptr && init(&controls);
}

void registerProgressClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &progressProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kProgressClass;
  RegisterClassExW(&windowClass);  // fails harmlessly when an earlier work did it
}

class WinProgressView : public ProgressView {
 public:
  explicit WinProgressView(HWND owner) : owner_(owner) {}
  ~WinProgressView() override {
    if (hwnd_ != nullptr)
      DestroyWindow(hwnd_);  // an active owned window hands the activation back to the form
  }
  bool create(const std::string& work);
  void update(const std::string& amounts, double fraction) override;

 private:
  struct Place {
    int left, top, width, height;  // pixels at 96 DPI
  };
  HWND child(const wchar_t* className, const wchar_t* text, DWORD style, Place place);
  int px(int pixelsAt96) const { return MulDiv(pixelsAt96, static_cast<int>(dpi_), 96); }

  HWND owner_;
  HWND hwnd_ = nullptr;
  HWND amounts_ = nullptr;
  HWND bar_ = nullptr;
  UINT dpi_ = 96;
  UniqueGdiObject font_;
  std::wstring shownAmounts_;
  int barMode_ = -1;  // 0 a position, 1 moving, -1 not yet set
};

HWND WinProgressView::child(const wchar_t* className, const wchar_t* text, DWORD style,
                            Place place) {
  HWND hwnd = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, px(place.left),
                              px(place.top), px(place.width), px(place.height), hwnd_, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (hwnd != nullptr && font_)
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  return hwnd;
}

// A small captioned window without buttons, centred over the form, like the shell's own.
bool WinProgressView::create(const std::string& work) {
  if (!progressBarClassReady())
    return false;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  registerProgressClass(instance);
  dpi_ = windowDpi(owner_);
  constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
  RECT frame{0, 0, px(360), px(92)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, WS_EX_DLGMODALFRAME);
  RECT form{};
  GetWindowRect(owner_, &form);
  int width = frame.right - frame.left, height = frame.bottom - frame.top;
  hwnd_ = CreateWindowExW(WS_EX_DLGMODALFRAME, kProgressClass, toWide(kProgressTitle).c_str(),
                          kStyle, form.left + (form.right - form.left - width) / 2,
                          form.top + (form.bottom - form.top - height) / 2, width, height, owner_,
                          nullptr, instance, nullptr);
  if (hwnd_ == nullptr)
    return false;
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    font_.reset(CreateFontIndirectW(&metrics.lfMessageFont));
  child(L"STATIC", toWide(work).c_str(), SS_LEFT | SS_NOPREFIX, {12, 12, 336, 18});
  amounts_ = child(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, {12, 32, 336, 18});
  bar_ = child(PROGRESS_CLASSW, L"", 0, {12, 60, 336, 18});
  SendMessageW(bar_, PBM_SETRANGE32, 0, kBarRange);
  return bar_ != nullptr && amounts_ != nullptr;
}

void WinProgressView::update(const std::string& amounts, double fraction) {
  std::wstring text = toWide(amounts);
  if (text != shownAmounts_) {
    SetWindowTextW(amounts_, text.c_str());
    shownAmounts_ = text;
  }
  int mode = fraction < 0 ? 1 : 0;
  if (mode != barMode_) {
    // The moving bar belongs to a style of its own; the animation is the control's, on its timer.
    LONG style = GetWindowLongW(bar_, GWL_STYLE);
    SetWindowLongW(bar_, GWL_STYLE, mode == 1 ? (style | PBS_MARQUEE) : (style & ~PBS_MARQUEE));
    SendMessageW(bar_, PBM_SETMARQUEE, mode == 1, 30);
    barMode_ = mode;
  }
  if (mode == 0)
    SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(fraction * kBarRange), 0);
  // Not activated: the keyboard focus stays with the form. A minimised form hides it.
  if (!IsWindowVisible(hwnd_) && !IsIconic(owner_))
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
}

}  // namespace

std::unique_ptr<ProgressView> openProgressView(const std::string& work) {
  HWND form = findFormWindow();
  if (form == nullptr || !IsWindowVisible(form))
    return nullptr;
  auto view = std::make_unique<WinProgressView>(form);
  return view->create(work) ? std::move(view) : nullptr;
}

void LongWork::serve() {
  MSG message;
  // Bounded: a window that keeps invalidating itself must not hold the work up.
  for (int k = 0; k < 1000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++k) {
    if (message.message == WM_QUIT) {
      // Posted again at once, it would end every wait at once: kept for after the work.
      quitCode_ = static_cast<int>(message.wParam);
    } else if (!isUserInput(message.message)) {
      DispatchMessageW(&message);
    }
  }
  refresh();
}

void LongWork::advance(uint64_t bytes) {
  done_ += bytes;
}

namespace {

// What the worker thread runs, and what it leaves for the UI thread.
struct WorkerTask {
  const std::function<void()>& body;
  std::exception_ptr failure;
};

// A plain Win32 thread: the C++ runtime's threads would bring their own thread library along.
DWORD WINAPI runWorker(void* parameter) {
  auto* task = static_cast<WorkerTask*>(parameter);
  try {
    task->body();
  } catch (...) {
    task->failure = std::current_exception();  // thrown again on the UI thread, once it has ended
  }
  return 0;
}

// Asks Windows to hold a log-off or shut-down back while the work runs, with the text that the
// progress window shows as the reason; the form answers WM_QUERYENDSESSION with "not now"
// meanwhile. Looked up at run time: Windows before Vista lacks the functions.
class ShutdownBlock {
 public:
  explicit ShutdownBlock(const std::string& reason) : form_(findFormWindow()) {
    using Create = BOOL(WINAPI*)(HWND, LPCWSTR);
    auto create = systemFunction<Create>(L"user32.dll", "ShutdownBlockReasonCreate");
    if (form_ == nullptr || create == nullptr || !create(form_, toWide(reason).c_str()))
      form_ = nullptr;
    ++running;
  }
  ~ShutdownBlock() {
    --running;
    using Destroy = BOOL(WINAPI*)(HWND);
    auto destroy = systemFunction<Destroy>(L"user32.dll", "ShutdownBlockReasonDestroy");
    if (form_ != nullptr && destroy != nullptr)
      destroy(form_);
  }
  ShutdownBlock(const ShutdownBlock&) = delete;
  ShutdownBlock& operator=(const ShutdownBlock&) = delete;

  static inline int running = 0;  // works in progress on the UI thread

 private:
  HWND form_;
};

}  // namespace

bool longWorkRunning() {
  return ShutdownBlock::running > 0;
}

void LongWork::run(const std::function<void()>& body) {
  ShutdownBlock block(workText(kind_));
  WorkerTask task{body, nullptr};
  UniqueHandle worker(CreateThread(nullptr, 0, &runWorker, &task, 0, nullptr));
  if (!worker)
    throwLastError();
  HANDLE handle = worker.get();
  // The task, the temporary file and the request live on this thread: whatever ends this
  // function, even a failure while serving the window, it waits for the worker first. A quit
  // that came meanwhile is posted once the work is over, so the program ends where it would have
  // had the quit come between two steps.
  struct Finish {
    HANDLE worker;
    std::optional<int>& quitCode;
    ~Finish() {
      WaitForSingleObject(worker, INFINITE);
      if (quitCode)
        PostQuitMessage(*quitCode);
      quitCode.reset();
    }
  } finish{handle, quitCode_};
  for (;;) {
    DWORD woken = MsgWaitForMultipleObjectsEx(1, &handle, kServeInterval.count(), QS_ALLINPUT,
                                              MWMO_INPUTAVAILABLE);
    if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED)
      break;
    serve();
  }
  WaitForSingleObject(handle, INFINITE);
  serve();  // input that came meanwhile is dropped, not left for the form to act on later
  if (task.failure)
    std::rethrow_exception(task.failure);
}

}  // namespace tk::host
