// The command line's switches, read once at the program's entry into one small value that Form1
// is given. Without arguments the options are the defaults: the program started by a double-click.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tk {

enum class Display {
  Interactive,  // the window, and every message box waits for its answer
  Silent,       // the window and the progress window, but no message box waits
  VerySilent,   // no window at all
};

// Where the driver for an installed Chrome comes from: the fixed table alone, or for a Chrome
// outside it the lists that Google publishes.
enum class DriverSource { Table, Current };

// A part of a run that this program does again in a process of its own, started by the run
// itself and never by a user: the system folder's work with administrator rights, or the browser
// check with the signed-in user's.
enum class Step { Whole, SystemFolder, BrowserCheck };

struct Options {
  Display display = Display::Interactive;
  bool noScript = false;    // the package script is not run
  bool noRegister = false;  // the components are copied, none is registered
  bool launch = false;      // an unattended run still checks the browser and starts the application
  bool closeApplications = false;      // an unattended run closes the programs holding its files
  std::optional<std::string> logFile;  // the support log's file instead of the default one
  bool help = false;                   // show the switches and end
  // /DRIVER; when not given, the setting in the setup folder's TovrenKur.ini decides.
  std::optional<DriverSource> driverSource;
  Step step = Step::Whole;
  std::string ownerWindow;  // SystemFolder: the run's window, which owns the step's boxes
  std::string desktop;      // SystemFolder: the user's desktop folder (its Tovren\prgDosyaları)

  bool unattended() const { return display != Display::Interactive; }
};

struct ParsedCommandLine {
  Options options;
  std::optional<std::string> refused;  // the first argument that was refused, as written
};

// Reads the arguments (the program's name not among them) by Windows conventions: "/NAME" or
// "/NAME=VALUE", "-NAME" too, names in any letter case. An unknown switch, a bare word or a
// switch with a missing or unexpected value is refused, and so is a step's switch given with any
// switch its step does not take.
ParsedCommandLine parseArguments(const std::vector<std::string>& arguments);

// "table" or "current", in any letter case; nothing for any other text.
std::optional<DriverSource> parseDriverSource(std::string_view value);

// The switches and the exit codes, in Turkish: the /? box and the refusal of a bad argument.
std::string switchesHelp();

}  // namespace tk
