// A stand-in program for the Shell tests: records the command line it was started with in
// "<its own path>.komut". When "<its own path>.bekle" exists it first waits (at most 10 s) for
// "<its own path>.go", and records "beklemedi" if that never comes. When "<its own path>.kal"
// exists it then stays up as a running application: it loads the library named on that file's
// first line, and with "pencere" on the second shows a window "Tovren çalışıyor" until WM_CLOSE
// closes it (recorded in "<its own path>.kapandi"); without, it waits to be ended, at most a
// minute.
#include "platform/windows/win32.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "answer_file_win.h"

static LRESULT CALLBACK standInProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_DESTROY)
    PostQuitMessage(0);
  return DefWindowProcW(window, message, w, l);
}

static int stayUp(const std::wstring& self) {
  char library[1024] = "", mode[16] = "";
  if (FILE* file = _wfopen((self + L".kal").c_str(), L"r")) {
    if (std::fgets(library, sizeof library, file) != nullptr)
      std::fgets(mode, sizeof mode, file);
    std::fclose(file);
  }
  library[std::strcspn(library, "\r\n")] = 0;
  wchar_t wide[1024];
  if (*library && MultiByteToWideChar(CP_UTF8, 0, library, -1, wide, 1024))
    LoadLibraryW(wide);
  if (std::strncmp(mode, "pencere", 7) != 0)
    return Sleep(60000), 0;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &standInProc;
  windowClass.lpszClassName = L"TkStandIn";
  RegisterClassW(&windowClass);
  CreateWindowW(L"TkStandIn", L"Tovren çalışıyor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                nullptr, nullptr, nullptr, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0)
    DispatchMessageW(&message);
  CloseHandle(CreateFileW((self + L".kapandi").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  return 0;
}

int wmain() {
  wchar_t buffer[1024];
  std::wstring self(buffer, GetModuleFileNameW(nullptr, buffer, 1024));
  auto exists = [&](const wchar_t* suffix) {
    return GetFileAttributesW((self + suffix).c_str()) != INVALID_FILE_ATTRIBUTES;
  };
  std::wstring record = GetCommandLineW();
  for (int waited = 0; exists(L".bekle") && !exists(L".go") && waited < 200; ++waited)
    Sleep(50);
  if (exists(L".bekle") && !exists(L".go"))
    record = L"beklemedi";
  tk::test::writeAnswer(self, record);
  return exists(L".kal") ? stayUp(self) : 0;
}
