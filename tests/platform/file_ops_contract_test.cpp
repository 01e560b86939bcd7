// MkDir, FileCopy, the temporary file, the support log, a file's version and the session's one
// run on the host's real platform: what they do, and the runtime's numbers they fail with,
// expected alike natively on Linux and under Wine.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <regex>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "contract_support.h"
#include "pe_image.h"
#include "platform/pe_version.h"
#include "platform/temp_file.h"

namespace fs = std::filesystem;

namespace tk {
namespace {

constexpr int kSucceeds = 0;

// Runs an operation and gives the runtime's number it failed with, or kSucceeds.
template <typename Operation>
int32_t numberOf(Operation operation) {
  try {
    operation();
    return kSucceeds;
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.description, errorDescription(error.number)) << "number " << error.number;
    return error.number;
  }
}

class FileOperations : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_.folder("Var");
    scratch_.folder("Hedef");
    scratch_.file("dosya.txt");
    scratch_.file("kaynak.dll", "yeni içerik");
    scratch_.file("eski.dll", "eski");
  }

  test::ScratchFolder scratch_;
  test::HostPlatform platform_;
};

TEST_F(FileOperations, MkDirCreatesOneFolderOrFailsWithTheRuntimesNumber) {
  struct Case {
    const char* tail;
    int32_t number;
  };
  const Case cases[] = {
      {"Tovren", kSucceeds},
      {"prgDosyaları", kSucceeds},
      {"Firmalarım\\", kSucceeds},
      {"Var", err::kPathFileAccess},           // the folder exists
      {"VAR", err::kPathFileAccess},           // ... in other letters too
      {"dosya.txt", err::kPathFileAccess},     // a file holds the name
      {"Yok\\Alt", err::kPathNotFound},        // its parent is missing
      {"dosya.txt\\Alt", err::kPathNotFound},  // its parent is a file
  };
  for (const Case& c : cases) {
    EXPECT_EQ(numberOf([&] { platform_.MkDir(scratch_.path(c.tail)); }), c.number) << c.tail;
  }
  EXPECT_EQ(platform_.Dir(scratch_.path("prgDosyaları"), 16), "prgDosyaları");
  EXPECT_EQ(platform_.Dir(scratch_.path("firmalarım"), 16), "Firmalarım");
}

TEST_F(FileOperations, FileCopyCopiesAndReplaces) {
  for (const char* to : {"Hedef\\kaynak.dll", "Hedef\\Bileşen Adı.ocx", "eski.dll"}) {
    EXPECT_EQ(numberOf([&] { platform_.FileCopy(scratch_.path("kaynak.dll"), scratch_.path(to)); }),
              kSucceeds)
        << to;
    EXPECT_EQ(scratch_.content(to), "yeni içerik") << to;
  }
  EXPECT_EQ(scratch_.content("kaynak.dll"), "yeni içerik");
}

TEST_F(FileOperations, FileCopyFailsWithTheRuntimesNumber) {
  struct Case {
    const char* from;
    const char* to;
    int32_t number;
  };
  const Case cases[] = {
      {"yok.dll", "Hedef\\yok.dll", err::kFileNotFound},
      {"Yok\\yok.dll", "Hedef\\yok.dll", err::kPathNotFound},
      {"kaynak.dll", "Yok\\kaynak.dll", err::kPathNotFound},
      {"Var", "Hedef\\Var", err::kPathFileAccess},           // the source is a folder
      {"kaynak.dll", "Hedef", err::kPathFileAccess},         // the destination is a folder
      {"kaynak.dll", "KAYNAK.DLL", err::kPermissionDenied},  // onto itself
  };
  for (const Case& c : cases) {
    EXPECT_EQ(numberOf([&] { platform_.FileCopy(scratch_.path(c.from), scratch_.path(c.to)); }),
              c.number)
        << c.from << " -> " << c.to;
  }
  EXPECT_EQ(scratch_.content("kaynak.dll"), "yeni içerik") << "a failed copy hurt its source";
  EXPECT_EQ(platform_.Dir(scratch_.path("Hedef\\"), 18), "") << "a failed copy left something";
}

TEST_F(FileOperations, FileCopyOntoAFileInUseIsPermissionDenied) {
  std::unique_ptr<test::FileInUse> held = test::holdInUse(scratch_.host("kullanımda.dll"));
  if (!held)
    GTEST_SKIP() << "this host does not guard a file in use";
  EXPECT_EQ(numberOf([&] {
              platform_.FileCopy(scratch_.path("kaynak.dll"), scratch_.path("kullanımda.dll"));
            }),
            err::kPermissionDenied);
}

