// Entry names: which decoding a stored name gets, and where a name may land (the checks that
// refuse the whole archive before anything is written).
#include <gtest/gtest.h>

#include "zip/zip_names.h"

namespace tk::zip {
namespace {

std::string markOem(std::string_view bytes) {
  return "oem(" + std::string(bytes) + ")";
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
  };
  for (const Case& c : cases) {
    EntryPath path = safePath(c.name);
    EXPECT_EQ(path.path, c.path) << c.name;
    EXPECT_EQ(path.folder, c.folder) << c.name;
  }
}

TEST(ZipNames, NamesOutsideTheDestinationOrInvalidOnWindowsAreRefusedWith52) {
  const char* const names[] = {
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
  for (const char* name : names) {
    try {
      safePath(name);
      ADD_FAILURE() << "accepted: " << name;
    } catch (const PlatformError& error) {
      EXPECT_EQ(error.number, err::kBadFileName) << name;
    }
  }
}

}  // namespace
}  // namespace tk::zip
