// Dir's attribute mask on Windows, with the attributes set through SetFileAttributesW on real
// files under Wine: which entries each mask lets through, alone and in an enumeration.
#include <gtest/gtest.h>

#include <set>

#include "contract_support.h"
#include "platform/windows/win32.h"

namespace tk {
namespace {

struct Entry {
  const char* name;
  bool folder;
  DWORD attributes;
  bool shown[4];  // whether Dir returns it under the masks of kMasks
};
constexpr int kMasks[4] = {0, 2, 16, 18};

// No name starts with "." here: Wine hides dot-files by itself, and this table is about the
// attribute bits alone.
const Entry kEntries[] = {
    {"sade.dll", false, FILE_ATTRIBUTE_NORMAL, {true, true, true, true}},
    {"salt okunur.dll", false, FILE_ATTRIBUTE_READONLY, {true, true, true, true}},
    {"arşiv.ocx", false, FILE_ATTRIBUTE_ARCHIVE, {true, true, true, true}},
    {"ikisi.dll",
     false,
     FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE,
     {true, true, true, true}},
    {"gizli.dll", false, FILE_ATTRIBUTE_HIDDEN, {false, true, false, true}},
    {"gizli salt.dll",
     false,
     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY,
     {false, true, false, true}},
    {"sistem.dll", false, FILE_ATTRIBUTE_SYSTEM, {false, false, false, false}},
    {"gizli sistem.dll",
     false,
     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM,
     {false, false, false, false}},
    {"Klasör", true, FILE_ATTRIBUTE_DIRECTORY, {false, false, true, true}},
    {"Gizli Klasör",
     true,
     FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN,
     {false, false, false, true}},
    {"Sistem Klasörü",
     true,
     FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM,
     {false, false, false, false}},
};

TEST(DirAttributes, EachMaskLetsThroughItsEntriesByNameAndInAnEnumeration) {
  test::ScratchFolder scratch;
  test::HostPlatform platform;
  for (const Entry& entry : kEntries) {
    if (entry.folder)
      scratch.folder(entry.name);
    else
      scratch.file(entry.name);
    ASSERT_TRUE(SetFileAttributesW(scratch.host(entry.name).c_str(), entry.attributes));
  }
  for (int m = 0; m < 4; ++m) {
    std::set<std::string> wanted, seen;
    for (const Entry& entry : kEntries) {
      if (entry.shown[m])
        wanted.insert(entry.name);
      EXPECT_EQ(platform.Dir(scratch.path(entry.name), kMasks[m]), entry.shown[m] ? entry.name : "")
          << entry.name << " under mask " << kMasks[m];
    }
    for (std::string name = platform.Dir(scratch.path() + "\\", kMasks[m]); !name.empty();
         name = platform.Dir()) {
      seen.insert(name);
    }
    EXPECT_EQ(seen, wanted) << "enumeration under mask " << kMasks[m];
  }
}

}  // namespace
}  // namespace tk
