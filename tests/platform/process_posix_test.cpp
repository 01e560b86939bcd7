// The substitute's Shell on real processes: the cmd.exe stand-in, programs started by unquoted
// and quoted paths, detachment without waiting, and the numbers of failed starts.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "number_raised.h"
#include "platform/host_platform.h"
#include "platform/temp_home_posix.h"

namespace fs = std::filesystem;

namespace tk {
namespace {

using test::readFile;
using test::waitForFile;
using test::writeFile;

TEST(ShellOnTheSubstitute, CmdRunsTheScriptDetachedWithoutWaiting) {
  // The script waits (at most 10 s) for a "go" file beside it, then records its arguments.
  const std::string script =
      "d=$(dirname \"$0\"); i=0\n"
      "while [ ! -f \"$d/go\" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done\n"
      "if [ -f \"$d/go\" ]; then printf '%s\\n' \"$@\" >\"$d/a\"; else echo beklemedi >\"$d/a\"; "
      "fi\n"
      "mv \"$d/a\" \"$d/args\"\n";
  for (const auto& [line, folder, args] : std::vector<std::array<std::string, 3>>{
           {"cmd.exe /c C:\\Kurulum\\install.cmd", "Kurulum", "\n"},
           {"CMD /s /c \"\"C:\\kurulum klasörü (x86)\\install.cmd\" \"bir iki\" üç\"",
            "Kurulum Klasörü (x86)", "bir iki\nüç\n"}}) {
    test::TempHome scratch;
    fs::path place = scratch.driveC() / folder;
    writeFile(place / "install.cmd", script);
    host::HostPlatform platform;
    auto pid = static_cast<pid_t>(platform.Shell(line, vbMinimizedFocus));
    EXPECT_FALSE(fs::exists(place / "args")) << "Shell waited";
    EXPECT_EQ(getsid(pid), pid) << "not in a session of its own";
    EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), -1) << "left as the installer's child";
    writeFile(place / "go", "");
    ASSERT_TRUE(waitForFile(place / "args")) << line;
    EXPECT_EQ(readFile(place / "args"), args) << line;
  }
}

TEST(ShellOnTheSubstitute, APathWithBlanksStartsTheWholePathNeverADecoy) {
  test::TempHome scratch;
  fs::path program = scratch.driveC() / "Ayşe Işık/Tovren/Tovren.exe";
  // Written whole, then renamed: the test reads it as soon as it is there.
  writeFile(program,
            "#!/bin/sh\nprintf '%s\\n' \"$@\" >\"$0.part\" && mv \"$0.part\" \"$0.args\"\n", true);
  for (const char* decoy : {"Ayşe", "Ayşe.exe"})
    writeFile(scratch.driveC() / decoy, "#!/bin/sh\ntouch \"$0.ran\"\n", true);
  host::HostPlatform platform;
  platform.Shell("C:\\Ayşe Işık\\Tovren\\Tovren.exe", vbNormalFocus);
  ASSERT_TRUE(waitForFile(program.string() + ".args"));
  EXPECT_EQ(readFile(program.string() + ".args"), "\n");
  fs::remove(program.string() + ".args");
  platform.Shell("\"C:\\Ayşe Işık\\Tovren\\Tovren.exe\" -x \"a b\" c\\\"d", vbNormalFocus);
  ASSERT_TRUE(waitForFile(program.string() + ".args"));
  EXPECT_EQ(readFile(program.string() + ".args"), "-x\na b\nc\"d\n");
  EXPECT_FALSE(fs::exists(scratch.driveC() / "Ayşe.ran"));
  EXPECT_FALSE(fs::exists(scratch.driveC() / "Ayşe.exe.ran"));
}

