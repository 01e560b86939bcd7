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

  bool unattended() const { return display != Display::Interactive; }
};

struct ParsedCommandLine {
  Options options;
  std::optional<std::string> refused;  // the first argument that was refused, as written
};

// Reads the arguments (the program's name not among them) by Windows conventions: "/NAME" or
// "/NAME=VALUE", "-NAME" too, names in any letter case. An unknown switch, a bare word or a
// switch with a missing or unexpected value is refused.
ParsedCommandLine parseArguments(const std::vector<std::string>& arguments);

// "table" or "current", in any letter case; nothing for any other text.
std::optional<DriverSource> parseDriverSource(std::string_view value);

// The switches and the exit codes, in Turkish: the /? box and the refusal of a bad argument.
std::string switchesHelp();

}  // namespace tk
