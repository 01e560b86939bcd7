// regTovrenComponents on the real substitute: the files land on drive C's system folder and the
// quoted command lines reach the regsvr32 stand-in whole, even for a name holding a blank.
#include <gtest/gtest.h>

#include <set>

#include "app/form1.h"
#include "platform/host_platform.h"
#include "platform/temp_home_posix.h"

namespace fs = std::filesystem;

namespace tk {
namespace {

TEST(RegistrationOnTheSubstitute, CopiesIntoDriveCAndRegistersByQuotedPaths) {
  test::TempHome scratch;
  fs::path desktop = scratch.home() / "Masa Üstü";
  fs::path system = scratch.driveC() / "Windows/SysWOW64";
  fs::create_directories(system);
  test::writeFile(system / "MSCOMCTL.OCX", "eski sürüm, daha uzun bir içerik");
  const std::vector<std::string> names{"MSCOMCTL.OCX", "okubeni.txt", "Bileşen Şablonu.dll"};
  for (const std::string& name : names)
    test::writeFile(desktop / "Tovren/prgDosyaları" / name, "içerik " + name);

  test::AnswersYes platform;
  Form1 form(platform);
  form.userPath = desktop.string();
  form.sisDir = "SysWOW64\\";
  form.regTovrenComponents();

  for (const std::string& name : names)
    EXPECT_EQ(test::readFile(system / name), "içerik " + name) << name;
  // Two detached registrations, each adding its line: wait (bounded) for both.
  fs::path registerFile = scratch.driveC() / "Windows/regsvr32-kayitlari.txt";
  auto lines = [&] {
    std::set<std::string> found;
    std::istringstream in(test::readFile(registerFile));
    for (std::string line; std::getline(in, line);)
      found.insert(line);
    return found;
  };
  for (int k = 0; k < 1000 && lines().size() < 2; ++k)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(lines(), (std::set<std::string>{"C:\\Windows\\SysWOW64\\MSCOMCTL.OCX",
                                            "C:\\Windows\\SysWOW64\\Bileşen Şablonu.dll"}));
}

}  // namespace
}  // namespace tk
