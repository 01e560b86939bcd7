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
  bool under0, under2, under16, under18;  // whether Dir returns it under masks 0, 2, 16 and 18
};

// No name starts with "." here: Wine hides dot-files by itself, and this table is about the
// attribute bits alone.
const Entry kEntries[] = {
    {"sade.dll", false, FILE_ATTRIBUTE_NORMAL, true, true, true, true},
    {"salt okunur.dll", false, FILE_ATTRIBUTE_READONLY, true, true, true, true},
    {"arşiv.ocx", false, FILE_ATTRIBUTE_ARCHIVE, true, true, true, true},
    {"ikisi.dll", false, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE, true, true, true, true},
    {"gizli.dll", false, FILE_ATTRIBUTE_HIDDEN, false, true, false, true},
    {"gizli salt.dll", false, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY, false, true, false,
     true},
    {"sistem.dll", false, FILE_ATTRIBUTE_SYSTEM, false, false, false, false},
    {"gizli sistem.dll", false, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, false, false, false,
     false},
    {"Klasör", true, FILE_ATTRIBUTE_DIRECTORY, false, false, true, true},
    {"Gizli Klasör", true, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN, false, false, false,
     true},
    {"Sistem Klasörü", true, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM, false, false, false,
     false},
};

bool expected(const Entry& entry, int mask) {
  switch (mask) {
    case 0:
      return entry.under0;
    case 2:
      return entry.under2;
    case 16:
      return entry.under16;
    default:
      return entry.under18;
  }
}

class DirAttributes : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const Entry& entry : kEntries) {
      if (entry.folder)
        scratch_.folder(entry.name);
      else
        scratch_.file(entry.name);
      ASSERT_TRUE(SetFileAttributesW(scratch_.host(entry.name).c_str(), entry.attributes));
    }
  }

  test::ScratchFolder scratch_;
  test::HostPlatform platform_;
};

TEST_F(DirAttributes, EachMaskLetsThroughItsEntriesByName) {
  for (int mask : {0, 2, 16, 18}) {
    for (const Entry& entry : kEntries) {
      std::string answer = platform_.Dir(scratch_.path(entry.name), mask);
      EXPECT_EQ(answer, expected(entry, mask) ? entry.name : "")
          << entry.name << " under mask " << mask;
    }
  }
}

TEST_F(DirAttributes, EachMaskLetsThroughItsEntriesInAnEnumeration) {
  for (int mask : {0, 2, 16, 18}) {
    std::set<std::string> wanted, seen;
    for (const Entry& entry : kEntries) {
      if (expected(entry, mask))
        wanted.insert(entry.name);
    }
    for (std::string name = platform_.Dir(scratch_.path() + "\\", mask); !name.empty();
         name = platform_.Dir()) {
      seen.insert(name);
    }
    EXPECT_EQ(seen, wanted) << "mask " << mask;
  }
}

}  // namespace
}  // namespace tk
