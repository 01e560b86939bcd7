// A test-only inspector that drives another process's windows through the Win32 API, as a user
// or an accessibility tool would: find a window, list its controls, read message boxes, press
// buttons, type keys, click, wait for a process, set file attributes, time a start to its window,
// read a shortcut back, probe whether a window answers, read a progress window, watch which
// windows other processes show.
// Prints one JSON object per line; exit code 0 on success.
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "platform/windows/strings_win.h"
#include "platform/windows/win32.h"

#include <commctrl.h>
#include <shlobj.h>

extern "C" __declspec(dllimport) BOOL WINAPI SetShellWindow(HWND);  // not in mingw's headers

namespace {

using tk::host::toUtf8;
using tk::host::toWide;

std::string json(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  return out + "\"";
}

// Another process's EDIT answers only WM_GETTEXT (GetWindowTextW returns "" across processes).
std::string textOf(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
    return "";
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  text.resize(copied);
  return toUtf8(text);
}

std::string classOf(HWND hwnd) {
  wchar_t name[128] = {};
  GetClassNameW(hwnd, name, 128);
  return toUtf8(name);
}

std::string describe(HWND hwnd, HWND parent) {
  RECT r;
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  char numbers[160];
  std::snprintf(numbers, sizeof numbers,
                "\"id\":%d,\"x\":%ld,\"y\":%ld,\"w\":%ld,\"h\":%ld,\"style\":%lu,\"visible\":%s",
                GetDlgCtrlID(hwnd), r.left, r.top, r.right - r.left, r.bottom - r.top,
                static_cast<unsigned long>(style), (style & WS_VISIBLE) ? "true" : "false");
  std::string out = "{";
  out.append(numbers).append(",\"class\":").append(json(classOf(hwnd)));
  return out.append(",\"text\":").append(json(textOf(hwnd))).append("}");
}

// Polls until `found` gives a window or `timeoutMs` has passed.
template <typename Find>
HWND waitFor(Find found, DWORD timeoutMs, DWORD pollMs = 50) {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND hwnd = found())
      return hwnd;
    if (GetTickCount() - start >= timeoutMs)
      return nullptr;
    Sleep(pollMs);
  }
}

HWND formByTitle(const std::string& title, DWORD timeoutMs, DWORD pollMs = 50) {
  std::wstring wide = toWide(title);
  return waitFor(
      [&] {
        HWND hwnd = FindWindowW(nullptr, wide.c_str());
        return hwnd != nullptr && IsWindowVisible(hwnd) ? hwnd : nullptr;
      },
      timeoutMs, pollMs);
}

