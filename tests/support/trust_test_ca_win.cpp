// Test-only helper: adds a DER certificate to the current prefix's "Root" store, so that WinINet
// trusts the loopback test server's certificate inside the test's own Wine prefix.
#include <cstdio>
#include <vector>

#include "platform/windows/win32.h"

#include <wincrypt.h>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2)
    return 2;
  std::FILE* file = _wfopen(argv[1], L"rb");
  if (file == nullptr)
    return 3;
  std::vector<unsigned char> der;
  unsigned char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
    der.insert(der.end(), buffer, buffer + got);
  std::fclose(file);
  if (!CertAddEncodedCertificateToSystemStoreW(L"Root", der.data(), static_cast<DWORD>(der.size())))
    return 4;
  return 0;
}
