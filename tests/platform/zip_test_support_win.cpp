// The zip tests' real platform on Windows: COM for the test's thread and the OEM code page.
// clang-format off: <windows.h> with the project's settings first
#include "platform/windows/win32.h"
// clang-format on

#include <ole2.h>

#include "zip_test_support.h"

namespace tk::test {

bool oemCodePageIs857() {
  return GetOEMCP() == 857;
}

ComApartment::ComApartment() : initialized_(SUCCEEDED(OleInitialize(nullptr))) {}
ComApartment::~ComApartment() {
  if (initialized_)
    OleUninitialize();
}

}  // namespace tk::test
