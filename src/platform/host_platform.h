// The platform of the system the program runs on: Win32 and COM on Windows (platform/windows),
// the substitute elsewhere (platform/posix). Each host defines these members and functions once.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace tk::host {

class DirEnumeration;  // the host's state of the enumeration that Dir without arguments continues

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
  double Shell(const std::string& commandLine, int windowStyle) override;
  std::string AppPath() override;
  std::unique_ptr<WshShell> CreateWshShell() override;
  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override;
  std::unique_ptr<XmlHttpRequest> CreateXmlHttpRequest() override;
  std::unique_ptr<ShellDispatch> CreateShellDispatch() override;
  std::unique_ptr<DispatchObject> CreateDispatchObject(const std::string& classId,
                                                       const std::string& interfaceId) override;

 private:
  std::unique_ptr<DirEnumeration> dir_;
};

// The host's pieces, one per area, which HostPlatform puts together.

// A modal message box owned by the form (Windows: MessageBoxW; the substitute: FLTK): button codes
// 0, 16, 64 and 292.
int showMessageBox(const std::string& prompt, int buttons, const std::optional<std::string>& title);

// Shell: starts a command line with the program always named (Windows: CreateProcessW; the
// substitute splits it by the Windows rules); never waited for.
double startProgram(const std::string& commandLine, int windowStyle);

// WScript.Shell's RegRead: a value's data as text; a missing key or value throws
// err::kRegValueMissing. (The substitute reads Chrome's version from its profile folder.)
std::string regRead(const std::string& name);

std::unique_ptr<WshShell> makeWshShell();
std::unique_ptr<FileSystemObject> makeFileSystemObject();
std::unique_ptr<XmlHttpRequest> makeHttpRequest();
std::unique_ptr<ShellDispatch> makeShellDispatch();
std::unique_ptr<DispatchObject> makeDispatchObject(const std::string& classId,
                                                   const std::string& interfaceId);

}  // namespace tk::host
