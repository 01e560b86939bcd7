// The program's start on the substitute: the platform, then Form1 in its FLTK window.
#include <cstdio>

#include "app/program.h"
#include "platform/host_platform.h"
#include "platform/window.h"

int main() {
  tk::host::HostPlatform platform;
  try {
    return tk::runProgram(platform, tk::host::makeFormWindow);
  } catch (const tk::PlatformError& error) {
    // Only the window's creation can get here (no display, say): there is no window to report in.
    std::fprintf(stderr, "TovrenKur: %s\n", error.description.c_str());
  } catch (...) {
    std::fputs("TovrenKur: beklenmeyen hata\n", stderr);
  }
  return 1;
}
