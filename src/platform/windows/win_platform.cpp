// WinPlatform: the runtime's operations on Win32, and the objects of the other areas.
#include "platform/windows/win_platform.h"

#include "platform/windows/win_objects.h"

namespace tk::win {

int WinPlatform::MsgBox(const std::string& prompt, int buttons,
                        const std::optional<std::string>& title) {
  return showMessageBox(prompt, buttons, title);
}

std::string WinPlatform::Dir(const std::string& pathName, int attributes) {
  return dir_.first(pathName, attributes);
}

std::string WinPlatform::Dir() {
  return dir_.next();
}

double WinPlatform::Shell(const std::string& commandLine, int windowStyle) {
  return startProgram(commandLine, windowStyle);
}

std::unique_ptr<WshShell> WinPlatform::CreateWshShell() {
  return makeWshShell();
}

std::unique_ptr<FileSystemObject> WinPlatform::CreateFileSystemObject() {
  return makeFileSystemObject();
}

std::unique_ptr<XmlHttpRequest> WinPlatform::CreateXmlHttpRequest() {
  return makeHttpRequest();
}

std::unique_ptr<ShellDispatch> WinPlatform::CreateShellDispatch() {
  return makeShellDispatch();
}

std::unique_ptr<DispatchObject> WinPlatform::CreateDispatchObject(const std::string& classId,
                                                                  const std::string& interfaceId) {
  return makeDispatchObject(classId, interfaceId);
}

}  // namespace tk::win
