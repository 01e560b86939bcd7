// Zip extraction on the real platform, on archives made by Python's zipfile and Info-ZIP's zip:
// the reader on the host's files (what lands in the destination, Turkish names, the safety rules,
// damaged archives, what a killed extraction left), and the shell objects, which take only the
// driver's archive. Natively
// on Linux, and under Wine for Windows (no zip folders there: the program's own reader runs).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <random>

#include "app/form1.h"
#include "number_raised.h"
#include "platform/temp_file.h"
#include "platform/zip_extract.h"
#include "zip_test_support.h"

namespace fs = std::filesystem;

namespace tk {
namespace {

using test::Tree;

class ZipExtraction : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("tk-zip-" + std::to_string(std::random_device{}()));
    package_ = root_ / "Tovren-Selvane";
    fs::create_directories(package_);
  }
  void TearDown() override { fs::remove_all(root_); }

  void placeArchive(const std::string& fixture) {
    std::ofstream(package_ / "arsiv.zip", std::ios::binary) << test::zipFixtures().at(fixture);
  }

  // What unzip does: both folders, the archive's items, CopyHere with the simple progress.
  void extract() {
    std::unique_ptr<ShellDispatch> shell = test::realShell();
    std::unique_ptr<ShellFolder> archive = shell->NameSpace(test::utf8(package_ / "arsiv.zip"));
    std::unique_ptr<ShellFolder> folder =
        shell->NameSpace(test::utf8(package_) + static_cast<char>(fs::path::preferred_separator));
    ASSERT_NE(archive, nullptr);
    ASSERT_NE(folder, nullptr);
    std::unique_ptr<FolderItems> items = archive->Items();
    folder->CopyHere(*items, kCopySimpleProgress);
  }

  // The reader alone, with no rule on what the archive holds.
  void extractAny() {
    host::extractArchive(test::utf8(package_ / "arsiv.zip"), test::utf8(package_),
                         host::Content::Any);
  }

  // The destination's content without the archive, which must still be there untouched.
  Tree extracted(const std::string& fixture) {
    Tree tree = test::readTree(package_);
    EXPECT_EQ(tree["arsiv.zip"], test::zipFixtures().at(fixture)) << "the archive stays in place";
    tree.erase("arsiv.zip");
    return tree;
  }

  fs::path root_;
  fs::path package_;
};

struct Good {
  const char* fixture;
  Tree expected;
};

const Tree kTurkish{{"Şirket Çalışmaları/", ""},
                    {"Şirket Çalışmaları/ğüşıöç İĞÜŞÖÇ.txt", "Türkçe içerik"},
                    {"Yedek/", ""},
                    {"Yedek/ıi.txt", "noktasiz"}};

const Good kGood[] = {
    {"tek", {{"chromedriver.exe", "MZ" + test::binary(4096)}}},
    {"ic_ice",
     {{"lib/", ""},
      {"lib/sub/", ""},
      {"lib/sub/deep.txt", "derin"},
      {"lib/empty/", ""},
      {"readme.txt", "oku beni"},
      {"implicit/", ""},
      {"implicit/x.txt", "x"},
      {"nokta.txt", "nokta"}}},
    {"utf8", kTurkish},       // UTF-8 flag
    {"cp857", kTurkish},      // no flag, code page 857, made on Windows
    {"unix_utf8", kTurkish},  // no flag, UTF-8 bytes, made on Unix
    {"karisik",
     {{"büyük.txt", test::bigText()},
      {"ham.bin", test::binary(3000)},
      {"sıkışık.txt", std::string(5000, 'a')},
      {"boş.txt", ""}}},
    {"akis",
     {{"akış/", ""},
      {"akış/bir.txt", test::repeat("bir", 100)},
      {"akış/iki.bin", test::binary(700)}}},
    {"zip64", {{"z/", ""}, {"z/bir.txt", "zip64 bir"}, {"iki.txt", "iki"}}},
    {"ters_bolu", {{"klasör/", ""}, {"klasör/alt/", ""}, {"klasör/alt/dosya.txt", "ters bolu"}}},
    {"bos", {}},
    {"unicode_yol", kTurkish},  // no flag, code page 857, Info-ZIP's Unicode Path field
    {"iz_turkce", kTurkish},    // Info-ZIP's zip on Unix
};

void PrintTo(const Good& good, std::ostream* out) {
  *out << good.fixture;
}

class GoodArchive : public ZipExtraction, public ::testing::WithParamInterface<Good> {};

