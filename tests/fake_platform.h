// An in-memory platform for the logic's tests: a file system keyed by Windows paths that ignores
// case, scripted message-box answers, failures to inject per operation and path, scripted
// automation objects, and a record of every call in order.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace tk::fake {

struct Attributes {
  bool hidden = false;
  bool system = false;
};

struct Entry {
  std::string path;  // as created, letter case kept
  bool folder = false;
  Attributes attributes;
  std::string content;
  std::optional<FileVersionNumber> version = {};  // of its version resource; copied with it
};

struct Call {
  std::string op;
  std::vector<std::string> args;
  bool operator==(const Call&) const = default;
};

struct MsgBoxShown {
  std::string prompt;
  int buttons;
  std::optional<std::string> title;
  int answer;
  bool operator==(const MsgBoxShown&) const = default;
};

struct HttpScript {
  int status = 200;
  std::string body;
  int32_t openError = 0;  // thrown by Open
  int32_t sendError = 0;  // thrown by Send
  int32_t saveError = 0;  // thrown by SaveResponseBody
};

struct Invocation {
  std::string classId;
  int32_t dispatchId;
  std::vector<std::string> args;
  bool operator==(const Invocation&) const = default;
};

// A "zip archive" in the fake file system: its content lists the entries, one per line, as
// name TAB content; a name ending in "\" is a folder. Any other content is not an archive.
std::string fakeZip(const std::vector<std::pair<std::string, std::string>>& entries);

class FakePlatform : public Platform {
 public:
  FakePlatform();

  // ---- the file system ----
  void addFile(const std::string& path, const std::string& content = "", Attributes = {});
  void addFolder(const std::string& path, Attributes = {});
  void remove(const std::string& path);
  bool exists(const std::string& path) const;
  bool isFolder(const std::string& path) const;
  std::string content(const std::string& path) const;  // "" when missing
  // Bare names of a folder's direct entries (files and folders), sorted ignoring case.
  std::vector<std::string> list(const std::string& folder) const;

  // ---- message boxes ----
  // Queues the answer for the next box; the box must match when the expectation names a text.
  void answerNext(int answer);
  void expectMsgBox(const std::string& prompt, int buttons, std::optional<std::string> title,
                    int answer);
  // Boxes shown with no queued answer are answered with their default button (OK, or No for
  // Yes/No boxes): what Enter does.
  std::vector<MsgBoxShown> shown;

  // ---- failures to inject: the operation (as recorded in `calls`) on the given first
  // argument, compared ignoring case; "*" matches any argument ----
  void failOn(const std::string& op, const std::string& argument, int32_t number);

  // ---- the world outside ----
  std::string appPath = "C:\\Kurulum";
  std::string desktop = "C:\\Users\\Ayşe Işık\\Desktop";
  std::map<std::string, std::string> registry;  // full value name -> data
  std::map<std::string, HttpScript> http;       // address -> response
  std::set<std::string> registeredClasses;      // class ids that can be created
  struct Shortcut {
    std::string Description;
    std::string TargetPath;
  };
  std::map<std::string, Shortcut> shortcuts;         // .lnk path -> saved properties
  std::vector<std::pair<std::string, int>> started;  // Shell command lines and styles
  // ShellAndWait: the exit code of the first program whose command line begins with a key (none:
  // still running at the limit); 0 for any other.
  std::map<std::string, std::optional<uint32_t>> exitCodes;
  std::vector<Invocation> invocations;
  // Running programs: what FindHolders finds; no file that one holds (its program, `holds`) can
  // be written, until CloseHolders closes it (or ends it, when it does not close and may be).
  struct Running {
    FileHolder holder;
    std::vector<std::string> holds;
    bool closesWhenAsked = true;
  };
  std::vector<Running> running;
  bool otherInstanceRuns = false;  // another run of the installer holds the session's claim
  // Where CopyToWorkingFolder copies a package folder (failOn("ClaimFolder", ...) refuses the
  // claim), and how many ended working folders a sweep finds.
  std::string workingFolder = "C:\\Users\\Ayşe Işık\\AppData\\Local\\Temp\\TovrenKur-PC-7-0";
  int endedWorkingFolders = 0;
  std::vector<std::string> logged;  // the support log's lines, in order
  std::string defaultLog = "C:\\Users\\Ayşe Işık\\AppData\\Local\\Temp\\TovrenKur #001.log";
  std::vector<Call> calls;
  std::vector<Call> callsOf(const std::string& op) const;