// Starts a program and measures the time until its window is shown, then closes it.
int timeWindow(const std::string& exe, const std::string& title, DWORD timeoutMs) {
  std::wstring commandLine = L"\"" + toWide(exe) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  LARGE_INTEGER frequency, start, shown;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return 1;
  HWND window = formByTitle(title, timeoutMs, 1);
  QueryPerformanceCounter(&shown);
  if (window != nullptr) {
    std::printf("{\"ms\":%.1f}\n", (shown.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart);
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
  WaitForSingleObject(process.hProcess, window != nullptr ? 10000 : 0);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return window != nullptr ? 0 : 1;
}

DWORD processOf(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

struct BoxSearch {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK matchBox(HWND hwnd, LPARAM search) {
  auto* s = reinterpret_cast<BoxSearch*>(search);
  if (IsWindowVisible(hwnd) && classOf(hwnd) == "#32770" &&
      (processOf(hwnd) == s->pid || s->pid == 0)) {  // 0: any process's
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND messageBoxOf(DWORD pid, DWORD timeoutMs) {
  return waitFor(
      [&] {
        BoxSearch search{pid, nullptr};
        EnumWindows(&matchBox, reinterpret_cast<LPARAM>(&search));
        return search.found;
      },
      timeoutMs);
}

std::vector<HWND> childrenOf(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

HWND focusOf(HWND hwnd) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info) ? info.hwndFocus
                                                                          : nullptr;
}

void key(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof(INPUT));
}

bool typeKey(const std::string& name) {
  bool shift = name.rfind("shift+", 0) == 0;
  std::string base = shift ? name.substr(6) : name;
  WORD vk = base == "tab"     ? VK_TAB
            : base == "enter" ? VK_RETURN
            : base == "space" ? VK_SPACE
            : base == "esc"   ? VK_ESCAPE
                              : 0;
  if (vk == 0)
    return false;
  if (shift)
    key(VK_SHIFT, false);
  key(vk, false);
  key(vk, true);
  if (shift)
    key(VK_SHIFT, true);
  return true;
}

// Keys go where real keystrokes go: to the focus of the foreground window.
int sendKeys(HWND form, const std::vector<std::string>& keys) {
  SetForegroundWindow(form);
  if (!waitFor([&] { return GetForegroundWindow() == form ? form : nullptr; }, 3000))
    return 3;
  for (const std::string& name : keys) {
    if (!typeKey(name))
      return 2;
    Sleep(150);
  }
  DWORD_PTR ignored;
  SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
  return 0;
}

int waitExit(DWORD pid, DWORD timeoutMs) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (process == nullptr)
    return 0;  // already gone
  DWORD result = WaitForSingleObject(process, timeoutMs);
  CloseHandle(process);
  return result == WAIT_OBJECT_0 ? 0 : 1;
}

int listControls(HWND form) {
  RECT client, frame;
  GetClientRect(form, &client);
  GetWindowRect(form, &frame);
  char numbers[200];
  std::snprintf(numbers, sizeof numbers,
                "\"pid\":%lu,\"w\":%ld,\"h\":%ld,\"style\":%lu,\"screen\":[%ld,%ld,%ld,%ld]",
                processOf(form), client.right, client.bottom,
                static_cast<unsigned long>(GetWindowLongW(form, GWL_STYLE)), frame.left, frame.top,
                frame.right - frame.left, frame.bottom - frame.top);
  std::printf("{\"form\":true,%s,\"text\":%s}\n", numbers, json(textOf(form)).c_str());
  for (HWND child : childrenOf(form))
    std::printf("%s\n", describe(child, form).c_str());
  return 0;
}

// Whether the box shows an icon: its icon control stays in place even without one, so ask it.
bool showsIcon(HWND box) {
  for (HWND child : childrenOf(box)) {
    DWORD_PTR icon = 0;
    if (classOf(child) == "Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
        SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon) && icon != 0)
      return true;
  }
  return false;
}

int showBox(HWND box) {
  // A box just shown may not have put the focus on its default button yet.
  HWND focus = waitFor([&] { return focusOf(box); }, 2000);
  std::printf("{\"box\":true,\"title\":%s,\"owner\":%s,\"icon\":%s,\"front\":%s,\"pid\":%lu}\n",
              json(textOf(box)).c_str(), json(textOf(GetWindow(box, GW_OWNER))).c_str(),
              showsIcon(box) ? "true" : "false", GetForegroundWindow() == box ? "true" : "false",
              processOf(box));
  for (HWND child : childrenOf(box)) {
    std::string line = describe(child, box);
    std::printf("%s,\"focused\":%s}\n", line.substr(0, line.size() - 1).c_str(),
                child == focus ? "true" : "false");
  }
  return 0;
}

HWND buttonOf(HWND parent, const std::string& caption) {
  for (HWND child : childrenOf(parent)) {
    if (classOf(child) == "Button" && textOf(child) == caption)
      return child;
  }
  return nullptr;
}

int pressButton(HWND parent, const std::string& caption) {
  HWND button = buttonOf(parent, caption);
  // Posted: the click may open a modal box, which must not block the inspector.
  return button != nullptr && PostMessageW(button, BM_CLICK, 0, 0) ? 0 : 1;
}

// A real click in the middle of the button, through the system's input queue.
int clickButton(HWND button) {
  RECT r;
  if (button == nullptr || !GetWindowRect(button, &r) ||
      !SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2))
    return 1;
  INPUT clicks[2] = {{INPUT_MOUSE, {}}, {INPUT_MOUSE, {}}};
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  return SendInput(2, clicks, sizeof(INPUT)) == 2 ? 0 : 1;
}

// The process's progress window: title, owner, place and the bar's position; then its controls.
int showProgress(DWORD pid, DWORD timeoutMs) {
  HWND window = waitFor(
      [&] {
        HWND found = FindWindowW(L"TovrenKurProgress", nullptr);
        return found && IsWindowVisible(found) && processOf(found) == pid ? found : nullptr;
      },
      timeoutMs);
  HWND bar = window ? FindWindowExW(window, nullptr, PROGRESS_CLASSW, nullptr) : nullptr;
  DWORD_PTR position = 0, range = 0;
  RECT r;
  if (bar == nullptr || !GetWindowRect(window, &r) ||
      !SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000, &position) ||
      !SendMessageTimeoutW(bar, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, 2000, &range))
    return 1;
  std::printf("{\"title\":%s,\"owner\":%s,\"screen\":[%ld,%ld,%ld,%ld],\"pos\":%lu,\"max\":%lu}\n",
              json(textOf(window)).c_str(), json(textOf(GetWindow(window, GW_OWNER))).c_str(),
              r.left, r.top, r.right - r.left, r.bottom - r.top,
              static_cast<unsigned long>(position), static_cast<unsigned long>(range));
  for (HWND child : childrenOf(window))
    std::printf("%s\n", describe(child, window).c_str());
  return 0;
}