TEST_P(GoodArchive, EveryEntryLandsInTheDestination) {
  const Good& good = GetParam();
  if (std::string(good.fixture) == "cp857" && !test::oemCodePageIs857())
    GTEST_SKIP() << "the system's OEM code page is not 857 (run under a Turkish locale)";
  placeArchive(good.fixture);
  extractAny();
  EXPECT_EQ(extracted(good.fixture), good.expected);
}

INSTANTIATE_TEST_SUITE_P(Zip, GoodArchive, ::testing::ValuesIn(kGood),
                         [](const auto& info) { return std::string(info.param.fixture); });

struct Bad {
  const char* fixture;
  int32_t number;
  Tree left;  // what may lie in the destination afterwards: never a half-written file
};

std::vector<Bad> badArchives() {
  std::vector<Bad> bad{
      {"sifreli", err::kPermissionDenied, {}},
      {"bolunmus", err::kInvalidFileFormat, {}},
      {"bzip2", err::kInvalidFileFormat, {}},
      {"yarim", err::kInvalidFileFormat, {}},
      {"yarim_son", err::kInvalidFileFormat, {}},
      {"zip_degil", err::kInvalidFileFormat, {}},
      {"crc_bozuk", err::kInvalidFileFormat, {{"once.txt", "once"}}},
      {"veri_bozuk", err::kInvalidFileFormat, {{"once.txt", "once"}}},
      // Entries that would replace one another, share data or add up past the ceiling: each
      // archive holds a good entry first, and nothing at all is written.
      {"ayni_ad", err::kInvalidFileFormat, {}},
      {"cift_ad", err::kInvalidFileFormat, {}},
      {"dosya_klasor", err::kInvalidFileFormat, {}},
      {"ortak_veri", err::kInvalidFileFormat, {}},
      {"siniri_asan", err::kInvalidFileFormat, {}},
  };
  // Names that would land outside the destination or that Windows cannot create: each archive
  // holds a good entry first, and nothing at all is written.
  // Records that disagree (python's and Info-ZIP's archives, damaged byte by byte), and names
  // that Windows takes for one file or for another file's short name: nothing is written.
  bad.push_back({"kiril", err::kInvalidFileFormat, {}});
  bad.push_back({"kisa_ad", err::kBadFileName, {}});
  for (const auto& [name, archive] : test::zipFixtures()) {
    if (name.starts_with("kotu_ad_"))
      bad.push_back({name.c_str(), err::kBadFileName, {}});
    if (name.starts_with("bozuk_"))
      bad.push_back({name.c_str(), err::kInvalidFileFormat, {}});
  }
  return bad;
}

void PrintTo(const Bad& bad, std::ostream* out) {
  *out << bad.fixture;
}

class BadArchive : public ZipExtraction, public ::testing::WithParamInterface<Bad> {};

TEST_P(BadArchive, FailsWithItsNumberAndLeavesNothingHalfWritten) {
  const Bad& bad = GetParam();
  placeArchive(bad.fixture);
  try {
    extractAny();
    ADD_FAILURE() << "extracted without an error";
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.number, bad.number) << error.description;
    EXPECT_FALSE(error.description.empty());
  }
  EXPECT_EQ(extracted(bad.fixture), bad.left);
  EXPECT_FALSE(fs::exists(root_ / "kacak.txt"));
}

INSTANTIATE_TEST_SUITE_P(Zip, BadArchive, ::testing::ValuesIn(badArchives()),
                         [](const auto& info) { return std::string(info.param.fixture); });

// The shell objects take the driver's archive as its makers write it, and nothing else; the
// download's check (checkArchive) takes and refuses the same. The one folder that newer driver
// archives wrap their files in is left out: the driver lands at the top.
TEST_F(ZipExtraction, TheShellObjectsExtractOnlyTheDriversArchive) {
  const Tree files{{"chromedriver.exe", "MZ" + test::binary(300)},
                   {"LICENSE.chromedriver", "lisans"}};
  const std::map<std::string, Tree> accepted{
      {"surucu_py", files},
      {"surucu_py_akis", files},
      {"surucu_iz", files},
      {"surucu_iz_akis", files},
      {"sarili", {{"chromedriver.exe", "MZ"}, {"THIRD_PARTY_NOTICES.chromedriver", "not"}}}};
  for (const auto& [fixture, archive] : test::zipFixtures()) {
    bool driver = accepted.count(fixture) == 1;
    if (!driver && !fixture.starts_with("yabanci_") && fixture != "ic_ice")
      continue;
    fs::remove_all(package_);
    fs::create_directory(package_);
    placeArchive(fixture);
    int32_t checked = 0, extractedWith = 0;
    try {
      host::checkArchive(test::utf8(package_ / "arsiv.zip"));
    } catch (const PlatformError& error) {
      checked = error.number;
    }
    try {
      extract();
    } catch (const PlatformError& error) {
      extractedWith = error.number;
    }
    int32_t expected = driver ? 0 : err::kInvalidFileFormat;
    EXPECT_EQ(checked, expected) << fixture;
    EXPECT_EQ(extractedWith, expected) << fixture;
    EXPECT_EQ(extracted(fixture), driver ? accepted.at(fixture) : Tree{}) << fixture;
  }
}

