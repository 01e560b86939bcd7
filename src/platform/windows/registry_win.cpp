// RegRead on the registry: "ROOT\key\value" read with RegGetValueW as text.
#include <string_view>

#include "platform/error.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "platform/windows/strings_win.h"
#include "platform/windows/win32.h"

namespace tk::host {
namespace {

// The root key a full name starts with; nullptr for an unknown root.
HKEY rootKey(std::string_view root) {
  struct Root {
    std::string_view longName, shortName;
    HKEY key;
  };
  const Root roots[] = {{"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
                        {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE},
                        {"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT},
                        {"HKEY_USERS", "HKEY_USERS", HKEY_USERS},
                        {"HKEY_CURRENT_CONFIG", "HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG}};
  for (const Root& candidate : roots) {
    if (equalsIgnoringCase(root, candidate.longName) ||
        equalsIgnoringCase(root, candidate.shortName)) {
      return candidate.key;
    }
  }
  return nullptr;
}

PlatformError registryError(LSTATUS status) {
  // A missing key or value is what the script shell reports as "not found".
  if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND)
    return makeError(err::kRegValueMissing);
  return makeError(hresultFromWin32(static_cast<uint32_t>(status)));
}

}  // namespace

std::string regRead(const std::string& name) {
  std::size_t rootEnd = name.find('\\');
  std::size_t valueStart = name.rfind('\\');
  HKEY root = rootKey(std::string_view(name).substr(0, rootEnd));
  if (root == nullptr || rootEnd == std::string::npos)
    throw makeError(err::kRegValueMissing);
  std::wstring key =
      valueStart > rootEnd ? toWide(name.substr(rootEnd + 1, valueStart - rootEnd - 1)) : L"";
  std::wstring value = toWide(name.substr(valueStart + 1));  // "" is the key's default value
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = 0;
    LSTATUS status =
        RegGetValueW(root, key.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size);
    if (status != ERROR_SUCCESS)
      throw registryError(status);
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    status =
        RegGetValueW(root, key.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr, data.data(), &size);
    if (status == ERROR_MORE_DATA)
      continue;  // the value grew between the two calls
    if (status != ERROR_SUCCESS)
      throw registryError(status);
    data.resize(size / sizeof(wchar_t));
    while (!data.empty() && data.back() == L'\0')
      data.pop_back();
    return toUtf8(data);
  }
  throw makeError(hresultFromWin32(ERROR_MORE_DATA));
}

}  // namespace tk::host
