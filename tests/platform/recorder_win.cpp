// A stand-in program for the Shell tests: records the command line it was started with in
// "<its own path>.komut". When "<its own path>.bekle" exists it first waits (at most 10 s) for
// "<its own path>.go", and records "beklemedi" if that never comes.
#include "platform/windows/win32.h"

#include <string>

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
  char bytes[4096];
  int size = WideCharToMultiByte(CP_UTF8, 0, record.c_str(), static_cast<int>(record.size()), bytes,
                                 sizeof bytes, nullptr, nullptr);
  // Written under another name and renamed, so a waiting test never reads it half written.
  HANDLE file = CreateFileW((self + L".yeni").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr);
  CloseHandle(file);
  MoveFileExW((self + L".yeni").c_str(), (self + L".komut").c_str(), MOVEFILE_REPLACE_EXISTING);
  return 0;
}