// A shortcut read back as the shell reads it: its description, target, arguments and folder.
int readShortcut(const std::string& path) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
    return 1;
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  int code = 1;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(toWide(path).c_str(), STGM_READ))) {
    wchar_t description[1024] = {}, target[1024] = {}, arguments[1024] = {}, folder[1024] = {};
    link->GetDescription(description, 1024);
    link->GetPath(target, 1024, nullptr, SLGP_RAWPATH);
    link->GetArguments(arguments, 1024);
    link->GetWorkingDirectory(folder, 1024);
    std::printf("{\"description\":%s,\"target\":%s,\"arguments\":%s,\"folder\":%s}\n",
                json(toUtf8(description)).c_str(), json(toUtf8(target)).c_str(),
                json(toUtf8(arguments)).c_str(), json(toUtf8(folder)).c_str());
    code = 0;
  }
  if (file != nullptr)
    file->Release();
  if (link != nullptr)
    link->Release();
  CoUninitialize();
  return code;
}

// Answers a box and waits (bounded) until it has gone, so the next look finds the next box.
int answerBox(HWND box, int buttonId, const std::vector<std::string>& keys) {
  int code = 0;
  if (keys.empty()) {
    HWND button = GetDlgItem(box, buttonId);
    code = button != nullptr && PostMessageW(button, BM_CLICK, 0, 0) ? 0 : 1;
  } else {
    code = sendKeys(box, keys);
  }
  if (code != 0)
    return code;
  return waitFor([&] { return IsWindow(box) ? nullptr : box; }, 5000) != nullptr ? 0 : 4;
}

BOOL CALLBACK collectWindow(HWND hwnd, LPARAM out) {
  if (IsWindowVisible(hwnd) && processOf(hwnd) != GetCurrentProcessId()) {
    reinterpret_cast<std::set<std::string>*>(out)->insert(
        "{\"pid\":" + std::to_string(processOf(hwnd)) + ",\"class\":" + json(classOf(hwnd)) +
        ",\"title\":" + json(textOf(hwnd)) + "}");
  }
  return TRUE;
}

// Every visible top-level window of another process seen until `stopFile` exists (at most two
// minutes; once when it exists already), each once: what an unattended run must never show, or
// shows only as it should. A first line says that the watch has begun.
int watchWindows(const std::string& stopFile) {
  std::printf("{\"watching\":true}\n");
  std::fflush(stdout);
  std::set<std::string> seen;
  std::wstring stop = toWide(stopFile);
  DWORD start = GetTickCount();
  do {
    EnumWindows(&collectWindow, reinterpret_cast<LPARAM>(&seen));
    Sleep(20);
  } while (GetFileAttributesW(stop.c_str()) == INVALID_FILE_ATTRIBUTES &&
           GetTickCount() - start < 120000);
  for (const std::string& line : seen)
    std::printf("%s\n", line.c_str());
  return 0;
}

