// The browser-automation component on Windows, against the test double registered in the test:
// creation by class id, calls by dispatch id with text arguments, and the unregistered class.
// (Wine does not merge per-user classes into HKEY_CLASSES_ROOT, so the double is registered there.)
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "number_raised.h"
#include "platform/host_platform.h"
#include "platform/windows/strings_win.h"
#include "platform/windows/win32.h"

#include <objbase.h>

namespace tk {
namespace {

const std::string kDriverClass = "{0277FC34-FD1B-4616-BB19-5D556733E8C9}";
const std::string kFallbackClass = "{0277FC34-FD1B-4616-BB19-E3CCFFAB4234}";
const std::string kInterface = "{0277FC34-FD1B-4616-BB19-CC6284398AA5}";

std::wstring folderOfThisProgram() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text = path;
  return text.substr(0, text.find_last_of(L'\\'));
}

class AutomationWin : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    log_ = folderOfThisProgram() + L"\\automation-test.log";
    DeleteFileW(log_.c_str());
    SetEnvironmentVariableW(L"TK_AUTOMATION_LOG", log_.c_str());
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, key(kDriverClass).c_str());
    CoUninitialize();
  }
  static std::wstring key(const std::string& classId) { return L"CLSID\\" + host::toWide(classId); }
  void registerDouble(const std::string& classId) {
    std::wstring dll = folderOfThisProgram() + L"\\automation_double.dll";
    std::wstring server = key(classId) + L"\\InprocServer32";
    RegSetKeyValueW(HKEY_CLASSES_ROOT, server.c_str(), nullptr, REG_SZ, dll.c_str(),
                    static_cast<DWORD>((dll.size() + 1) * sizeof(wchar_t)));
    const wchar_t model[] = L"Apartment";
    RegSetKeyValueW(HKEY_CLASSES_ROOT, server.c_str(), L"ThreadingModel", REG_SZ, model,
                    sizeof model);
  }
  std::string log() {
    std::ifstream file(log_.c_str(), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  std::wstring log_;
  host::HostPlatform platform_;
};

TEST_F(AutomationWin, CallsTheMembersByDispatchIdWithTextArguments) {
  registerDouble(kDriverClass);
  {
    auto driver = platform_.CreateDispatchObject(kDriverClass, kInterface);
    driver->Invoke(12, {"Chrome"});
    driver->Invoke(32, {"https://www.google.com/ş"});
  }
  EXPECT_EQ(log(), "create\r\n12|Chrome\r\n32|https://www.google.com/ş\r\nrelease\r\n");
}

TEST_F(AutomationWin, AnUnregisteredClassFailsWithItsHresult) {
  EXPECT_EQ(test::numberRaised([&] { platform_.CreateDispatchObject(kFallbackClass, kInterface); }),
            err::kClassNotRegistered);
}

}  // namespace
}  // namespace tk
