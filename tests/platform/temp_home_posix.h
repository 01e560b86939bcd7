// A throw-away $HOME for the substitute's tests, whose name holds a blank and Turkish letters (so
// drive C, the desktop and the XDG settings are the test's own), and bounded waits for what
// detached processes write.
#pragma once

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/contract_support.h"

namespace tk::test {

class TempHome {
 public:
  TempHome() : saved_(std::getenv("HOME") ? std::getenv("HOME") : "/") {
    std::filesystem::create_directories(home());
    setenv("HOME", home().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
  }
  ~TempHome() { setenv("HOME", saved_.c_str(), 1); }
  std::filesystem::path home() const { return scratch_.host("Ayşe Işık"); }
  std::filesystem::path driveC() const { return home() / ".tovrenkur/drive_c"; }

 private:
  std::string saved_;
  ScratchFolder scratch_;
};

inline void writeFile(const std::filesystem::path& path, const std::string& text,
                      bool executable = false) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
  if (executable)
    std::filesystem::permissions(path, std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
}

inline std::string readFile(const std::filesystem::path& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

// Waits at most ten seconds for `path` to exist; whether it does.
inline bool waitForFile(const std::filesystem::path& path) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!std::filesystem::exists(path) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return std::filesystem::exists(path);
}

}  // namespace tk::test