  // ---- Platform ----
  using Platform::MsgBox;
  int MsgBox(const std::string& prompt, int buttons,
             const std::optional<std::string>& title) override;
  std::string Dir(const std::string& pathName, int attributes) override;
  std::string Dir() override;
  void MkDir(const std::string& path) override;
  void FileCopy(const std::string& source, const std::string& destination) override;
  bool FileCopyIfAbsent(const std::string& source, const std::string& destination) override;
  double Shell(const std::string& commandLine, int windowStyle) override;
  std::optional<uint32_t> ShellAndWait(const std::string& commandLine, int windowStyle,
                                       std::chrono::milliseconds limit) override;
  std::string AppPath() override;
  std::optional<std::string> ProfileString(const std::string& path, const std::string& section,
                                           const std::string& key) override;
  std::optional<FileVersionNumber> FileVersion(const std::string& path) override;
  std::vector<FileHolder> FindHolders(const std::vector<std::string>& files) override;
  std::vector<HolderEnd> CloseHolders(const std::vector<FileHolder>& holders,
                                      std::chrono::milliseconds wait) override;
  bool ClaimOnlyInstance() override { return record("ClaimOnlyInstance", {}), !otherInstanceRuns; }
  void ActivateOtherInstance() override { record("ActivateOtherInstance", {}); }
  std::unique_ptr<FolderClaim> ClaimFolder(const std::string& folder) override;
  std::string CopyToWorkingFolder(const std::string& folder) override;
  int RemoveEndedWorkingFolders() override {
    return record("RemoveEndedWorkingFolders", {}), endedWorkingFolders;
  }
  std::unique_ptr<WshShell> CreateWshShell() override;
  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override;
  std::unique_ptr<XmlHttpRequest> CreateXmlHttpRequest() override;
  std::unique_ptr<ShellDispatch> CreateShellDispatch() override;
  std::unique_ptr<DispatchObject> CreateDispatchObject(const std::string& classId,
                                                       const std::string& interfaceId) override;
  SystemFacts DescribeSystem() override { return system; }
  // ---- other rights: the elevated step's exit code (none: the consent not given) ----
  SystemFacts system{"Windows 10.0.19045", true};
  std::optional<int> elevatedExit = 0;
  std::string FormWindowId() override { return "4242"; }
  std::optional<int> RunElevated(const std::string& arguments) override {
    return record("RunElevated", {arguments}), elevatedExit;
  }
  bool AdoptOwnerWindow(const std::string& id) override {
    return record("Adopt", {id}), id == "4242";
  }
  double ShellAsUser(const std::string& line, int style) override {
    return record("ShellAsUser", {line}), Shell(line, style);
  }
  std::unique_ptr<StepProcess> StartAsUser(const std::string& arguments) override {
    return record("StartAsUser", {arguments}), nullptr;
  }
  void ReadyAndWait() override { record("ReadyAndWait", {}); }
  std::string OpenLog(const std::optional<std::string>& file) override;
  void Log(const std::string& text) noexcept override { logged.push_back(text); }

  // Used by the fake's objects.
  void record(const std::string& op, std::vector<std::string> args);
  void writeFile(const std::string& path, const std::string& content);
  Entry* find(const std::string& path);
  const Entry* find(const std::string& path) const;

 private:
  struct Scripted {
    std::optional<MsgBoxShown> expected;
    int answer;
  };
  struct Failure {
    std::string op, argument;
    int32_t number;
  };

  std::string nextName();
  void copyFile(const std::string& source, const std::string& destination);

  std::map<std::string, Entry> entries_;  // folded path -> entry
  std::vector<Scripted> answers_;
  std::vector<Failure> failures_;
  std::vector<std::string> enumeration_;
  bool enumerating_ = false;
  double nextTask_ = 1000;
};

// The folder part of a Windows path ("C:\a\b.txt" -> "C:\a"; "C:\a" -> "C:\").
std::string parentOf(const std::string& path);

}  // namespace tk::fake
