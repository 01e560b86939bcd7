// Reading command lines the Windows way: the program part, the C runtime's argument rules and
// what cmd.exe runs for /c.
#include <gtest/gtest.h>

#include <set>

#include "platform/elevation.h"
#include "platform/process.h"

namespace tk {
namespace {

TEST(SplitProgram, QuotedBareAndUnquotedPathsWithBlanks) {
  const std::set<std::string> files{"C:\\Ayşe Işık\\Tovren.exe", "C:\\Ayşe.exe", "C:\\Ayşe",
                                    "C:\\a b\\x.exe"};
  auto isFile = [&](const std::string& path) { return files.count(path) == 1; };
  struct Case {
    std::string line, program, arguments;
    bool quoted, bare;
  };
  for (const Case& c : std::vector<Case>{
           {"regsvr32 /s \"C:\\x.dll\"", "regsvr32", " /s \"C:\\x.dll\"", false, true},
           {"  cmd.exe /c x.cmd", "cmd.exe", " /c x.cmd", false, true},
           {"\"C:\\x y\\a.exe\"b c", "C:\\x y\\a.exe", "b c", true, false},
           {"\"yarım", "yarım", "", true, false},
           // The longest existing file wins over the decoys "C:\Ayşe" and "C:\Ayşe.exe".
           {"C:\\Ayşe Işık\\Tovren.exe", "C:\\Ayşe Işık\\Tovren.exe", "", false, false},
           {"C:\\a b\\x.exe  bir", "C:\\a b\\x.exe", "  bir", false, false},
           {"C:\\Yok Klasör\\y.exe", "C:\\Yok", " Klasör\\y.exe", false, false}}) {
    ProgramPart part = splitProgram(c.line, isFile);
    EXPECT_EQ(part.program, c.program) << c.line;
    EXPECT_EQ(part.arguments, c.arguments) << c.line;
    EXPECT_EQ(part.quoted, c.quoted) << c.line;
    EXPECT_EQ(part.bare, c.bare) << c.line;
  }
}

TEST(SplitArguments, FollowsTheRuntimeRules) {
  using Arguments = std::vector<std::string>;
  for (const auto& [text, expected] : std::vector<std::pair<std::string, Arguments>>{
           {" \t ", {}},
           {" /s  \"C:\\Ayşe Işık\\x.dll\"", {"/s", "C:\\Ayşe Işık\\x.dll"}},
           {"a\\\\b c\\", {"a\\\\b", "c\\"}},     // backslashes alone are literal
           {"\"a\\\\\" b", {"a\\", "b"}},         // 2n before a quote: n, and the quote groups
           {"a\\\\\\\"b", {"a\\\"b"}},            // 2n+1: n and a literal quote
           {"\"a \"\"b\"\" c\"", {"a \"b\" c"}},  // "" inside quotes
           {"ab\"c d\"e f", {"abc de", "f"}},
           {"\"\" x", {"", "x"}}}) {
    EXPECT_EQ(splitArguments(text), expected) << text;
  }
}

TEST(CmdCommand, StripsTheOuterQuotesAsCmdDoes) {
  for (const auto& [arguments, expected] :
       std::vector<std::pair<std::string, std::optional<std::string>>>{
           {" /c C:\\Kur\\install.cmd", "C:\\Kur\\install.cmd"},
           {" /s /c \"\"C:\\Program Files (x86)\\i.cmd\" bir\"",
            "\"C:\\Program Files (x86)\\i.cmd\" bir"},
           {" /S/C \"x.cmd\"", "x.cmd"},
           // Without /s one quoted name with a blank keeps its quotes; a special character or
           // a third quote strips the first and the last.
           {" /c \"C:\\Ayşe Işık\\install.cmd\"", "\"C:\\Ayşe Işık\\install.cmd\""},
           {" /c \"C:\\a (x86)\\i.cmd\"", "C:\\a (x86)\\i.cmd"},
           {" /c \"\"C:\\a b\\i.cmd\" \"bir\"\"", "\"C:\\a b\\i.cmd\" \"bir\""},
           {" /q /k dir", "dir"},
           {" /s", std::nullopt}}) {
    EXPECT_EQ(cmdCommand(arguments), expected) << arguments;
  }
}

// What this program starts itself with comes back as it was given, whatever it holds.
TEST(JoinArguments, SplitGivesThemBack) {
  const std::vector<std::string> arguments{"/SYSTEMSTEP=1", "/DESKTOP=C:\\Ayşe Işık\\Masaüstü",
                                           "/DESKTOP=C:\\", "",
                                           "a \"b\" c",     "x\\\\\"y",
                                           "son\\"};
  EXPECT_EQ(splitArguments(joinArguments(arguments)), arguments);
}

}  // namespace
}  // namespace tk
