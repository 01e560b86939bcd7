// The command line's switches: Windows conventions (any letter case, "-" for "/"), the quieter
// display winning, and every argument that is refused.
#include <gtest/gtest.h>

#include "app/options.h"

namespace tk {
namespace {

// The options as one line: display, the flags that are set, the log file, the refused argument.
std::string summary(const ParsedCommandLine& parsed) {
  const Options& o = parsed.options;
  std::string text = std::to_string(static_cast<int>(o.display));
  for (auto [set, name] : {std::pair{o.noScript, " noscript"},
                           {o.noRegister, " noregister"},
                           {o.launch, " launch"},
                           {o.closeApplications, " close"},
                           {o.help, " help"}})
    text += set ? name : "";
  return text + (o.logFile ? " log=" + *o.logFile : "") +
         (o.step != Step::Whole ? " step=" + std::to_string(static_cast<int>(o.step)) : "") +
         (parsed.refused ? " refused=" + *parsed.refused : "");
}

TEST(Options, SwitchesAndRefusals) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "0"},
      {{"/SILENT"}, "1"},
      {{"-verysilent", "/Silent"}, "2"},
      {{"/NoScript", "-NOREGISTER", "/launch"}, "0 noscript noregister launch"},
      {{"/SILENT", "-closeApplications"}, "1 close"},
      {{"/LOG=C:\\Kayıt Yeri\\a.log"}, "0 log=C:\\Kayıt Yeri\\a.log"},
      {{"/?"}, "0 help"},
      {{"-Help"}, "0 help"},
      // The first refused argument is named, and the rest still counts: a very silent run that
      // is refused shows no box, whatever the order.
      {{"/BOGUS", "/VERYSILENT", "kelime"}, "2 refused=/BOGUS"},
      {{"/LOG="}, "0 log= refused=/LOG="},
      {{"/LOG"}, "0 refused=/LOG"},
      {{"/SILENT=1"}, "0 refused=/SILENT=1"},
      {{"/"}, "0 refused=/"},
      // A step's switches come only with what that step takes.
      {{"/SYSTEMSTEP=42", "/DESKTOP=C:\\M", "/LOG=C:\\k.log", "/NOREGISTER"},
       "0 noregister log=C:\\k.log step=1"},
      {{"/SYSTEMSTEP=42"}, "0 step=1 refused=/SYSTEMSTEP=42"},
      {{"/SYSTEMSTEP=42", "/DESKTOP=C:\\M", "/SILENT"}, "1 step=1 refused=/SYSTEMSTEP=42"},
      {{"/DESKTOP=C:\\M"}, "0 refused=/DESKTOP=C:\\M"},
      {{"/BROWSERCHECK", "/LOG=C:\\k.log"}, "0 log=C:\\k.log step=2"},
      {{"/BROWSERCHECK", "/SYSTEMSTEP=4"}, "0 step=1 refused=/SYSTEMSTEP=4"},
      {{"/CLOSEAPPLICATIONS", "/BROWSERCHECK"}, "0 close step=2 refused=/BROWSERCHECK"},
  };
  for (const auto& [arguments, expected] : cases)
    EXPECT_EQ(summary(parseArguments(arguments)), expected);
  std::string help = switchesHelp();
  for (const char* part : {"/SILENT", "/VERYSILENT", "/NOSCRIPT", "/NOREGISTER", "/LAUNCH",
                           "/LOG=DOSYA", "/CLOSEAPPLICATIONS", "/?", "/HELP", "\r\n0: ", "\r\n5: "})
    EXPECT_NE(help.find(part), std::string::npos) << part;
  EXPECT_EQ(help.find("STEP"), std::string::npos);  // the steps' switches are not the user's
}

}  // namespace
}  // namespace tk
