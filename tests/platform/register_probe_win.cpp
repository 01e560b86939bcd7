// A component for the registration tests: its DllRegisterServer records the command line of the
// process that registers it in "<its own path>.komut", so a test sees what reached regsvr32.
#include "platform/windows/win32.h"

#include <string>

static HMODULE self = nullptr;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH)
    self = instance;
  return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer() {
  wchar_t buffer[1024];
  std::wstring target(buffer, GetModuleFileNameW(self, buffer, 1024));
  std::wstring line = GetCommandLineW();
  char bytes[4096];
  int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), bytes,
                                 sizeof bytes, nullptr, nullptr);
  // Written under another name and renamed, so a waiting test never reads it half written.
  HANDLE file = CreateFileW((target + L".yeni").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr);
  CloseHandle(file);
  MoveFileExW((target + L".yeni").c_str(), (target + L".komut").c_str(), MOVEFILE_REPLACE_EXISTING);
  return S_OK;
}
