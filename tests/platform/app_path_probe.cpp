// A test-only program that prints its own App.Path (UTF-8) and nothing else, so that a test can
// copy it to a chosen folder, run it there and compare.
#include <cstdio>

#include "platform/windows/win_platform.h"

int main() {
  try {
    tk::win::WinPlatform platform;
    std::string folder = platform.AppPath();
    std::fwrite(folder.data(), 1, folder.size(), stdout);
    return 0;
  } catch (const tk::PlatformError& error) {
    std::fprintf(stderr, "error %d\n", static_cast<int>(error.number));
    return 1;
  }
}