// What an unattended run waits for: the exit code (regsvr32's 3 for a file it cannot register),
// or none for a program still running at the limit, which goes on to its end.
TEST(ShellOnTheSubstitute, ShellAndWaitGivesTheExitCodeOrNoneAtTheLimit) {
  using namespace std::chrono_literals;
  test::TempHome scratch;
  writeFile(scratch.driveC() / "uzun.cmd", "sleep 1; touch \"$(dirname \"$0\")/bitti\"\n");
  host::HostPlatform platform;
  EXPECT_EQ(platform.ShellAndWait("regsvr32 /s \"C:\\Windows\\yok.dll\"", 2, 10s), 3u);
  EXPECT_EQ(platform.ShellAndWait("cmd.exe /c C:\\uzun.cmd", vbHide, 300ms), std::nullopt);
  EXPECT_FALSE(fs::exists(scratch.driveC() / "bitti"));
  EXPECT_TRUE(waitForFile(scratch.driveC() / "bitti")) << "left to run";
}

TEST(ShellOnTheSubstitute, AFailedStartRaisesTheRuntimeNumber) {
  test::TempHome scratch;
  writeFile(scratch.driveC() / "okunur.exe", "#!/bin/sh\n");  // not executable
  writeFile(scratch.driveC() / "bozuk.exe",
            "\x7f"
            "ELF?",
            true);  // not a program
  host::HostPlatform platform;
  for (const auto& [line, style, number] : std::vector<std::tuple<std::string, int, int32_t>>{
           {"\"C:\\Yok Klasör\\yok.exe\" /a", 1, err::kFileNotFound},
           {"C:\\okunur.exe", 1, err::kPermissionDenied},
           {"C:\\bozuk.exe", 2, err::kInvalidCall},
           {"  ", 1, err::kInvalidCall},
           {"cmd.exe /c x.cmd", 5, err::kInvalidCall}}) {
    EXPECT_EQ(test::numberRaised([&] { platform.Shell(line, style); }), number) << line;
  }
}

// A program run from a file that the installation replaces is found by its executable; asked
// with SIGTERM, it closes, or ignoring it, it is left running or, where it may be, killed.
TEST(HoldersOnTheSubstitute, FoundByTheirExecutableThenClosedEndedOrLeft) {
  test::TempHome scratch;
  fs::create_directories(scratch.driveC());
  fs::copy_file("/bin/sh", scratch.driveC() / "chromedriver.exe");
  const std::string driver = "C:\\chromedriver.exe", ready = (scratch.driveC() / "hazir").string();
  // It waits on a pipe no one writes, so no child of its own shares its executable for a moment.
  const fs::path pipe = scratch.driveC() / "boru";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string wait = ": >'" + ready + "'; read x <'" + pipe.string() + "'";
  host::HostPlatform platform;
  for (const auto& [script, mayEnd, end] : std::vector<std::tuple<std::string, bool, HolderEnd>>{
           {wait, false, HolderEnd::Closed},
           {"trap '' TERM; " + wait, true, HolderEnd::Ended},
           {"trap '' TERM; " + wait, false, HolderEnd::Running}}) {
    fs::remove(ready);
    auto pid = static_cast<pid_t>(platform.Shell("\"" + driver + "\" -c \"" + script + "\"", 1));
    EXPECT_TRUE(waitForFile(ready));
    std::vector<FileHolder> holders = platform.FindHolders({driver, "C:\\yok.exe"});
    EXPECT_EQ(holders.size(), 1u) << script;
    for (FileHolder& holder : holders) {  // the one found is this run's
      EXPECT_EQ(holder.processId, static_cast<uint32_t>(pid));
      EXPECT_EQ(holder.name + " " + holder.program, "chromedriver.exe " + driver);
      holder.mayEnd = mayEnd;
      EXPECT_EQ(platform.CloseHolders({holder}, std::chrono::milliseconds(300)),
                std::vector<HolderEnd>{end})
          << script;
    }
    ::kill(pid, SIGKILL);
    for (int k = 0; k < 200 && !platform.FindHolders({driver}).empty(); ++k)
      ::usleep(10000);
  }
}

}  // namespace
}  // namespace tk
