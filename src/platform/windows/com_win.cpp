// ole32, oleaut32 and shell32 loaded from the system folder the first time the program needs
// them, and the UI thread's apartment entered at that moment.
#include <optional>

#include "platform/windows/com_win.h"
#include "platform/windows/dynamic_win.h"

namespace tk::host {
namespace {

std::optional<ComApi> loadComApi() {
  // Each library stays loaded for the life of the program.
  HMODULE ole32 = loadSystemLibrary(L"ole32.dll");
  HMODULE oleaut32 = loadSystemLibrary(L"oleaut32.dll");
  HMODULE shell32 = loadSystemLibrary(L"shell32.dll");
  ComApi api{};
  if (!resolve(ole32, "OleInitialize", api.oleInitialize) ||
      !resolve(ole32, "OleUninitialize", api.oleUninitialize) ||
      !resolve(ole32, "CoCreateInstance", api.createInstance) ||
      !resolve(ole32, "CLSIDFromString", api.clsidFromString) ||
      !resolve(ole32, "CoTaskMemFree", api.taskMemFree) ||
      !resolve(oleaut32, "SysAllocStringLen", api.allocString) ||
      !resolve(oleaut32, "SysFreeString", api.freeString) ||
      !resolve(oleaut32, "VariantClear", api.variantClear) ||
      !resolve(shell32, "SHGetKnownFolderPath", api.knownFolderPath)) {
    return std::nullopt;
  }
  return api;
}

}  // namespace

const ComApi& comApi() {
  static const std::optional<ComApi> api = loadComApi();
  if (!api)
    throw makeError(err::kCannotCreateObject);
  // Entered once, on the thread of the first call: the program has only its UI thread. Left
  // when the program ends, after every object of the Continue action has been released.
  static const Apartment apartment(*api);
  return *api;
}

}  // namespace tk::host