TEST_F(ZipExtraction, ExistingFilesAndFoldersAreReusedWhateverTheirLetterCase) {
  std::ofstream(package_ / "CHROMEDRIVER.EXE", std::ios::binary) << "eski sürüm";
  fs::create_directory(package_ / "LIB");
  placeArchive("tek");
  extract();
  placeArchive("ic_ice");
  extractAny();
  Tree tree = test::foldKeys(extracted("ic_ice"));
  EXPECT_EQ(tree["chromedriver.exe"], "MZ" + test::binary(4096));
  EXPECT_EQ(tree["lib/sub/deep.txt"], "derin");
  EXPECT_EQ(tree.size(), 9u) << "one chromedriver.exe, one lib folder";
}

// What an extraction killed in its middle left beside the entries' files, in folders too and in
// any letter case, goes before the next one; a running process's file, another computer's (the
// folder is shared) and look-alikes stay.
TEST_F(ZipExtraction, WhatAKilledExtractionLeftGoesFirstAndNothingElse) {
  placeArchive("ic_ice");
  extractAny();
  const std::vector<std::string> removed{"README.TXT.4294967-0.part",
                                         "lib/sub/deep.txt.4294967-12.part",
                                         "readme.txt." + host::thisComputer() + "-4294967-3.part"},
      kept{"readme.txt.4294967-0.part.bak", "baska.txt.4294967-0.part",
           "lib/readme.txt.4294967-1.part", "readme.txt.BASKA-PC-4294967-3.part"};
  for (const std::string& name : removed)
    std::ofstream(package_ / name) << "x";
  for (const std::string& name : kept)
    std::ofstream(package_ / name) << "x";
  host::TempFile running(test::utf8(package_ / "nokta.txt"));  // this process still writes it
  extractAny();
  for (const std::string& name : removed)
    EXPECT_FALSE(fs::exists(package_ / name)) << name;
  for (const std::string& name : kept)
    EXPECT_TRUE(fs::exists(package_ / name)) << name;
  EXPECT_TRUE(fs::exists(fs::path(running.path())));
}

// Checked before anything is written, as the names will be written: a name that fits the system
// but not beside its temporary name's suffix refuses the archive before the file already there
// is replaced, whatever the archive holds. (The driver's own archive cannot name such a notice:
// its download is refused for the name alone.)
TEST_F(ZipExtraction, ANameThatWouldNotFitAsWrittenRefusesTheArchiveFirst) {
  std::ofstream(package_ / "chromedriver.exe", std::ios::binary) << "eski";
  placeArchive("uzun_lisans");
  for (bool download : {true, false}) {
    try {
      download ? host::checkArchive(test::utf8(package_ / "arsiv.zip")) : extractAny();
      ADD_FAILURE() << "accepted";
    } catch (const PlatformError& error) {
      EXPECT_EQ(error.number, download ? err::kInvalidFileFormat : err::kBadFileName);
    }
  }
  EXPECT_EQ(extracted("uzun_lisans"), (Tree{{"chromedriver.exe", "eski"}}));
}

TEST_F(ZipExtraction, NameSpaceGivesNoFolderForWhatDoesNotExist) {
  std::unique_ptr<ShellDispatch> shell = test::realShell();
  EXPECT_EQ(shell->NameSpace(test::utf8(package_ / "yok.zip")), nullptr);
  EXPECT_EQ(shell->NameSpace(test::utf8(root_ / "Yok Klasör") + "/"), nullptr);
  EXPECT_NE(shell->NameSpace(test::utf8(package_)), nullptr);
}

// The form's unzip on the real platform: the setup folder is the test's folder.
TEST_F(ZipExtraction, UnzipExtractsBesideTheArchiveAndAMissingArchiveIs91) {
  auto platform = test::realPlatformAt(test::utf8(root_));
  Form1 form(*platform);
  form.indirDosya = "arsiv.zip";
  placeArchive("tek");
  form.unzip();
  EXPECT_EQ(extracted("tek"), (Tree{{"chromedriver.exe", "MZ" + test::binary(4096)}}));

  form.indirDosya = "chromedriver_win32.zip";
  EXPECT_EQ(test::numberRaised([&] { form.unzip(); }), err::kObjectNotSet);
}

}  // namespace
}  // namespace tk
