// A component for the registration tests: its DllRegisterServer records the command line of the
// process that registers it in "<its own path>.komut", so a test sees what reached regsvr32.
#include "platform/windows/win32.h"

#include <string>

#include "answer_file_win.h"

static HMODULE self = nullptr;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH)
    self = instance;
  return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer() {
  wchar_t buffer[1024];
  std::wstring target(buffer, GetModuleFileNameW(self, buffer, 1024));
  tk::test::writeAnswer(target, GetCommandLineW());
  return S_OK;
}
