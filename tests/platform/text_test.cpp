// Character-based Left/Right/UCase and the Windows-like case folding of names.
#include <gtest/gtest.h>

#include "platform/text.h"

namespace tk {
namespace {

TEST(Text, LeftAndRightCountCharactersNotBytes) {
  EXPECT_EQ(Left("105.0.5195.102", 3), "105");
  EXPECT_EQ(Left("99", 3), "99");
  EXPECT_EQ(Left("", 3), "");
  EXPECT_EQ(Right("MSCOMCTL.OCX", 3), "OCX");
  EXPECT_EQ(Right("ab", 3), "ab");
  EXPECT_EQ(Right("dosya.şİğ", 3), "şİğ");
  EXPECT_EQ(Left("ışık", 2), "ış");
}

TEST(Text, UCaseMapsTurkishLettersAndKeepsDllAscii) {
  EXPECT_EQ(UCase("dll"), "DLL");  // never "DLL" with a dotted İ
  EXPECT_EQ(UCase("Ocx"), "OCX");
  EXPECT_EQ(UCase("çğıöşü"), "ÇĞIÖŞÜ");
  EXPECT_EQ(UCase("İ"), "İ");
  EXPECT_EQ(UCase("a\xff"
                  "b"),
            "A\xff"
            "B");  // a broken byte stays as it is
}

TEST(Text, FoldingIgnoresCaseButKeepsDottedAndDotlessIApart) {
  EXPECT_TRUE(equalsIgnoringCase("MSSTDFMT.DLL", "msstdfmt.dll"));
  EXPECT_TRUE(equalsIgnoringCase("prgDosyaları", "PRGDOSYALARI") == false);
  EXPECT_TRUE(equalsIgnoringCase("Şekil", "şEKİL") == false);
  EXPECT_TRUE(equalsIgnoringCase("Bileşenleri", "BİLEŞENLERİ") == false);
  EXPECT_TRUE(equalsIgnoringCase("Bileşenleri", "BILEŞENLERI"));
}

TEST(Text, WildcardsMatchIgnoringCase) {
  EXPECT_TRUE(matchesWildcard("MSCOMCTL.OCX", "*"));
  EXPECT_TRUE(matchesWildcard("mscomctl.ocx", "MS*.OCX"));
  EXPECT_TRUE(matchesWildcard("a.dll", "?.DLL"));
  EXPECT_FALSE(matchesWildcard("ab.dll", "?.dll"));
  EXPECT_FALSE(matchesWildcard("a.dl", "*.dll"));
}

TEST(Text, AWildcardQuestionMarkStandsForOneTurkishLetter) {
  struct Case {
    const char* name;
    const char* pattern;
    bool matches;
  } cases[] = {{"Bileşenleri", "Bile?enleri", true},
               {"Bileşenleri", "Bile??enleri", false},
               {"prgDosyaları", "PRGDOSYALAR?", true},
               {"İı.dll", "??.DLL", true},
               {"şş.dll", "?.dll", false}};
  for (const Case& c : cases)
    EXPECT_EQ(matchesWildcard(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
}

}  // namespace
}  // namespace tk
