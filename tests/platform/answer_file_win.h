// How the Windows stand-ins (the program that Shell starts, the component that regsvr32
// registers) leave what they saw for the test waiting on it (readAnswer in scratch_win.h).
#pragma once

#include "platform/windows/win32.h"

#include <string>

namespace tk::test {

// Writes `text` as UTF-8 to "<self>.komut", under another name first and renamed, so a waiting
// test never reads it half written.
inline void writeAnswer(const std::wstring& self, const std::wstring& text) {
  char bytes[4096];
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes,
                                 sizeof bytes, nullptr, nullptr);
  HANDLE file = CreateFileW((self + L".yeni").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr);
  CloseHandle(file);
  MoveFileExW((self + L".yeni").c_str(), (self + L".komut").c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace tk::test
