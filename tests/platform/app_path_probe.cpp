// A test-only program that writes its own App.Path (UTF-8) into the file named by the variable
// TK_APP_PATH_OUTPUT, so that a test can copy it to a chosen folder, run it there and compare.
// It writes the file itself: a handle inherited from the test could outlive it in Wine's console
// host and keep the test's scratch folder from being removed.
#include <string>

#include "platform/host_platform.h"
#include "platform/windows/handles_win.h"

int main() {
  std::wstring target(32768, L'\0');
  DWORD length = GetEnvironmentVariableW(L"TK_APP_PATH_OUTPUT", target.data(),
                                         static_cast<DWORD>(target.size()));
  if (length == 0 || length >= target.size())
    return 2;
  target.resize(length);
  std::string answer;
  try {
    answer = tk::host::HostPlatform().AppPath();
  } catch (const tk::PlatformError& error) {
    answer = "error " + std::to_string(error.number);
  }
  tk::host::UniqueHandle out(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (!out ||
      !WriteFile(out.get(), answer.data(), static_cast<DWORD>(answer.size()), &written, nullptr))
    return 3;
  return 0;
}
