// HostPlatform: the runtime's operations on Win32, and the objects of the other areas.
#include "platform/host_platform.h"

#include "platform/windows/dir_win.h"

namespace tk::host {

HostPlatform::HostPlatform() : dir_(std::make_unique<DirEnumeration>()) {}

HostPlatform::~HostPlatform() = default;

int HostPlatform::MsgBox(const std::string& prompt, int buttons,
                         const std::optional<std::string>& title) {
  return showMessageBox(prompt, buttons, title);
}

std::string HostPlatform::Dir(const std::string& pathName, int attributes) {
  return dir_->first(pathName, attributes);
}

std::string HostPlatform::Dir() {
  return dir_->next();
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
