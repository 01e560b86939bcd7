// What the Windows Shell and registration tests add to the contract tests' scratch folder: the
// helper programs built beside the test, planted where a test wants them, look-alikes of the
// system programs, and bounded waits for what started processes write.
#pragma once

#include "platform/windows/win32.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/contract_support.h"

namespace tk::test {

// The folder of the running test program, where the helper programs are built.
inline std::filesystem::path testFolder() {
  wchar_t buffer[1024];
  return std::filesystem::path(std::wstring(buffer, GetModuleFileNameW(nullptr, buffer, 1024)))
      .parent_path();
}

inline void writeFile(const std::filesystem::path& file, const std::string& content) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << content;
}

inline std::string readFile(const std::filesystem::path& file) {
  std::ostringstream content;
  content << std::ifstream(file, std::ios::binary).rdbuf();
  return content.str();
}

// Copies a helper built beside the test program to `to`.
inline void plant(const wchar_t* helper, const std::filesystem::path& to) {
  std::filesystem::create_directories(to.parent_path());
  std::filesystem::copy_file(testFolder() / helper, to,
                             std::filesystem::copy_options::overwrite_existing);
}

// "<file><suffix>", where the helpers leave their answers.
inline std::filesystem::path beside(const std::filesystem::path& file, const wchar_t* suffix) {
  return std::filesystem::path(file.wstring() + suffix);
}

// Waits at most twenty seconds for `file` to exist; whether it does.
inline bool waitForFile(const std::filesystem::path& file) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!std::filesystem::exists(file) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return std::filesystem::exists(file);
}

// The content of an answer file that another process writes: waits at most twenty seconds for it
// to be there and readable with something in it; "" when it never is.
inline std::string readAnswer(const std::filesystem::path& file) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  std::string content = readFile(file);
  while (content.empty() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    content = readFile(file);
  }
  return content;
}

// Recording look-alikes of a system program (recorder copies named "cmd.exe", "regsvr32.exe")
// beside the test program, where a setup package's own folder is searched first, and in the
// current folder, which becomes `scratch` for the object's life.
class LookAlikes {
 public:
  LookAlikes(const std::wstring& name, const std::filesystem::path& scratch)
      : places_{testFolder() / name, scratch / name} {
    wchar_t current[MAX_PATH];
    saved_.assign(current, GetCurrentDirectoryW(MAX_PATH, current));
    SetCurrentDirectoryW(scratch.c_str());
    for (const std::filesystem::path& place : places_)
      plant(L"tk_recorder.exe", place);
  }
  ~LookAlikes() {
    SetCurrentDirectoryW(saved_.c_str());
    std::error_code ignored;
    std::filesystem::remove(places_[0], ignored);
    std::filesystem::remove(beside(places_[0], L".komut"), ignored);
  }
  bool ran() const {
    return std::filesystem::exists(beside(places_[0], L".komut")) ||
           std::filesystem::exists(beside(places_[1], L".komut"));
  }

 private:
  std::filesystem::path places_[2];
  std::wstring saved_;
};

}  // namespace tk::test