// What the download and the extraction write through: the destination keeps its old content
// until the commit, and a temporary file that is dropped or never made leaves nothing behind.
TEST_F(FileOperations, ATempFileReplacesItsDestinationOnlyOnCommit) {
  const std::string destination = test::utf8Of(scratch_.host("eski.dll"));
  {
    host::TempFile dropped(destination);
    dropped.write("yarım", 6);
  }
  host::TempFile file(destination, {.flush = false});
  file.write("yeni", 4);
  EXPECT_EQ(scratch_.content("eski.dll"), "eski") << "replaced before the commit";
  file.commit();
  EXPECT_EQ(scratch_.content("eski.dll"), "yeni");
  EXPECT_EQ(platform_.Dir(scratch_.path("*.part"), 2), "") << "a temporary file was left";
  EXPECT_EQ(numberOf([&] { host::TempFile(test::utf8Of(scratch_.host("Yok\\eski.dll"))); }),
            err::kPathNotFound);
  scratch_.folder("Klasör.dll");  // never replaced, however long one waits: refused at once
  host::TempFile onFolder(test::utf8Of(scratch_.host("Klasör.dll")), {.flush = false});
  auto started = std::chrono::steady_clock::now();
  EXPECT_NE(numberOf([&] { onFolder.commit(); }), kSucceeds);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
}

// The support log: an asked-for file is appended to, each line stamped and whole on disk at once;
// a missing folder refuses it.
TEST_F(FileOperations, SupportLogAppendsStampedLines) {
  EXPECT_EQ(numberOf([&] { platform_.OpenLog(scratch_.path("Yok\\kayıt.log")); }),
            err::kPathNotFound);
  scratch_.file("kayıt günlüğü.log", "önceki çalışma\n");
  EXPECT_EQ(platform_.OpenLog(scratch_.path("kayıt günlüğü.log")),
            scratch_.path("kayıt günlüğü.log"));
  platform_.Log("satır bir");
  platform_.Log("iki\r\nsatır");
  const std::regex lines(
      "önceki çalışma\n(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}  satır bir\r?\n)"
      "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}  iki \\| satır\r?\n");
  EXPECT_TRUE(std::regex_match(scratch_.content("kayıt günlüğü.log"), lines))
      << scratch_.content("kayıt günlüğü.log");
}

// The version resource; none from the substitute's reader in an image cut short anywhere.
TEST_F(FileOperations, FileVersionReadsTheVersionResourceAndNothingElse) {
  const std::string image = test::peWithVersion(0x0006000100020003);
  scratch_.file("sürümlü.ocx", image);
  EXPECT_EQ(platform_.FileVersion(scratch_.path("sürümlü.ocx")), 0x0006000100020003u);
  for (const char* tail : {"kaynak.dll", "yok.dll", "Var"})
    EXPECT_EQ(platform_.FileVersion(scratch_.path(tail)), std::nullopt) << tail;
  for (std::size_t size = 0; size < 0x2B4; ++size) {
    auto cut = [&](uint64_t at, unsigned char* buffer, std::size_t length) {
      return at + length <= size && (std::memcpy(buffer, image.data() + at, length), true);
    };
    EXPECT_EQ(host::peFileVersion(cut), std::nullopt) << size;
  }
}

// A second claim fails while the first is held; the claim goes with the platform that holds it.
TEST(OneInstance, ASecondClaimFailsUntilTheFirstHolderIsGone) {
  auto first = std::make_unique<test::HostPlatform>();
  ASSERT_TRUE(first->ClaimOnlyInstance());
  test::HostPlatform second;
  EXPECT_FALSE(second.ClaimOnlyInstance());
  first.reset();
  EXPECT_TRUE(second.ClaimOnlyInstance());
}

#ifndef _WIN32
// On the substitute the log is the user's alone (0600; never written through a link), and the
// lock lies in a 0700 folder of its own under $TMPDIR (without $XDG_RUNTIME_DIR), none at all
// where that folder is a link. Windows' ANSI code page stands in as 1254: 0xFE is "ş".
TEST(OneInstance, TheSubstitutesLockAndLogAreTheUsersAlone) {
  test::ScratchFolder scratch;
  std::string savedTmp = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
  unsetenv("XDG_RUNTIME_DIR");
  setenv("TMPDIR", scratch.host("").c_str(), 1);
  fs::path own = scratch.host("tovrenkur-" + std::to_string(::getuid()));
  scratch.folder("Var");
  test::HostPlatform platform;
  ASSERT_TRUE(platform.ClaimOnlyInstance());
  EXPECT_EQ(fs::symlink_status(own).permissions(), fs::perms::owner_all);
  EXPECT_EQ(fs::status(platform.OpenLog(std::nullopt)).permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink(scratch.host("Var"), scratch.host("bağ.log"));
  EXPECT_THROW(platform.OpenLog(scratch.path("bağ.log")), PlatformError);
  scratch.file("ayar.ini", "; \x81\r\n[Driver]\nSource=\xFE");  // 0x81 is U+0081, as on Windows
  EXPECT_EQ(platform.ProfileString(scratch.path("ayar.ini"), "Driver", "Source"), "ş");
  ASSERT_EQ(::mkfifo(scratch.host("boru.ini").c_str(), 0600), 0);  // refused, never waited on
  EXPECT_THROW(platform.ProfileString(scratch.path("boru.ini"), "Driver", "Source"), PlatformError);
  test::HostPlatform second;  // the lock's folder a link: no lock is taken through it
  fs::remove_all(own);
  fs::create_directory_symlink(scratch.host("Var"), own);
  EXPECT_TRUE(second.ClaimOnlyInstance());
  EXPECT_TRUE(fs::is_empty(scratch.host("Var")));
  savedTmp.empty() ? unsetenv("TMPDIR") : setenv("TMPDIR", savedTmp.c_str(), 1);
}
#endif

}  // namespace
}  // namespace tk
