// The package folder's claim, the working copy and its sweep on the real platform, with real
// processes: a run of its own is this test program started again (WorkingFolder.RunOfItsOwn),
// which claims the package, copies it, starts the package script from the copy and ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <thread>

#include "contract_support.h"
#include "platform/package_folder.h"
#include "platform/support_log.h"

namespace fs = std::filesystem;

namespace tk {
namespace {

bool waitFor(const std::function<bool()>& done) {
  for (int k = 0; k < 300 && !done(); ++k)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  return done();
}

int32_t claimRefused(Platform& platform, const std::string& folder) {
  try {
    platform.ClaimFolder(folder);
    return 0;
  } catch (const PlatformError& error) {
    return error.number;
  }
}

// A package script that waits for a file to appear, in the host's script language.
std::string waitingScript(const std::string& stop) {
#ifdef _WIN32
  return "@echo off\r\n:bekle\r\nif not exist \"" + stop + "\" goto bekle\r\n";
#else
  return "while [ ! -e '" + stop + "' ]; do sleep 0.1; done\n";
#endif
}

TEST(PackageFolder, AWorkingCopyHoldsAllButTheLockAndTemporaryFilesAndIsWritable) {
  test::ScratchFolder scratch;
  scratch.folder("Tovren-Selvane\\alt");
  scratch.file("Tovren-Selvane\\install.cmd", "betik");
  scratch.file("Tovren-Selvane\\alt\\not.txt", "not");
  scratch.file("Tovren-Selvane\\chromedriver_win32.zip", "eski arşiv");
  test::makeReadOnly(scratch.host("Tovren-Selvane\\chromedriver_win32.zip"));
  scratch.file("Tovren-Selvane\\TovrenKur.lock", "");
  scratch.file("Tovren-Selvane\\chromedriver_win32.zip.BASKA-PC-77-0.part", "yarım");
  auto platform = std::make_unique<test::HostPlatform>();
  std::string copy = platform->CopyToWorkingFolder(scratch.path("Tovren-Selvane"));

  fs::path folder = test::fromUtf8(copy);
  std::string name = test::utf8Of(folder.filename());
  std::string_view computer;
  uint64_t owner = 0;
  ASSERT_TRUE(host::parseWorkingFolderName(name, computer, owner)) << copy;
  EXPECT_EQ(computer, host::thisComputer());
  EXPECT_TRUE(host::processRuns(owner) && owner != 0);
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
    names.push_back(fs::relative(entry.path(), folder).generic_string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"TovrenKur.lock", "alt", "alt/not.txt",
                                             "chromedriver_win32.zip", "install.cmd"}));
  EXPECT_FALSE(test::isReadOnly(folder / "chromedriver_win32.zip"));
  platform->RemoveEndedWorkingFolders();
  EXPECT_TRUE(fs::exists(folder)) << "this run's copy stays";
  platform.reset();  // the run ends
  test::makeRemovable(folder);
  fs::remove_all(folder);
}

// Run by the next test, in a process of its own: one run of the installer that works in a copy
// and ends when it is told, while the script it started from the copy runs on. It reports the
// script's process id and the copy.
TEST(WorkingFolder, RunOfItsOwn) {
  const char* root = std::getenv("TK_CALISMA_KOKU");
  if (root == nullptr)
    GTEST_SKIP() << "started by WorkingFolder.StaysWhileItsRunOrScriptRuns...";
  fs::path scratch = test::fromUtf8(root);
  std::string package = test::utf8Of(scratch / "Tovren-Selvane");
  test::HostPlatform platform;
  std::unique_ptr<FolderClaim> claim = platform.ClaimFolder(package);
  std::string copy = platform.CopyToWorkingFolder(package);
  double script = platform.Shell("cmd.exe /s /c \"\"" + copy + "\\install.cmd\"\"", 2);
  std::ofstream(scratch / "rapor") << script << "\n" << copy;
  waitFor([&] { return fs::exists(scratch / "dur1"); });
}

TEST(WorkingFolder, StaysWhileItsRunOrScriptRunsAndOnlyThisComputersEndedOnesGo) {
  test::ScratchFolder scratch;
  std::string root = test::utf8Of(scratch.host(""));
  std::string package = scratch.path("Tovren-Selvane");
  scratch.folder("Tovren-Selvane");
  scratch.file("Tovren-Selvane\\install.cmd", waitingScript(test::utf8Of(scratch.host("dur2"))));
  fs::path temp = test::fromUtf8(host::temporaryFolder());
  fs::path ended = temp / ("TovrenKur-" + host::thisComputer() + "-4294967-0");  // never held
  fs::path foreign = temp / "TovrenKur-BASKA-PC-4294967-0";  // another computer's
  fs::create_directories(ended);
  fs::create_directories(foreign);
#ifdef _WIN32
  _putenv_s("TK_CALISMA_KOKU", root.c_str());
#else
  setenv("TK_CALISMA_KOKU", root.c_str(), 1);
#endif
  test::HostPlatform platform;
  double run = platform.Shell("\"" + platform.AppPath() + "\\" + std::string(test::kTestProgram) +
                                  "\" --gtest_filter=WorkingFolder.RunOfItsOwn",
                              0);
  ASSERT_TRUE(waitFor([&] { return fs::exists(scratch.host("rapor")); }));
  double script = 0;
  std::string copy;
  std::ifstream(scratch.host("rapor")) >> script >> std::ws >> copy;
  fs::path folder = test::fromUtf8(copy);

  EXPECT_EQ(claimRefused(platform, package), err::kPermissionDenied) << "the other run has it";
  platform.RemoveEndedWorkingFolders();
  EXPECT_TRUE(fs::exists(folder)) << "its run goes on";
  scratch.file("dur1");
  EXPECT_TRUE(waitFor([&] { return !host::processRuns(static_cast<uint64_t>(run)); }));
  EXPECT_EQ(claimRefused(platform, package), 0) << "free once that run has ended";
  platform.RemoveEndedWorkingFolders();
  EXPECT_TRUE(fs::exists(folder)) << "its script goes on";
  EXPECT_FALSE(fs::exists(ended));
  EXPECT_TRUE(fs::exists(foreign));
  scratch.file("dur2");
  EXPECT_TRUE(waitFor([&] { return !host::processRuns(static_cast<uint64_t>(script)); }));
  platform.RemoveEndedWorkingFolders();
  EXPECT_FALSE(fs::exists(folder)) << "both have ended";
  fs::remove_all(foreign);
}

}  // namespace
}  // namespace tk
