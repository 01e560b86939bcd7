// What the platform contract tests share on every host: the real platform of the host, a
// throw-away folder to work in, and the host's own ways to prepare a situation (a hidden file, a
// file held in use) so that one expectation can be checked on Linux and under Wine alike.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/host_platform.h"

namespace tk::test {

using HostPlatform = host::HostPlatform;
#ifdef _WIN32
inline constexpr std::string_view kTestProgram = "platform_tests.exe";
#else
inline constexpr std::string_view kTestProgram = "platform_tests";
#endif

// The real platform with Yes answered to every question (no display needed).
class AnswersYes : public HostPlatform {
 public:
  using HostPlatform::MsgBox;
  int MsgBox(const std::string&, int buttons, const std::optional<std::string>&) override {
    return buttons == vbYesNoQuestionNo ? vbYes : vbOK;
  }
};

// A name the host refuses outright (a bad name, not a missing one), with a closing "\".
extern const std::string_view kUnusableFolder;

std::filesystem::path fromUtf8(std::string_view text);
std::string utf8Of(const std::filesystem::path& path);

// A fresh folder under the host's temporary folder, removed with its content at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // "<folder>\<tail>" as the text the platform takes (just the folder for an empty tail).
  std::string path(std::string_view tail = {}) const;
  // The same entry as a host path; `tail` uses "\" between its parts.
  std::filesystem::path host(std::string_view tail) const;
  void file(std::string_view tail, std::string_view content = "x") const;
  void folder(std::string_view tail) const;
  std::string content(std::string_view tail) const;

 private:
  std::filesystem::path root_;
};

// Makes a file hidden the host's way: the hidden attribute on Windows; elsewhere the name must
// start with "." already.
void makeHidden(const std::filesystem::path& file);

// Clears what would stop the removal of a tree (read-only attributes on Windows).
void makeRemovable(const std::filesystem::path& root);

// A file kept in use for as long as the object lives: an open handle that shares nothing on
// Windows, a running program started from the file elsewhere.
class FileInUse {
 public:
  virtual ~FileInUse() = default;
};
// nullptr when the host does not guard files in use (the test then has nothing to check).
std::unique_ptr<FileInUse> holdInUse(const std::filesystem::path& file);

}  // namespace tk::test
