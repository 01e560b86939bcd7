// A file's version and its name from its version resource, read with the system's own version
// functions. version.dll is loaded from the system folder the first time one is asked for.
#include <cwchar>
#include <optional>
#include <vector>

#include "platform/host_platform.h"
#include "platform/windows/dynamic_win.h"
#include "platform/windows/file_version_win.h"
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

const VersionApi* versionApi() {
  static const std::optional<VersionApi> api = loadVersionApi();
  return api ? &*api : nullptr;
}

// The file's whole version resource; empty for a missing file or one without a resource.
std::vector<unsigned char> versionBlock(const VersionApi& api, const std::wstring& file) {
  DWORD ignored = 0;
  DWORD size = api.infoSize(file.c_str(), &ignored);
  std::vector<unsigned char> block(size);
  if (size == 0 || !api.info(file.c_str(), 0, size, block.data()))
    return {};
  return block;
}

}  // namespace

std::wstring versionResourceName(const std::wstring& file) {
  const VersionApi* api = versionApi();
  std::vector<unsigned char> block = api ? versionBlock(*api, file) : std::vector<unsigned char>{};
  if (block.empty())
    return {};
  // The strings of the resource's first language, as Explorer shows them; US English otherwise.
  struct Translation {
    WORD language, codePage;
  } first{0x0409, 1200};
  void* value = nullptr;
  UINT length = 0;
  if (api->queryValue(block.data(), L"\\VarFileInfo\\Translation", &value, &length) &&
      length >= sizeof first) {
    first = *static_cast<const Translation*>(value);
  }
  // "\StringFileInfo\040904b0\FileDescription": the table named by language and code page.
  wchar_t key[48] = L"\\StringFileInfo\\00000000\\FileDescription";
  const unsigned table = (unsigned{first.language} << 16) | first.codePage;
  for (int k = 0; k < 8; ++k)
    key[16 + k] = L"0123456789abcdef"[(table >> (28 - 4 * k)) & 15];
  for (const wchar_t* name : {L"FileDescription", L"ProductName"}) {
    std::wcscpy(key + 25, name);
    if (api->queryValue(block.data(), key, &value, &length) && length > 1)
      return static_cast<const wchar_t*>(value);
  }
  return {};
}

std::optional<FileVersionNumber> HostPlatform::FileVersion(const std::string& path) {
  const VersionApi* api = versionApi();
  std::vector<unsigned char> block =
      api ? versionBlock(*api, toWide(path)) : std::vector<unsigned char>{};
  void* value = nullptr;
  UINT length = 0;
  if (block.empty() || !api->queryValue(block.data(), L"\\", &value, &length) ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;  // no such file, or no version resource in it
  }
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  if (fixed->dwSignature != VS_FFI_SIGNATURE)
    return std::nullopt;
  return (FileVersionNumber{fixed->dwFileVersionMS} << 32) | fixed->dwFileVersionLS;
}

}  // namespace tk::host
