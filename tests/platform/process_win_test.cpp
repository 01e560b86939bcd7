// Shell on Windows with real processes: the program is always named by the installer, bare names
// come from the system folder, planted look-alikes and decoys never run, nothing is waited for,
// and failed starts raise the runtime's numbers.
#include <gtest/gtest.h>

#include "number_raised.h"
#include "platform/host_platform.h"
#include "platform/scratch_win.h"

namespace fs = std::filesystem;

namespace tk {
namespace {

using test::beside;
using test::utf8Of;

// Appends, as "\"" + text at -O2 trips a false -Wrestrict warning in GCC 12.
std::string quoted(const fs::path& path) {
  std::string result(1, '"');
  return result.append(utf8Of(path)).append(1, '"');
}

TEST(ShellOnWindows, AnUnquotedPathWithBlanksRunsWholeQuotedAndIsNotWaitedFor) {
  test::ScratchFolder scratch;
  fs::path root = scratch.host("");
  fs::path program = root / L"Ayşe Işık" / L"Tovren" / L"Tovren.exe";
  test::plant(L"tk_recorder.exe", program);
  test::plant(L"tk_recorder.exe", root / L"Ayşe.exe");  // what Windows would guess
  test::writeFile(beside(program, L".bekle"), "");
  host::HostPlatform platform;
  EXPECT_GT(platform.Shell(utf8Of(program), vbNormalFocus), 0);
  EXPECT_FALSE(fs::exists(beside(program, L".komut"))) << "Shell waited";
  test::writeFile(beside(program, L".go"), "");
  ASSERT_TRUE(test::waitForFile(beside(program, L".komut")));
  EXPECT_EQ(test::readFile(beside(program, L".komut")), quoted(program));
  EXPECT_FALSE(fs::exists(root / L"Ayşe.exe.komut"));
}

TEST(ShellOnWindows, CmdFromTheSystemFolderRunsAScriptInAFolderWithParentheses) {
  test::ScratchFolder scratch;
  fs::path root = scratch.host("");
  test::LookAlikes lookAlikes(L"cmd.exe", root);
  fs::path script = root / L"Kurulum Klasörü (x86)" / L"install.cmd";
  test::writeFile(script,
                  "@echo off\r\necho tamam> \"%~dp0s.yeni\"\r\nren \"%~dp0s.yeni\" s.txt\r\n");
  host::HostPlatform platform;
  platform.Shell("cmd.exe /s /c \"" + quoted(script) + "\"", vbMinimizedFocus);
  ASSERT_TRUE(test::waitForFile(script.parent_path() / L"s.txt"));
  EXPECT_EQ(test::readFile(script.parent_path() / L"s.txt"), "tamam\r\n");
  EXPECT_FALSE(lookAlikes.ran());
}

TEST(ShellOnWindows, AFailedStartRaisesTheRuntimeNumber) {
  test::ScratchFolder scratch;
  fs::path root = scratch.host("");
  test::writeFile(root / L"metin.exe", "bir program değil");
  host::HostPlatform platform;
  for (const auto& [line, style, number] : std::vector<std::tuple<std::string, int, int32_t>>{
           {quoted(root / L"Yok Klasör" / L"yok.exe") + " /a", 1, err::kFileNotFound},
           {"tk_recorder.exe", 1, err::kFileNotFound},  // beside the program, not in the system
           {utf8Of(root / L"metin.exe"), 1, err::kInvalidCall},
           {"  ", 1, err::kInvalidCall},
           {"cmd.exe /c exit", 5, err::kInvalidCall}}) {
    EXPECT_EQ(test::numberRaised([&] { platform.Shell(line, style); }), number) << line;
  }
}

}  // namespace
}  // namespace tk
