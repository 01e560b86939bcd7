// Other rights on the substitute: there are none. Its "system folder" lies in the user's own
// drive C, so the run always has what it needs there (DescribeSystem says elevated), and there is
// no other user to give the application back to; a process started for a step of the run still
// tells its run that it is ready through its standard output, as on Windows.
#include <unistd.h>

#include <cerrno>

#include "platform/host_platform.h"
#include "platform/posix/io_posix.h"

namespace tk::host {

std::string HostPlatform::FormWindowId() {
  return "";
}

std::optional<int> HostPlatform::RunElevated(const std::string&) {
  throw PlatformError(err::kInvalidCall, "Yönetici yetkisiyle çalıştırma bu sistemde yok");
}

bool HostPlatform::AdoptOwnerWindow(const std::string&) {
  return false;  // no run of the substitute starts an elevated step
}

double HostPlatform::ShellAsUser(const std::string& commandLine, int windowStyle) {
  return Shell(commandLine, windowStyle);
}

std::unique_ptr<StepProcess> HostPlatform::StartAsUser(const std::string&) {
  throw PlatformError(err::kInvalidCall, "Kullanıcının yetkisiyle çalıştırma bu sistemde yok");
}

void HostPlatform::ReadyAndWait() {
  char ready = '1';
  if (!writeAll(STDOUT_FILENO, &ready, 1))
    return;
  char buffer[64];
  for (;;) {
    ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got == 0 || (got < 0 && errno != EINTR))
      return;
  }
}

}  // namespace tk::host
