// A file's version from its version resource, read with the system's own version functions.
// version.dll is loaded from the system folder the first time a version is asked for.
#include <optional>
#include <vector>

#include "platform/host_platform.h"
#include "platform/windows/dynamic_win.h"
#include "platform/windows/strings_win.h"

#include <winver.h>

namespace tk::host {
namespace {

struct VersionApi {
  decltype(&GetFileVersionInfoSizeW) infoSize;
  decltype(&GetFileVersionInfoW) info;
  decltype(&VerQueryValueW) queryValue;
};

std::optional<VersionApi> loadVersionApi() {
  HMODULE module = loadSystemLibrary(L"version.dll");  // stays loaded for the program's life
  VersionApi api{};
  if (!resolve(module, "GetFileVersionInfoSizeW", api.infoSize) ||
      !resolve(module, "GetFileVersionInfoW", api.info) ||
      !resolve(module, "VerQueryValueW", api.queryValue)) {
    return std::nullopt;
  }
  return api;
}

}  // namespace

std::optional<FileVersionNumber> HostPlatform::FileVersion(const std::string& path) {
  static const std::optional<VersionApi> api = loadVersionApi();
  if (!api)
    return std::nullopt;
  std::wstring file = toWide(path);
  DWORD ignored = 0;
  DWORD size = api->infoSize(file.c_str(), &ignored);
  if (size == 0)
    return std::nullopt;  // no such file, or no version resource in it
  std::vector<unsigned char> block(size);
  void* value = nullptr;
  UINT length = 0;
  if (!api->info(file.c_str(), 0, size, block.data()) ||
      !api->queryValue(block.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  if (fixed->dwSignature != VS_FFI_SIGNATURE)
    return std::nullopt;
  return (FileVersionNumber{fixed->dwFileVersionMS} << 32) | fixed->dwFileVersionLS;
}

}  // namespace tk::host
