// regTovrenComponents on Windows: the files land in the real system folder and regsvr32, from the
// system folder, receives the quoted path whole, even for a name with a blank and Turkish letters.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "platform/host_platform.h"
#include "platform/scratch_win.h"

namespace fs = std::filesystem;

namespace tk {
namespace {

TEST(RegistrationOnWindows, CopiesIntoTheSystemFolderAndRegistersByTheQuotedPath) {
  test::ScratchFolder scratch;
  fs::path root = scratch.host("");
  test::LookAlikes lookAlikes(L"regsvr32.exe", root);
  fs::path source = root / L"Masa Üstü" / L"Tovren" / L"prgDosyaları";
  test::plant(L"tk_register_probe.dll", source / L"Kayıt Denemesi.dll");
  test::writeFile(source / L"tk-okubeni.txt", "metin");
  std::string sisDir = fs::is_directory(L"C:\\Windows\\SysWOW64") ? "SysWOW64" : "System32";
  fs::path system = fs::path(L"C:\\Windows") / sisDir;
  const std::vector<std::wstring> names{L"Kayıt Denemesi.dll", L"tk-okubeni.txt",
                                        L"Kayıt Denemesi.dll.komut"};

  std::error_code absent;  // an answer left by an earlier run must not pass for this one's
  fs::remove(system / names[2], absent);

  test::AnswersYes platform;
  Form1 form(platform);
  form.userPath = test::utf8Of(root / L"Masa Üstü");
  form.sisDir = sisDir + "\\";
  form.regTovrenComponents();

  EXPECT_EQ(test::readFile(system / names[1]), "metin");
  EXPECT_EQ(test::readAnswer(system / names[2]),
            "regsvr32 /s \"C:\\Windows\\" + sisDir + "\\Kayıt Denemesi.dll\"");
  EXPECT_FALSE(lookAlikes.ran());
  std::error_code stillLoaded;  // regsvr32 may not have let the component go yet
  for (const std::wstring& name : names)
    fs::remove(system / name, stillLoaded);
}

}  // namespace
}  // namespace tk
