// The program's start on the substitute: the platform, then Form1 in its FLTK window, with the
// same switches as on Windows.
#include <cstdio>
#include <string>
#include <vector>

#include "app/program.h"
#include "platform/host_platform.h"
#include "platform/window.h"

namespace {

// The arguments as one line for the log, each quoted where it holds a blank.
std::string commandLine(const std::vector<std::string>& arguments) {
  std::string line;
  for (const std::string& argument : arguments) {
    if (!line.empty())
      line += ' ';
    line += argument.find_first_of(" \t") == std::string::npos ? argument : '"' + argument + '"';
  }
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  tk::host::HostPlatform platform;
  std::vector<std::string> all(argv, argv + argc);
  tk::ProgramStart start{commandLine(all), std::vector<std::string>(all.begin() + 1, all.end())};
  try {
    return tk::runProgram(platform, start, tk::host::makeFormWindow);
  } catch (...) {
    std::fputs("TovrenKur: beklenmeyen hata\n", stderr);
  }
  return tk::kExitFirstHalfFailed;
}
