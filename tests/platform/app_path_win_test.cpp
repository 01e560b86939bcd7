// App.Path of a real program started from chosen folders under Wine: one with Turkish letters and
// spaces, and a drive root (the only folder that keeps its closing backslash); and the module
// path's buffer growing from any first size.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "contract_support.h"
#include "platform/windows/files_win.h"
#include "platform/windows/handles_win.h"
#include "platform/windows/strings_win.h"

namespace fs = std::filesystem;

namespace tk {
namespace {

constexpr DWORD kProbeTimeoutMs = 30000;

// Removes a file when the test leaves, also on a failed assertion.
struct RemoveAtEnd {
  fs::path file;
  ~RemoveAtEnd() {
    std::error_code ignored;
    fs::remove(file, ignored);
  }
};

class AppPathPlaces : public ::testing::Test {
 protected:
  // Copies the probe program to `folder`, runs it there and returns the App.Path it saw.
  std::string appPathSeenFrom(const fs::path& folder, const std::wstring& probeName) {
    fs::path copy = folder / probeName;
    std::wstring source = host::toWide(platform_.AppPath()) + L"\\app_path_probe.exe";
    if (!CopyFileW(source.c_str(), copy.c_str(), FALSE)) {
      ADD_FAILURE() << "cannot copy the probe to " << host::toUtf8(copy.wstring());
      return {};
    }
    RemoveAtEnd removeCopy{copy};
    fs::path output = scratch_.host("probe-output.txt");
    runToFile(copy, output);
    std::ifstream in(output, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // Runs `program`, which writes its answer into `output`, waiting a bounded while.
  void runToFile(const fs::path& program, const fs::path& output) {
    ASSERT_TRUE(SetEnvironmentVariableW(L"TK_APP_PATH_OUTPUT", output.c_str()));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring commandLine = L"\"" + program.wstring() + L"\"";
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                               CREATE_NO_WINDOW, nullptr, nullptr, &startup, &started))
        << "error " << GetLastError();
    host::UniqueHandle process(started.hProcess), thread(started.hThread);
    if (WaitForSingleObject(process.get(), kProbeTimeoutMs) != WAIT_OBJECT_0) {
      TerminateProcess(process.get(), 1);
      FAIL() << "the probe did not end";
    }
    DWORD exitCode = 1;
    GetExitCodeProcess(process.get(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
  }

  test::ScratchFolder scratch_;
  test::HostPlatform platform_;
};

TEST_F(AppPathPlaces, AFolderWithTurkishLettersAndSpaces) {
  scratch_.folder("Tovren Bileşenleri\\Kurulum Paketi");
  EXPECT_EQ(appPathSeenFrom(scratch_.host("Tovren Bileşenleri\\Kurulum Paketi"), L"probe.exe"),
            scratch_.path("Tovren Bileşenleri\\Kurulum Paketi"));
}

TEST_F(AppPathPlaces, ADriveRootKeepsItsBackslash) {
  std::wstring name = L"tk-probe-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
  EXPECT_EQ(appPathSeenFrom(L"C:\\", name), "C:\\");
}

// Wine starts no program from beyond MAX_PATH, so the buffer's growth is checked in-process,
// from first sizes around the real length.
TEST(ModulePath, GrowsItsBufferUntilThePathFits) {
  std::wstring full = host::modulePath(nullptr);
  ASSERT_GT(full.size(), 2u);
  for (std::size_t first : {std::size_t{0}, std::size_t{1}, std::size_t{7}, full.size() - 1,
                            full.size(), full.size() + 1}) {
    EXPECT_EQ(host::modulePath(nullptr, first), full) << "first buffer of " << first;
  }
}

}  // namespace
}  // namespace tk
