// The substitute's Shell on real processes: the cmd.exe stand-in, programs started by unquoted
// and quoted paths, detachment without waiting, and the numbers of failed starts.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

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
    try {
      platform.Shell(line, style);
      ADD_FAILURE() << "started: " << line;
    } catch (const PlatformError& error) {
      EXPECT_EQ(error.number, number) << line;
    }
  }
}

}  // namespace
}  // namespace tk
