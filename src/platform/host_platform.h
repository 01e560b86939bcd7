// The platform of the system the program runs on: Win32 and COM on Windows (platform/windows),
// the substitute elsewhere (platform/posix). Each host defines every member once, in the file of
// its area: Dir, MkDir, FileCopy and AppPath in files_*, MsgBox in msgbox_*, Shell and
// ShellAndWait in process_*, FileVersion in file_version_*, the one-instance claim in instance_*,
// the package folder's claim and working copies in package_folder_*, DescribeSystem in system_*,
// OpenLog and Log in support_log_*, ProfileString in profile_*, FindHolders and CloseHolders in
// holders_*, each Create* in the file of its object (wsh_*, fso_*, http_*, zip_extract_*,
// automation_*), and the runs with other rights in elevation_* (administrator's) and
// user_rights_* (the signed-in user's).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/support_log.h"

namespace tk::host {

struct DirState;       // the search that Dir without arguments continues (files_*)
struct WorkingFolder;  // the run's working copy of the package folder (package_folder_*)

class HostPlatform : public Platform {
 public:
  HostPlatform();
  ~HostPlatform() override;

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
  bool ClaimOnlyInstance() override;
  void ActivateOtherInstance() override;
  std::unique_ptr<FolderClaim> ClaimFolder(const std::string& folder) override;
  std::string CopyToWorkingFolder(const std::string& folder) override;
  int RemoveEndedWorkingFolders() override;
  std::unique_ptr<WshShell> CreateWshShell() override;
  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override;
  std::unique_ptr<XmlHttpRequest> CreateXmlHttpRequest() override;
  std::unique_ptr<ShellDispatch> CreateShellDispatch() override;
  std::unique_ptr<DispatchObject> CreateDispatchObject(const std::string& classId,
                                                       const std::string& interfaceId) override;
  SystemFacts DescribeSystem() override;
  std::string FormWindowId() override;
  std::optional<int> RunElevated(const std::string& arguments) override;
  bool AdoptOwnerWindow(const std::string& windowId) override;
  double ShellAsUser(const std::string& commandLine, int windowStyle) override;
  std::unique_ptr<StepProcess> StartAsUser(const std::string& arguments) override;
  void ReadyAndWait() override;
  std::string OpenLog(const std::optional<std::string>& file) override;
  void Log(const std::string& text) noexcept override;

 private:
  std::unique_ptr<DirState> dir_;
  std::shared_ptr<void> instance_;  // the session's claim, released with the platform (instance_*)
  std::shared_ptr<WorkingFolder> working_;
  SupportLog log_;
};

}  // namespace tk::host
