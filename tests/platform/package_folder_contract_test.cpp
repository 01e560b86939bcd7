// The package folder's claim, the working copy and its sweep, with real processes: another run
// is this program started again (WorkingFolder.RunOfItsOwn).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <thread>

#include "contract_support.h"
#include "number_raised.h"
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
  return test::numberRaised([&] { platform.ClaimFolder(folder); });
}

TEST(WorkingFolder, RunOfItsOwn) {
  const char* root = std::getenv("TK_CALISMA_KOKU");
  if (root == nullptr)
    GTEST_SKIP() << "started by the next test";
  fs::path scratch = test::fromUtf8(root);
  std::string package = test::utf8Of(scratch / "Tovren-Selvane");
  test::HostPlatform platform;
  std::unique_ptr<FolderClaim> claim = platform.ClaimFolder(package);
  std::string copy = platform.CopyToWorkingFolder(package);
  double script = platform.Shell("cmd.exe /s /c \"\"" + copy + "\\install.cmd\"\"", 2);
  std::ofstream(scratch / "rapor") << script << "\n" << copy;
  waitFor([&] { return fs::exists(scratch / "dur1"); });
}

// The copy holds all but the lock file and temporary files; it stays while its run or
// the script started from it runs, and then goes with the next sweep, as do this computer's
// other ended copies, never another computer's.
TEST(WorkingFolder, IsACopyThatStaysWhileItsRunOrScriptRuns) {
  test::ScratchFolder scratch;
  std::string package = scratch.path("Tovren-Selvane");
#ifdef _WIN32
  std::string script = "@echo off\r\n:bekle\r\nif not exist \"" +
                       test::utf8Of(scratch.host("dur2")) + "\" goto bekle\r\n";
  _putenv_s("TK_CALISMA_KOKU", test::utf8Of(scratch.host("")).c_str());
#else
  std::string script = "while [ ! -e '" + scratch.host("dur2").string() + "' ]; do sleep 0.2; done";
  setenv("TK_CALISMA_KOKU", scratch.host("").c_str(), 1);
#endif
  scratch.folder("Tovren-Selvane\\alt");
  scratch.file("Tovren-Selvane\\install.cmd", script);
  scratch.file("Tovren-Selvane\\alt\\arsiv.zip", "eski");
  scratch.file("Tovren-Selvane\\arsiv.zip.BASKA-PC-77-0.part", "yarım");
  fs::path temp = test::fromUtf8(host::temporaryFolder());
  fs::path ended = temp / ("TovrenKur-" + host::thisComputer() + "-4294967-0");
  fs::path foreign = temp / "TovrenKur-BASKA-PC-4294967-0";
  fs::create_directories(ended);
  fs::create_directories(foreign);
  test::HostPlatform platform;
  double run = platform.Shell("\"" + platform.AppPath() + "\\" + std::string(test::kTestProgram) +
                                  "\" --gtest_filter=WorkingFolder.RunOfItsOwn",
                              0);
  ASSERT_TRUE(waitFor([&] { return fs::exists(scratch.host("rapor")); }));
  double started = 0;
  std::string copy;
  std::ifstream(scratch.host("rapor")) >> started >> std::ws >> copy;
  fs::path folder = test::fromUtf8(copy);
  std::string name = test::utf8Of(folder.filename());
  std::string_view computer;
  uint64_t owner = 0;
  EXPECT_TRUE(host::parseWorkingFolderName(name, computer, owner) &&
              computer == host::thisComputer() && owner == static_cast<uint64_t>(run));
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
    names.push_back(fs::relative(entry.path(), folder).generic_string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names,
            (std::vector<std::string>{"TovrenKur.lock", "alt", "alt/arsiv.zip", "install.cmd"}));

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
  EXPECT_TRUE(waitFor([&] { return !host::processRuns(static_cast<uint64_t>(started)); }));
  platform.RemoveEndedWorkingFolders();
  EXPECT_FALSE(fs::exists(folder)) << "both have ended";
  fs::remove_all(foreign);
}

}  // namespace
}  // namespace tk