// Stands for the session's shell until `stopFile` exists (five minutes at most): a window of
// this process is the shell window, whose token an elevated run gives the user's programs.
int holdShellWindow(const std::string& stopFile) {
  HWND shell = CreateWindowExW(0, L"STATIC", L"kabuk", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               nullptr, nullptr);
  if (shell == nullptr || !SetShellWindow(shell))
    return 1;
  std::printf("{\"shell\":true}\n");
  std::fflush(stdout);
  std::wstring stop = toWide(stopFile);
  MSG message;
  for (DWORD start = GetTickCount(); GetFileAttributesW(stop.c_str()) == INVALID_FILE_ATTRIBUTES &&
                                     GetTickCount() - start < 300000;
       Sleep(20)) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&message);
  }
  DestroyWindow(shell);
  return 0;
}

int usage() {
  std::fprintf(stderr,
               "inspector find TITLE MS | controls TITLE | focus TITLE | press TITLE CAPTION |\n"
               "          keys TITLE KEY... (tab shift+tab enter space esc) |\n"
               "          msgbox PID MS | answer PID BUTTON-ID | box-keys PID KEY... |\n"
               "          wait-exit PID MS | attrib PATH ATTRIBUTES | shortcut LNK |\n"
               "          time-window EXE TITLE MS | click TITLE CAPTION | probe TITLE |\n"
               "          progress PID MS | windows STOP-FILE | shell STOP-FILE\n");
  return 2;
}

int run(const std::vector<std::string>& a) {
  if (a.size() < 2)
    return usage();
  const std::string& command = a[0];
  auto number = [&](std::size_t k) { return a.size() > k ? std::stoul(a[k]) : 0ul; };
  if (command == "time-window" && a.size() == 4)
    return timeWindow(a[1], a[2], number(3));
  if (command == "attrib" && a.size() == 3)  // e.g. 4: the system attribute
    return SetFileAttributesW(toWide(a[1]).c_str(), number(2)) ? 0 : 1;
  if (command == "shortcut")
    return readShortcut(a[1]);
  if (command == "windows")
    return watchWindows(a[1]);
  if (command == "shell")
    return holdShellWindow(a[1]);
  if (command == "box-keys") {
    HWND box = messageBoxOf(std::stoul(a[1]), 3000);
    return box != nullptr ? answerBox(box, 0, std::vector<std::string>(a.begin() + 2, a.end())) : 1;
  }
  if (command == "progress" && a.size() == 3)
    return showProgress(std::stoul(a[1]), number(2));
  if (command == "msgbox" || command == "answer" || command == "wait-exit") {
    DWORD ms = number(2);
    DWORD pid = std::stoul(a[1]);
    if (command == "wait-exit")
      return waitExit(pid, ms);
    HWND box = messageBoxOf(pid, command == "msgbox" ? ms : 3000);
    if (box == nullptr)
      return 1;
    if (command == "msgbox")
      return showBox(box);
    // By id (6 Yes, 7 No, 1 OK): the captions depend on the system's language.
    return answerBox(box, static_cast<int>(ms), {});
  }
  HWND form = formByTitle(a[1], command == "find" ? number(2) : 3000);
  if (form == nullptr)
    return 1;
  if (command == "find") {
    std::printf("{\"pid\":%lu}\n", processOf(form));
    return 0;
  }
  if (command == "controls")
    return listControls(form);
  if (command == "focus") {
    HWND focus = focusOf(form);
    return focus != nullptr ? (std::printf("%s\n", describe(focus, form).c_str()), 0) : 1;
  }
  if (command == "press" && a.size() == 3)
    return pressButton(form, a[2]);
  if (command == "click" && a.size() == 3)
    return clickButton(buttonOf(form, a[2]));
  DWORD_PTR ignored = 0;  // probe: whether the window's thread answers within a second
  if (command == "probe")
    return SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &ignored) ? 0 : 1;
  if (command == "keys")
    return sendKeys(form, std::vector<std::string>(a.begin() + 2, a.end()));
  return usage();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int k = 1; k < argc; ++k)
    args.push_back(toUtf8(argv[k]));
  try {
    int code = run(args);
    std::fflush(stdout);
    return code;
  } catch (...) {  // a number that does not parse
    return usage();
  }
}
