// The zip tests' host on Windows: the system's OEM code page.
// clang-format off: <windows.h> with the project's settings first
#include "platform/windows/win32.h"
// clang-format on

#include "zip_test_support.h"

namespace tk::test {

bool oemCodePageIs857() {
  return GetOEMCP() == 857;
}

}  // namespace tk::test
