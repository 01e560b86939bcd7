// The members of HostPlatform that are the same on every host: each hands the work to the host's
// piece for its area.
#include "platform/host_platform.h"

namespace tk::host {

int HostPlatform::MsgBox(const std::string& prompt, int buttons,
                         const std::optional<std::string>& title) {
  return showMessageBox(prompt, buttons, title);
}

double HostPlatform::Shell(const std::string& commandLine, int windowStyle) {
  return startProgram(commandLine, windowStyle);
}

std::unique_ptr<WshShell> HostPlatform::CreateWshShell() {
  return makeWshShell();
}

std::unique_ptr<FileSystemObject> HostPlatform::CreateFileSystemObject() {
  return makeFileSystemObject();
}

std::unique_ptr<XmlHttpRequest> HostPlatform::CreateXmlHttpRequest() {
  return makeHttpRequest();
}

std::unique_ptr<ShellDispatch> HostPlatform::CreateShellDispatch() {
  return makeShellDispatch();
}

std::unique_ptr<DispatchObject> HostPlatform::CreateDispatchObject(const std::string& classId,
                                                                   const std::string& interfaceId) {
  return makeDispatchObject(classId, interfaceId);
}

}  // namespace tk::host
