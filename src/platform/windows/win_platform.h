// The Windows platform: Win32 and COM, UTF-16 W APIs only.
#pragma once

#include "platform/platform.h"
#include "platform/windows/dir_win.h"

namespace tk::win {

class WinPlatform : public Platform {
 public:
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
  DirEnumeration dir_;
};

}  // namespace tk::win
