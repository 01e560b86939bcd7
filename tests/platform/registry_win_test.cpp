// RegRead on the real registry (under Wine in the test's prefix): text values, the missing
// key or value, and failures that must not look like a missing value.
#include <gtest/gtest.h>

#include "number_raised.h"
#include "platform/error.h"
#include "platform/registry.h"
#include "platform/windows/win32.h"

namespace tk {
namespace {

// A key of the test's own, never Chrome's real one.
const wchar_t* const kKey = L"Software\\TovrenKurTest\\BLBeacon";
const std::string kName = "HKEY_CURRENT_USER\\Software\\TovrenKurTest\\BLBeacon\\";

class RegistryRead : public ::testing::Test {
 protected:
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TovrenKurTest"); }
  static void setText(const wchar_t* value, const std::wstring& data) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kKey, value, REG_SZ, data.c_str(),
                              static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  static int32_t failure(const std::string& name) {
    return test::numberRaised([&] { host::regRead(name); });
  }
};

TEST_F(RegistryRead, TextValuesAsUtf8) {
  setText(L"version", L"105.0.5195.102");
  setText(L"sürüm", L"İkinci ş");
  setText(L"boş", L"");
  EXPECT_EQ(host::regRead(kName + "version"), "105.0.5195.102");
  EXPECT_EQ(host::regRead("HKCU\\Software\\TovrenKurTest\\BLBeacon\\VERSION"), "105.0.5195.102");
  EXPECT_EQ(host::regRead(kName + "sürüm"), "İkinci ş");
  EXPECT_EQ(host::regRead(kName + "boş"), "");
}

TEST_F(RegistryRead, MissingKeyOrValueAndOtherFailures) {
  EXPECT_EQ(failure(kName + "version"), err::kRegValueMissing);  // no key yet
  setText(L"başka", L"x");
  EXPECT_EQ(failure(kName + "version"), err::kRegValueMissing);  // key without the value
  EXPECT_EQ(failure("HKEY_NOWHERE\\Software\\x"), err::kRegValueMissing);
  DWORD number = 105;
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"sayı", REG_DWORD, &number, sizeof number),
            ERROR_SUCCESS);
  EXPECT_EQ(failure(kName + "sayı"), hresultFromWin32(ERROR_UNSUPPORTED_TYPE));
}

}  // namespace
}  // namespace tk
