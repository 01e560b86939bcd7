// What the support log tells of the system: Windows' real version (RtlGetVersion, which no
// compatibility shim bends, unlike GetVersionExW), the bitness, and the token's elevation
// (elevation_win.cpp).
#include "platform/host_platform.h"
#include "platform/windows/dynamic_win.h"
#include "platform/windows/elevation_win.h"

namespace tk::host {
namespace {

std::string windowsVersion() {
  using RtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
  auto getVersion = systemFunction<RtlGetVersion>(L"ntdll.dll", "RtlGetVersion");
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (getVersion == nullptr || getVersion(&info) != 0)
    return "Windows (sürümü okunamadı)";
  std::string version = "Windows " + std::to_string(info.dwMajorVersion) + "." +
                        std::to_string(info.dwMinorVersion) + "." +
                        std::to_string(info.dwBuildNumber);
  BOOL wow64 = FALSE;
  if (sizeof(void*) == 8 || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64))
    return version + ", 64 bit";
  return version + ", 32 bit";
}

}  // namespace

Platform::SystemFacts HostPlatform::DescribeSystem() {
  TokenRights rights = processRights();
  return {windowsVersion(), rights.elevated, userRightsFor(rights)};
}

}  // namespace tk::host
