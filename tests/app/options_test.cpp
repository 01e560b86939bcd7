// The command line's switches: Windows conventions (any letter case, "-" for "/"), the quieter
// display winning, and every argument that is refused.
#include <gtest/gtest.h>

#include "app/options.h"

namespace tk {
namespace {

TEST(Options, SwitchesAndRefusals) {
  struct Case {
    std::vector<std::string> arguments;
    Display display;
    bool noScript, noRegister, launch, help;
    std::optional<std::string> logFile, refused;
  };
  const Case cases[] = {
      {{}, Display::Interactive, false, false, false, false, {}, {}},
      {{"/SILENT"}, Display::Silent, false, false, false, false, {}, {}},
      {{"-verysilent", "/Silent"}, Display::VerySilent, false, false, false, false, {}, {}},
      {{"/NoScript", "-NOREGISTER", "/launch"},
       Display::Interactive,
       true,
       true,
       true,
       false,
       {},
       {}},
      {{"/LOG=C:\\Kayıt Yeri\\a.log"},
       Display::Interactive,
       false,
       false,
       false,
       false,
       "C:\\Kayıt Yeri\\a.log",
       {}},
      {{"/?"}, Display::Interactive, false, false, false, true, {}, {}},
      {{"-Help"}, Display::Interactive, false, false, false, true, {}, {}},
      // The first refused argument is named; the rest still counts, so a very silent run that
      // is refused shows no box whatever the order.
      {{"/BOGUS", "/VERYSILENT", "kelime"},
       Display::VerySilent,
       false,
       false,
       false,
       false,
       {},
       "/BOGUS"},
      {{"kelime"}, Display::Interactive, false, false, false, false, {}, "kelime"},
      {{"/LOG="}, Display::Interactive, false, false, false, false, "", "/LOG="},
      {{"/LOG"}, Display::Interactive, false, false, false, false, {}, "/LOG"},
      {{"/SILENT=1"}, Display::Interactive, false, false, false, false, {}, "/SILENT=1"},
      {{"/"}, Display::Interactive, false, false, false, false, {}, "/"},
  };
  for (const Case& c : cases) {
    ParsedCommandLine parsed = parseArguments(c.arguments);
    const Options& o = parsed.options;
    std::string name = c.arguments.empty() ? "(none)" : c.arguments[0];
    EXPECT_EQ(o.display, c.display) << name;
    EXPECT_EQ(std::make_tuple(o.noScript, o.noRegister, o.launch, o.help),
              std::make_tuple(c.noScript, c.noRegister, c.launch, c.help))
        << name;
    EXPECT_EQ(o.logFile, c.logFile) << name;
    EXPECT_EQ(parsed.refused, c.refused) << name;
  }
}

TEST(Options, TheHelpListsEverySwitchAndExitCode) {
  std::string help = switchesHelp();
  for (const char* part : {"/SILENT", "/VERYSILENT", "/NOSCRIPT", "/NOREGISTER", "/LAUNCH",
                           "/LOG=DOSYA", "/?", "/HELP", "\r\n0: ", "\r\n5: "}) {
    EXPECT_NE(help.find(part), std::string::npos) << part;
  }
}

}  // namespace
}  // namespace tk
