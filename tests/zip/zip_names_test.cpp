// Entry names: which decoding a stored name gets, and where a name may land (the checks that
// refuse the whole archive before anything is written).
#include <gtest/gtest.h>

#include "zip/zip_names.h"

namespace tk::zip {
namespace {

std::string markOem(std::string_view bytes) {
  return "oem(" + std::string(bytes) + ")";
}

std::string deep(int levels) {
  std::string path = "a";
  for (int k = 1; k < levels; ++k)
    path += "/a";
  return path;
}

TEST(ZipNames, DecodingFollowsTheFlagTheUnicodeFieldAndTheHost) {
  struct Case {
    uint16_t madeBy;
    uint16_t flags;
    std::string raw;
    std::string unicode;
    std::string expected;
  };
  const std::string utf8 = "çalışma.txt";
  const std::string oem = "\x87\x61l\x8Dx.txt";  // bytes that are not UTF-8
  const Case cases[] = {
      {0x0014, kFlagUtf8, utf8, "", utf8},         // flag set: as stored
      {0x0014, 0, utf8, "", "oem(" + utf8 + ")"},  // Windows host: OEM code page
      {0x0314, 0, utf8, "", utf8},                 // Unix host, valid UTF-8
      {0x0314, 0, oem, "", "oem(" + oem + ")"},    // Unix host, not UTF-8
      {0x0014, 0, oem, "şık.txt", "şık.txt"},      // a matching Unicode Path field
      {0x0014, 0, "plain/ascii.txt", "", "plain/ascii.txt"},
  };
  for (const Case& c : cases) {
    CentralEntry entry;
    entry.madeBy = c.madeBy;
    entry.flags = c.flags;
    entry.rawName = c.raw;
    entry.unicodeName = c.unicode;
    EXPECT_EQ(decodeName(entry, markOem), c.expected) << c.raw;
  }
}

TEST(ZipNames, AFlaggedNameThatIsNotUtf8IsRefused) {
  CentralEntry entry;
  entry.flags = kFlagUtf8;
  entry.rawName = "k\xC3(.txt";
  EXPECT_THROW(decodeName(entry, markOem), PlatformError);
}

TEST(ZipNames, SafeNamesBecomeRelativePaths) {
  struct Case {
    std::string name;
    std::string path;
    bool folder;
  };
  const Case cases[] = {
      {"chromedriver.exe", "chromedriver.exe", false},
      {"a/b/c.txt", "a/b/c.txt", false},
      {"a\\b\\c.txt", "a/b/c.txt", false},
      {"klasör/", "klasör", true},
      {"a\\", "a", true},
      {"./a//b/./c", "a/b/c", false},
      {"./", "", true},
      {"..a/b..c", "..a/b..c", false},        // dots inside a name are fine
      {"console.txt", "console.txt", false},  // only the device names themselves are reserved
      {"COM10", "COM10", false},
      {std::string(255, 'x'), std::string(255, 'x'), false},  // Windows' limits, just
      {deep(32), deep(32), false},
      {"a~b.txt", "a~b.txt", false},  // "~" with no digits after it is no short name
      {"x~1y.txt", "x~1y.txt", false},
  };
  for (const Case& c : cases) {
    EntryPath path = safePath(c.name);
    EXPECT_EQ(path.path, c.path) << c.name;
    EXPECT_EQ(path.folder, c.folder) << c.name;
  }
}

TEST(ZipNames, NamesOutsideTheDestinationOrInvalidOnWindowsAreRefusedWith52) {
  std::string astral;  // 128 characters beyond the basic plane: 256 UTF-16 units
  for (int k = 0; k < 128; ++k)
    astral += "\xF0\x9F\x98\x80";
  const std::string names[] = {
      std::string(256, 'x'),
      astral,
      deep(33),
      "CHROME~1.EXE",  // the short names that Windows gives long ones
      "a/git~12",
      "LICENSE~1",
      "../x",
      "a/../../x",
      "..\\x",
      "a\\..\\..\\x",
      "a/..",
      "/etc/x",
      "\\x",
      "//srv/x",
      "C:/x",
      "c:x",
      "C:\\x",
      "",
      "...",
      "a/. ./b",
      "a:b",
      "nul",
      "NUL.txt",
      "a/Com1.log",
      "lpt9",
      "conin$",
      "a<b",
      "a>b",
      "a|b",
      "a?b",
      "a*b",
      "a\"b",
      "a\x01"
      "b",
      "tab\there",
  };
  for (const std::string& name : names) {
    try {
      safePath(name);
      ADD_FAILURE() << "accepted: " << name;
    } catch (const PlatformError& error) {
      EXPECT_EQ(error.number, err::kBadFileName) << name;
    }
  }
}

// Two entries are one file for Windows when NTFS's case folding makes their names equal, and a
// file may not be a folder on the way to another entry; the order of the entries never matters.
TEST(ZipNames, NamesThatWindowsTakesForOneFileCollide) {
  struct Case {
    std::vector<std::string> names;
    bool collide;
  };
  const Case cases[] = {
      {{"д.exe", "Д.exe"}, true},
      {{"ǆ", "Ǆ"}, true},
      {{"ı.txt", "I.txt"}, false},  // NTFS keeps the dotted and dotless i apart
      {{"i.txt", "İ.txt"}, false},
      {{"straße", "STRASSE"}, false},
      {{"Rapor/x.txt", "rapor"}, true},
      {{"a/b", "A/B/c"}, true},
      {{"a/b/", "a/b/c"}, false},
      {{"a", "a-b", "a/x"}, true},  // "-" sorts before "/" byte for byte
      {{"ab", "a/b"}, false},
  };
  for (const Case& c : cases) {
    for (bool reversed : {false, true}) {
      NameCollisions names;
      for (std::size_t k = 0; k < c.names.size(); ++k)
        names.add(safePath(c.names[reversed ? c.names.size() - 1 - k : k]));
      bool collided = false;
      try {
        names.finish();
      } catch (const PlatformError& error) {
        collided = error.number == err::kInvalidFileFormat;
      }
      EXPECT_EQ(collided, c.collide) << c.names[0] << " " << c.names[1];
    }
  }
}

// Windows without long paths: MAX_PATH with its terminator for a file, room for an 8.3 name for
// a folder, 255 units a name, a file's temporary name counted in; or bytes, where a host counts
// them.
TEST(ZipNames, ANameFitsWhereItIsWrittenWithItsTemporaryName) {
  const PathLimits windows{259, 247, 255, true};
  const std::string a150(150, 'a'), name = "ş" + std::string(250, 'a') + "şşşş";  // 255 units
  EXPECT_TRUE(fitsUnder(100, a150, false, 9, windows));
  EXPECT_FALSE(fitsUnder(100, a150, false, 10, windows));       // 260
  EXPECT_TRUE(fitsUnder(97, a150, true, 10, windows));          // a folder of 247
  EXPECT_FALSE(fitsUnder(98, a150, true, 0, windows));          // 248
  EXPECT_FALSE(fitsUnder(98, a150 + "/a", false, 0, windows));  // in a folder of 248
  EXPECT_TRUE(fitsUnder(3, name, false, 0, windows));
  EXPECT_FALSE(fitsUnder(3, name, false, 1, windows));                   // the name's 256th unit
  EXPECT_FALSE(fitsUnder(3, name, false, 0, {4095, 4095, 255, false}));  // 260 bytes
}

}  // namespace
}  // namespace tk::zip
